' The simulated partner components by their registered ProgIDs, as the library and a
' host's scripts meet them: the workspace on a copy of the sample, the client tools, the
' older adapter and the stream selection. Argument 0: the repository's root.
Option Explicit
Dim failures : failures = 0

Sub Check(condition, what)
    If Not condition Then failures = failures + 1 : WScript.Echo "FAILED: " & what
End Sub

' Checks the error the call before left (under On Error Resume Next), and clears it.
Sub CheckError(number, description)
    Check Err.Number = number And InStr(Err.Description, description) > 0, description & ": " & Hex(Err.Number) & " " & Err.Description
    Err.Clear
End Sub

Sub Main()
    Dim fso, copy, ws, globals, node, written, adapter, selection
    Set fso = CreateObject("Scripting.FileSystemObject")
    ' The simulated framework saves into the file it opened: it works on a copy.
    copy = fso.BuildPath(CreateObject("WScript.Shell").ExpandEnvironmentStrings("%TEMP%"), fso.GetTempName() & ".xml")
    fso.CopyFile fso.BuildPath(WScript.Arguments(0), "sim\data\sample-workspace.xml"), copy, True
    Set ws = CreateObject("QRSim.Workspace")
    ws.Open copy
    Check ws.TaskCount = 30 And ws.UserName = "PLANT\jdoe" And LCase(ws.Path) = LCase(copy), "the workspace's count, user and path"
    Check InStr(ws.CallFramework("GetTaskList", ""), "<TaskItem ToDo_Index=""30"" ToDo_Name=""Archive superseded P&amp;ID") > 0, "task 30 listed"
    Check InStr(ws.CallFramework("SynchronizeObjectClaim", "1002"), "Locked=""1"" LockedBy=""kmueller""/>") > 0, "claims of 1002"
    On Error Resume Next
    ws.CallFramework "NoSuchMethod", ""
    CheckError &H80020003, "QRDBEFrameworkSvcs.Main has no method 'NoSuchMethod'"
    ws.TaskField 31, "ToDo_Name"
    CheckError &H80070057, "ToDo_Index 31 lies outside the tasks 1 to 30"
    On Error GoTo 0
    Set ws = Nothing
    fso.DeleteFile copy

    Set globals = CreateObject("QRClientTools.Globals")
    Check globals.GetSettingsRoot() = "QRClientTools", "settings root"
    Set node = CreateObject("QRClientTools.SettingsNode")
    node.OpenChild("SimPartnersScript").SetValue "ShowDeleted", written, "0"
    Check written = True And node.OpenChild("SimPartnersScript").GetName() = "SimPartnersScript", "a setting written"
    node.DeleteChild "SimPartnersScript"

    ' The versioned ProgID the client tools name is registered.
    Set adapter = CreateObject(globals.GetVersionSpecificIdentifier("QREFOldAdapter380.ClientServices"))
    adapter.SetFrameworkData "ZOD-7F3A-2291", "http://ef", "NORTHFIELD", "jdoe", "Northfield"
    Check adapter.SynchronizeClaims("<Claims><Claim OID=""1002"" Name=""V-205"" Locked=""1"" LockedBy=""kmueller""/></Claims>") = _
          "V-205 (OID 1002) is locked by kmueller and cannot be claimed", "a refused claim"

    Set selection = CreateObject("QRSim.SelectKBDlg")
    Check IsEmpty(selection.RunCommand("ClaimStream", 1001, Nothing, 0, 0)), "ClaimStream returns an empty value"
    On Error Resume Next
    selection.RunCommand "Browse", 1, Nothing, 0, 0
    CheckError &H80070057, "The stream selection has no command 'Browse'"
    On Error GoTo 0
End Sub

' Wine's script host ends a script silently, with exit code 0, on an error that is not
' handled: the checks run in Main under a handler, and any error fails the run.
On Error Resume Next
Main
If Err.Number <> 0 Then failures = failures + 1 : WScript.Echo "FAILED: error " & Hex(Err.Number) & " " & Err.Description
On Error GoTo 0
If failures = 0 Then WScript.Echo "sim_partners: all checks passed"
WScript.Quit failures
