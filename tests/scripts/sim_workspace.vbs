' The simulated host workspace as a script client meets it: opens a copy of the sample
' workspace by ProgID "QRSim.Workspace" and reads it through its scriptable interface.
' Argument 0: the repository's root as a Windows path. Exit code 0 only when every check held.
Option Explicit

Dim failures : failures = 0

Sub Check(condition, what)
    If Not condition Then
        failures = failures + 1
        WScript.Echo "FAILED: " & what
    End If
End Sub

Function Contains(text, part)
    Contains = InStr(1, text, part, vbBinaryCompare) > 0
End Function

Function CountOf(text, part)
    CountOf = (Len(text) - Len(Replace(text, part, ""))) / Len(part)
End Function

Sub Main()
    Dim fso, shell, sample, copy, sampleBefore, ws, list, data, claims
    Set fso = CreateObject("Scripting.FileSystemObject")
    Set shell = CreateObject("WScript.Shell")
    sample = fso.BuildPath(WScript.Arguments(0), "sim\data\sample-workspace.xml")
    sampleBefore = fso.OpenTextFile(sample).ReadAll()
    ' The simulated framework saves into the file it opened: work on a copy.
    copy = fso.BuildPath(shell.ExpandEnvironmentStrings("%TEMP%"), "sim_workspace_" & fso.GetTempName() & ".xml")
    fso.CopyFile sample, copy, True

    Set ws = CreateObject("QRSim.Workspace")
    ws.Open copy
    Check ws.TaskCount = 30, "the sample holds 30 tasks, not " & ws.TaskCount
    Check ws.Name = "Unit 0101 Feed Pumps and Cooling Water", "workspace name: " & ws.Name
    Check ws.UserName = "PLANT\jdoe", "user name: " & ws.UserName
    Check LCase(ws.Path) = LCase(copy), "path: " & ws.Path
    Check ws.TaskField(12, "FailsOnAction") = "1", "task 12 is set up to fail"
    Check ws.TaskField(7, "ToDo_Category") = "3", "task 7 is a Claim task"
    Check ws.TaskField(30, "ToDo_Index") = "30", "the last task's index"

    list = ws.CallFramework("GetTaskList", "")
    Check CountOf(list, "<TaskItem ") = 30, "GetTaskList lists 30 tasks"
    Check Contains(list, "<TaskItem ToDo_Index=""30"" ToDo_Name=""Archive superseded P&amp;ID revisions"""), "task 30 in GetTaskList"
    Check Contains(list, "<Privilege Delete=""1"" Run=""1"" Defer=""1""/>"), "privileges in GetTaskList"

    data = ws.CallFramework("GetEFData", "")
    Check Contains(data, " TEFVERSION=""3.65"" "), "framework version in GetEFData: " & data
    Check Contains(data, " PLANTNAME=""Northfield Refinery"" "), "plant in GetEFData"

    claims = ws.CallFramework("SynchronizeObjectClaim", "1002")
    Check Contains(claims, "<Claim OID=""1002"" Name=""V-205"" Locked=""1"" LockedBy=""kmueller""/>"), "claims of 1002: " & claims
    Check ws.CallFramework("SynchronizeObjectClaim", "9999") = "", "no claims for an unknown object"
    Check Left(ws.CallFramework("GetTaskAssignments", "1"), 9) = "<O X=""1"" ", "assignments of task 1"

    On Error Resume Next
    ws.CallFramework "NoSuchMethod", ""
    Check Err.Number = &H80020003, "an unknown method fails with DISP_E_MEMBERNOTFOUND, not " & Hex(Err.Number)
    Check Contains(Err.Description, "QRDBEFrameworkSvcs.Main has no method 'NoSuchMethod'"), "its description: " & Err.Description
    Err.Clear
    ws.TaskField 31, "ToDo_Name"
    Check Err.Number = &H80070057, "task 31 does not exist"
    Err.Clear
    On Error GoTo 0

    Set ws = Nothing
    fso.DeleteFile copy
    Check fso.OpenTextFile(sample).ReadAll() = sampleBefore, "the committed sample stays unchanged"
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
If failures = 0 Then WScript.Echo "sim_workspace: all checks passed"
WScript.Quit failures
