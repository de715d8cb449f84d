' A host's script after installation: it creates both classes by ProgID, calls them
' late-bound as a host's script does, and checks that both are served by the DLL given as argument 0 (the one of the
' script host's own bitness, read from the registry view that host sees).
Option Explicit
Dim failures : failures = 0

Sub Check(name, actual, expected)
    If actual <> expected Then
        WScript.Echo "FAIL " & name & ": got [" & actual & "], expected [" & expected & "]"
        failures = failures + 1
    End If
End Sub

Dim shell : Set shell = CreateObject("WScript.Shell")
Sub CheckServer(clsid)
    Check "server of " & clsid, LCase(shell.RegRead("HKCR\CLSID\" & clsid & "\InprocServer32\")), _
          LCase(WScript.Arguments(0))
End Sub

Dim list : Set list = CreateObject("QRCGenericSvcs.QRCTaskList")
Dim services : Set services = CreateObject("QRCIGEFrameworkSvcs.ClientServices")
CheckServer "{38000212-7CAF-422A-A2E2-AA314A11A2A9}"
CheckServer "{38000201-7CAF-422A-A2E2-AA314A11A2A9}"

On Error Resume Next
list.Show
Check "QRCTaskList.Show before Initialize, without its optional argument", Hex(Err.Number) & " " & Err.Source & _
      " " & Err.Description, "80004005 QRCTaskList::Show <QRError Desc=""TaskList interface not initialized"" HR=""E_FAIL"" />"
Err.Clear
list.Initialize CreateObject("Scripting.Dictionary")
Check "Initialize with something that is not a workspace", Hex(Err.Number) & " " & Err.Source & " " & _
      Left(Err.Description, 15) & Right(Err.Description, 20), "80070057 QRCTaskList::Initialize <QRError Desc=""HR=""E_INVALIDARG"" />"
Err.Clear
' No partner components are installed beside the library.
services.ClaimObject "1"
Check "ClientServices.ClaimObject", Hex(Err.Number) & " " & Err.Description, _
      "80040154 <QRError Desc=""Unable to connect to QRClientTools::Globals"" HR=""0x80040154"" />"
On Error GoTo 0

' The runner passes a run only when this line is printed.
If failures = 0 Then WScript.Echo "all checks passed"
