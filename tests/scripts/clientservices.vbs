' An outside client of QRCIGEFrameworkSvcs.ClientServices, as a host's script is: it
' initializes the client services with a copy of the sample workspace and checks what
' they answer in its variables against that file. Argument 0: the repository's root.
Option Explicit
Dim fso, failures, copy, document, frameworkData, workspace, services
Set fso = CreateObject("Scripting.FileSystemObject")
failures = 0

Sub Check(name, actual, expected)
    If actual <> expected Then
        WScript.Echo "FAIL " & name & ": got [" & actual & "], expected [" & expected & "]"
        failures = failures + 1
    End If
End Sub

' Right after a call: what it raised ("0 " for nothing), then a clean Err for the next one.
Sub CheckRaised(name, expected)
    Check name, Hex(Err.Number) & " " & Err.Description, expected
    Err.Clear
End Sub

Function Expected(attribute)
    Expected = frameworkData.getAttribute(attribute)
    If IsNull(Expected) Then Expected = ""
End Function

' The workspace saves every change to its file: work on a copy.
copy = fso.BuildPath(fso.GetSpecialFolder(2), "clientservices-" & fso.GetTempName() & ".xml")
fso.CopyFile fso.BuildPath(WScript.Arguments(0), "sim\data\sample-workspace.xml"), copy, True
' Wine's VBScript CreateObject refuses objects that want a site, as the DOM does: the
' host creates them instead. Its DOM does not look through a variable passed by reference.
Set document = WScript.CreateObject("Msxml2.DOMDocument.6.0")
document.async = False
document.load CStr(copy)
Set frameworkData = document.selectSingleNode("//*[@EFSIGNATURE and @EFURL and @EFPLANT]")
Set workspace = WScript.CreateObject("QRSim.Workspace")
workspace.Open CStr(copy)
Set services = WScript.CreateObject("QRCIGEFrameworkSvcs.ClientServices")

On Error Resume Next
services.ClaimObject "1"
CheckRaised "ClaimObject before Initialize", _
            "80004005 <QRError Desc=""ClientServices interface not initialized"" HR=""E_FAIL"" />"
services.Initialize workspace
CheckRaised "Initialize", "0 "

Dim signature, url, plant, area, unit
services.GetEFData signature, url, plant
CheckRaised "GetEFData", "0 "
Check "GetEFData's values", signature & " " & url & " " & plant, _
      Expected("EFSIGNATURE") & " " & Expected("EFURL") & " " & Expected("EFPLANT")
plant = "" : area = 0 : unit = Empty
services.GetPlantData plant, area, unit
Check "GetPlantData refuses a number variable (type mismatch)", Err.Number, 13
Err.Clear
area = ""
services.GetPlantData plant, area, unit
CheckRaised "GetPlantData", "0 "
Check "GetPlantData's values", plant & " " & area & " " & unit, _
      Expected("PLANTNAME") & " " & Expected("AREANAME") & " " & Expected("UNITNAME")

' Claims and revisions came with framework version 3.65; the feature's first letter counts.
Dim claims : claims = (CDbl(Expected("TEFVERSION")) >= 3.65)
Dim feature, supported
For Each feature In Array("Claim", "claim", "Revise")
    supported = Empty
    supported = services.SupportsFeature(feature)
    CheckRaised "SupportsFeature " & feature, "0 "
    Check "SupportsFeature " & feature & "'s answer", supported, claims And feature <> "claim"
Next
services.ClaimObject "1"
CheckRaised "ClaimObject", "0 "
On Error GoTo 0

Set services = Nothing
Set workspace = Nothing
fso.DeleteFile copy, True
' The runner passes a run only when this line is printed.
If failures = 0 Then WScript.Echo "clientservices: all checks passed"
