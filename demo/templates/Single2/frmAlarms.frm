VERSION 5.00
Begin VB.Form frmAlarms 
   Caption         =   "%ProjectName%: alarms"
   ClientHeight    =   4800
   ClientLeft      =   60
   ClientTop       =   345
   ClientWidth     =   9600
   LinkTopic       =   "frmAlarms"
   ScaleHeight     =   4800
   ScaleWidth      =   9600
End
Attribute VB_Name = "frmAlarms"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit
