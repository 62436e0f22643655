VERSION 5.00
Begin VB.UserControl ctlStatus 
   ClientHeight    =   375
   ClientLeft      =   0
   ClientTop       =   0
   ClientWidth     =   4800
   ScaleHeight     =   375
   ScaleWidth      =   4800
   Begin VB.Label lblStatus 
      Caption         =   "%ProjectName%: connected"
      Height          =   255
      Left            =   60
      TabIndex        =   0
      Top             =   60
      Width           =   4680
   End
End
Attribute VB_Name = "ctlStatus"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = True
Attribute VB_PredeclaredId = False
Attribute VB_Exposed = False
Option Explicit
