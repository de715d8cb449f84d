' The simulated partner components by their registered ProgIDs, as the library and a
' host's scripts meet them. Argument 0: the repository's root.
Option Explicit
Dim failures : failures = 0

Sub Check(condition, what)
    If Not condition Then failures = failures + 1 : WScript.Echo "FAILED: " & what
End Sub

Sub Main()
    Dim fso, copy, ws, globals, node, written, adapter, selection
    Set fso = CreateObject("Scripting.FileSystemObject")
    ' The simulated framework saves into the file it opened: it works on a copy.
    copy = fso.BuildPath(CreateObject("WScript.Shell").ExpandEnvironmentStrings("%TEMP%"), fso.GetTempName() & ".xml")
    fso.CopyFile fso.BuildPath(WScript.Arguments(0), "sim\data\sample-workspace.xml"), copy, True
    Set ws = CreateObject("QRSim.Workspace")
    ws.Open copy
    Check ws.TaskCount = 30 And ws.UserName = "PLANT\jdoe", "the workspace's count and user"
    Check InStr(ws.CallFramework("GetTaskList", ""), "<TaskItem ToDo_Index=""30"" ToDo_Name=""Archive superseded P&amp;ID") > 0, "task 30 listed"
    Set ws = Nothing
    fso.DeleteFile copy

    Set globals = CreateObject("QRClientTools.Globals")
    Check globals.GetSettingsRoot() = "QRClientTools", "settings root"
    Set node = CreateObject("QRClientTools.SettingsNode")
    node.OpenChild("SimPartnersScript").SetValue "ShowDeleted", written, "0"
    Check written = True, "a setting written"
    node.DeleteChild "SimPartnersScript"

    ' The versioned ProgID the client tools name is registered.
    Set adapter = CreateObject(globals.GetVersionSpecificIdentifier("QREFOldAdapter380.ClientServices"))
    adapter.SetFrameworkData "ZOD-7F3A-2291", "http://ef", "NORTHFIELD", "jdoe", "Northfield"
    Check adapter.SynchronizeClaims("<Claims><Claim OID=""1002"" Name=""V-205"" Locked=""1"" LockedBy=""kmueller""/></Claims>") = _
          "V-205 (OID 1002) is locked by kmueller and cannot be claimed", "a refused claim"

    Set selection = CreateObject("QRSim.SelectKBDlg")
    Check IsEmpty(selection.RunCommand("ClaimStream", 1001, Nothing, 0, 0)), "ClaimStream returns an empty value"
End Sub

' Wine's script host ends a script silently, with exit code 0, on an error that is not
' handled: the checks run in Main under a handler, and any error fails the run.
On Error Resume Next
Main
If Err.Number <> 0 Then failures = failures + 1 : WScript.Echo "FAILED: error " & Hex(Err.Number) & " " & Err.Description
If failures = 0 Then WScript.Echo "sim_partners: all checks passed"
