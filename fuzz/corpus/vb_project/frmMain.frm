VERSION 5.00
Begin VB.Form frmMain 
   Caption         =   "@PROJECTNAME@"
   ClientHeight    =   3195
   ClientWidth     =   4680
End
Attribute VB_Name = "frmMain"
