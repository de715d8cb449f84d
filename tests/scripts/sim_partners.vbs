' The other simulated partner components, by their registered ProgIDs: the client tools,
' the older client services adapter and the stream selection component.
' Argument 0: the repository's root as a Windows path. Exit code 0 only when every check held.
Option Explicit

Dim failures : failures = 0

Sub Check(condition, what)
    If Not condition Then
        failures = failures + 1
        WScript.Echo "FAILED: " & what
    End If
End Sub

Sub Main()
    Dim globals, top, node, written, adapter, projects, selection, result, message

    Set globals = CreateObject("QRClientTools.Globals")
    Check globals.GetSettingsRoot() = "QRClientTools", "settings root"
    Check globals.GetVersionSpecificIdentifier("QREFOldAdapter380.ClientServices") = "QREFOldAdapter380.ClientServices.1", _
          "versioned adapter ProgID"
    Check globals.GetVersionSpecificIdentifier("Excel.Application") = "Excel.Application", "other identifiers unchanged"

    Set top = CreateObject("QRClientTools.SettingsNode")
    Set node = top.OpenChild("SimPartnersScript").OpenChild("Options")
    node.SetValue "ShowDeleted", written, "0"
    Check written = True, "SetValue reports the value written"
    Check node.GetName() = "Options", "node name"
    top.DeleteChild "SimPartnersScript"

    ' The versioned ProgID the client tools name is registered.
    Set adapter = CreateObject(globals.GetVersionSpecificIdentifier("QREFOldAdapter380.ClientServices"))
    adapter.SetFrameworkData "ZOD-7F3A-2291", "http://zod-ef.northfield.example/ef/services", "NORTHFIELD", "jdoe", "Northfield"
    message = adapter.SynchronizeClaims("<Claims><Claim OID=""1002"" Name=""V-205"" Locked=""1"" LockedBy=""kmueller""/></Claims>")
    Check message = "V-205 (OID 1002) is locked by kmueller and cannot be claimed", "refusal: " & message
    Check adapter.SynchronizeClaims("<Claims><Claim OID=""1001"" Name=""P-101A"" Locked=""0""/></Claims>") = "", "granted claim"
    projects = adapter.GetProjectList()
    Check UBound(projects) = 2 And projects(0) = "As-Built", "project list"
    On Error Resume Next
    adapter.SynchronizeClaims "<Claims><Claim"
    Check Err.Number = &H80070057, "a malformed claims document fails, not " & Hex(Err.Number)
    Check InStr(Err.Description, "The claims document is not well-formed XML") > 0, "its description: " & Err.Description
    Err.Clear
    On Error GoTo 0

    Set selection = CreateObject("QRSim.SelectKBDlg")
    result = selection.RunCommand("ClaimStream", 1001, Nothing, 0, 0)
    Check IsEmpty(result), "ClaimStream returns an empty value"
End Sub

' Wine's script host ends a script silently, with exit code 0, on an error that is not
' handled: the checks run in Main under a handler, and any error fails the run.
On Error Resume Next
Main
If Err.Number <> 0 Then
    WScript.Echo "FAILED: error " & Hex(Err.Number) & " " & Err.Description
    failures = failures + 1
End If
On Error GoTo 0
If failures = 0 Then WScript.Echo "sim_partners: all checks passed"
WScript.Quit failures
