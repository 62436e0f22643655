Attribute VB_Name = "modStart"
Option Explicit

' Modules are not adapted when a project is made: the name below stays as written.
Public Const TemplateProject As String = "%ProjectName%"

Public Sub Main()
    frmMain.Show
End Sub
