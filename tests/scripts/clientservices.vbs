' An outside client of QRCIGEFrameworkSvcs.ClientServices, as a host's script is:
' opens a copy of the sample workspace, initializes the client services with it and
' checks what they answer against the framework data in that same workspace file.
' Argument 0: the repository's root as a Windows path. Exit code 1 when a check fails.
Option Explicit

Dim fso, failures, copy
Set fso = CreateObject("Scripting.FileSystemObject")
failures = 0
copy = ""

Sub Check(name, actual, expected)
    If actual = expected Then
        WScript.Echo "ok   " & name
    Else
        WScript.Echo "FAIL " & name & ": got [" & actual & "], expected [" & expected & "]"
        failures = failures + 1
    End If
End Sub

Sub Fail(text)
    WScript.Echo "FAIL " & text
    On Error Resume Next
    If copy <> "" Then fso.DeleteFile copy, True
    WScript.Quit 1
End Sub

' The leading decimal number of a text, as the C runtime's _wtof reads it; 0 without one.
Function LeadingNumber(text)
    Dim pattern, found
    Set pattern = New RegExp
    pattern.Pattern = "^\s*[+-]?(\d+(\.\d*)?|\.\d+)"
    Set found = pattern.Execute(text)
    If found.Count = 0 Then
        LeadingNumber = 0
    Else
        LeadingNumber = CDbl(Trim(found(0).Value))
    End If
End Function

If WScript.Arguments.Count < 1 Then Fail "usage: clientservices.vbs <repository root>"

' The workspace saves every change to its file: work on a copy.
Dim sample
sample = fso.BuildPath(WScript.Arguments(0), "sim\data\sample-workspace.xml")
If Not fso.FileExists(sample) Then Fail "no sample workspace at " & sample
copy = fso.BuildPath(fso.GetSpecialFolder(2), "clientservices-" & fso.GetTempName() & ".xml")
fso.CopyFile sample, copy, True

' The expected values: the element of the workspace file that carries the framework data.
Dim document, frameworkData
' Wine's VBScript CreateObject refuses objects that want a site (IObjectWithSite), as
' the DOM does, when the host offers no service provider: the host creates them instead.
Set document = WScript.CreateObject("Msxml2.DOMDocument.6.0")
document.async = False
document.setProperty "SelectionLanguage", "XPath"
'' Wine's DOM does not look through a variable passed by reference: pass the value.
If Not document.load(CStr(copy)) Then Fail "the sample workspace does not parse: " & document.parseError.reason
Set frameworkData = document.selectSingleNode("//*[@EFSIGNATURE and @EFURL and @EFPLANT]")
If frameworkData Is Nothing Then Fail "the sample workspace has no element with the framework data attributes"

Function Expected(attribute)
    Dim value
    value = frameworkData.getAttribute(attribute)
    If IsNull(value) Then Expected = "" Else Expected = value
End Function

On Error Resume Next

Dim workspace, services
Set workspace = WScript.CreateObject("QRSim.Workspace")
If Err.Number <> 0 Then Fail "QRSim.Workspace: " & Err.Description
workspace.Open CStr(copy)
If Err.Number <> 0 Then Fail "Open: " & Err.Description

' Before Initialize there is no workspace to claim through.
Set services = WScript.CreateObject("QRCIGEFrameworkSvcs.ClientServices")
If Err.Number <> 0 Then Fail "QRCIGEFrameworkSvcs.ClientServices: " & Err.Description
services.ClaimObject "1"
Check "ClaimObject before Initialize fails", Hex(Err.Number), "80004005"
Check "its error document", Err.Description, "<QRError Desc=""ClientServices interface not initialized"" HR=""E_FAIL"" />"
Err.Clear

services.Initialize workspace
Check "Initialize", Err.Number, 0
Err.Clear

Dim signature, url, plant, area, unit
signature = "" : url = "" : plant = ""
services.GetEFData signature, url, plant
Check "GetEFData", Err.Number, 0
Check "GetEFData Signature", signature, Expected("EFSIGNATURE")
Check "GetEFData Url", url, Expected("EFURL")
Check "GetEFData Plant", plant, Expected("EFPLANT")
Err.Clear

plant = "" : area = "" : unit = ""
services.GetPlantData plant, area, unit
Check "GetPlantData", Err.Number, 0
Check "GetPlantData Plant", plant, Expected("PLANTNAME")
Check "GetPlantData Area", area, Expected("AREANAME")
Check "GetPlantData Unit", unit, Expected("UNITNAME")
Err.Clear

' Claims and revisions came with framework version 3.65; the feature's first letter
' counts, with its case.
Dim claimsSupported
claimsSupported = (LeadingNumber(Expected("TEFVERSION")) >= 3.65)
Check "SupportsFeature Claim", services.SupportsFeature("Claim"), claimsSupported
Check "SupportsFeature claim", services.SupportsFeature("claim"), False
Check "SupportsFeature Revise", services.SupportsFeature("Revise"), claimsSupported
Check "SupportsFeature", Err.Number, 0
Err.Clear

services.ClaimObject "1"
Check "ClaimObject", Hex(Err.Number), "0"
If Err.Number <> 0 Then WScript.Echo "     " & Err.Description
Err.Clear

services.UnInitialize
Check "UnInitialize", Err.Number, 0

Set services = Nothing
Set workspace = Nothing
fso.DeleteFile copy, True
If failures > 0 Then
    WScript.Echo failures & " check(s) failed"
    WScript.Quit 1
End If
WScript.Echo "clientservices: all checks passed"
WScript.Quit 0
