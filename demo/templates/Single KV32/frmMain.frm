VERSION 5.00
Begin VB.Form frmMain 
   Caption         =   "%ProjectName% (KV32)"
   ClientHeight    =   6600
   ClientLeft      =   60
   ClientTop       =   345
   ClientWidth     =   9600
   LinkTopic       =   "frmMain"
   ScaleHeight     =   6600
   ScaleWidth      =   9600
   StartUpPosition =   3  'Windows Default
End
Attribute VB_Name = "frmMain"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit
