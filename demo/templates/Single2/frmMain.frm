VERSION 5.00
Begin VB.Form frmMain 
   Caption         =   "%ProjectName%"
   ClientHeight    =   6600
   ClientLeft      =   60
   ClientTop       =   345
   ClientWidth     =   9600
   LinkTopic       =   "frmMain"
   ScaleHeight     =   6600
   ScaleWidth      =   9600
   StartUpPosition =   3  'Windows Default
   Begin VB.Label lblTitle 
      Caption         =   "%ProjectName%: overview"
      Height          =   375
      Left            =   240
      TabIndex        =   0
      Top             =   240
      Width           =   6000
   End
End
Attribute VB_Name = "frmMain"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit

Private Sub Form_Load()
    Me.Caption = "%ProjectName%"
End Sub
