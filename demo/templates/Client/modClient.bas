Attribute VB_Name = "modClient"
Option Explicit

Public Const ServerPollMs As Long = 500
