Attribute VB_Name = "modServer"
Option Explicit

Public Sub Main()
    ' The server has no window: the process database runs until the kernel stops it.
End Sub
