' An outside client of QRCGenericSvcs.QRCTaskList, late-bound as a host's script is: it
' initializes the list with the simulated host's workspace on a copy of the sample, and
' checks what each call raises right after it. Argument 0: the repository's root.
Option Explicit
Dim fso, failures, copy, workspace, list, ok
Set fso = CreateObject("Scripting.FileSystemObject")
failures = 0

Sub Check(name, actual, expected)
    If actual <> expected Then
        WScript.Echo "FAIL " & name & ": got [" & actual & "], expected [" & expected & "]"
        failures = failures + 1
    End If
End Sub

' Right after a call: what it raised, where and how ("0  " for nothing), then a clean Err.
Sub CheckRaised(name, expected)
    Check name, Hex(Err.Number) & " " & Err.Source & " " & Err.Description, expected
    Err.Clear
End Sub

' The workspace saves every change to its file: work on a copy.
copy = fso.BuildPath(fso.GetSpecialFolder(2), "tasklist-" & fso.GetTempName() & ".xml")
fso.CopyFile fso.BuildPath(WScript.Arguments(0), "sim\data\sample-workspace.xml"), copy, True
Set workspace = WScript.CreateObject("QRSim.Workspace")
workspace.Open CStr(copy)
Set list = CreateObject("QRCGenericSvcs.QRCTaskList")

On Error Resume Next
ok = Empty
ok = list.Show()
CheckRaised "Show before Initialize, without its optional argument", _
            "80004005 QRCTaskList::Show <QRError Desc=""TaskList interface not initialized"" HR=""E_FAIL"" />"
Check "Show's answer before Initialize", TypeName(ok), "Empty"
list.Initialize workspace
CheckRaised "Initialize with the host's workspace", "0  "
list.Initialize CreateObject("Scripting.Dictionary")
Check "Initialize with something that is not a workspace", Hex(Err.Number) & " " & Err.Source, _
      "80070057 QRCTaskList::Initialize"
Check "its error document, with the system's text", Left(Err.Description, 15) & Right(Err.Description, 20), _
      "<QRError Desc=""HR=""E_INVALIDARG"" />"
Err.Clear
On Error GoTo 0

Set list = Nothing
Set workspace = Nothing
fso.DeleteFile copy, True
' The runner passes a run only when this line is printed.
If failures = 0 Then WScript.Echo "all checks passed"
