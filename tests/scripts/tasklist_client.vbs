' An outside client of QRCGenericSvcs.QRCTaskList, late-bound as a host's script is.
Option Explicit
Dim failures : failures = 0

Sub Check(name, actual, expected)
    If actual <> expected Then
        WScript.Echo "FAIL " & name & ": got [" & actual & "], expected [" & expected & "]"
        failures = failures + 1
    End If
End Sub

Dim list : Set list = CreateObject("QRCGenericSvcs.QRCTaskList")

On Error Resume Next
Dim ok : ok = list.Show()
Check "Show before Initialize, without its optional argument", Hex(Err.Number) & " " & Err.Source & " " & _
      Err.Description, "80004005 QRCTaskList::Show <QRError Desc=""TaskList interface not initialized"" HR=""E_FAIL"" />"
Err.Clear
list.Initialize CreateObject("Scripting.Dictionary")
Check "Initialize with something that is not a workspace", Hex(Err.Number) & " " & Err.Source, _
      "80070057 QRCTaskList::Initialize"
Check "its error document, with the system's text", Left(Err.Description, 15) & Right(Err.Description, 20), _
      "<QRError Desc=""HR=""E_INVALIDARG"" />"

' The runner passes a run only when this line is printed.
If failures = 0 Then WScript.Echo "all checks passed"
