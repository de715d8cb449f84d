' An outside client of QRCGenericSvcs.QRCTaskList, late-bound as a host script is.
Option Explicit
Dim failures : failures = 0

Sub Check(condition, what)
    If condition Then
        WScript.Echo "ok   " & what
    Else
        WScript.Echo "FAIL " & what
        failures = failures + 1
    End If
End Sub

Dim list : Set list = CreateObject("QRCGenericSvcs.QRCTaskList")
Check Not list Is Nothing, "created by ProgID"

Dim versioned : Set versioned = CreateObject("QRCGenericSvcs.QRCTaskList.380")
Check Not versioned Is Nothing, "created by the versioned ProgID"

' (a) Show before Initialize, called without its optional argument.
On Error Resume Next
Dim ok : ok = list.Show()
Check Err.Number = &H80004005, "Show before Initialize fails with 0x80004005 (got 0x" & Hex(Err.Number) & ")"
Check Err.Source = "QRCTaskList::Show", "source is QRCTaskList::Show (got '" & Err.Source & "')"
Check Err.Description = "<QRError Desc=""TaskList interface not initialized"" HR=""E_FAIL"" />", _
      "description is the QRError document (got '" & Err.Description & "')"
Err.Clear

' The same through the explicit argument.
ok = list.Show(0)
Check Err.Number = &H80004005, "Show(0) before Initialize fails the same way"
Err.Clear

' (b) Initialize with a script object that is not a workspace.
list.Initialize CreateObject("Scripting.Dictionary")
Check Err.Number = &H80070057, "Initialize with a non-workspace fails with 0x80070057 (got 0x" & Hex(Err.Number) & ")"
Check Err.Source = "QRCTaskList::Initialize", "source is QRCTaskList::Initialize"
Check InStr(Err.Description, "HR=""E_INVALIDARG""") > 0, "description names E_INVALIDARG"
Err.Clear

' (c) Both methods are found by name; an unknown name is not.
list.NoSuchMethod
Check Err.Number = 438, "an unknown member is refused (got 0x" & Hex(Err.Number) & ")"
Err.Clear
On Error GoTo 0

If failures > 0 Then
    WScript.Echo failures & " check(s) failed"
    WScript.Quit 1
End If
WScript.Echo "all checks passed"
