' The main job until the To Do list window lands: a host-like client that creates the
' To Do list object by ProgID and reports what it gets.
Option Explicit
Dim list : Set list = CreateObject("QRCGenericSvcs.QRCTaskList")
WScript.Echo "Created QRCGenericSvcs.QRCTaskList"

On Error Resume Next
Dim ok : ok = list.Show()
WScript.Echo "Show before Initialize:"
WScript.Echo "  error       0x" & Hex(Err.Number)
WScript.Echo "  source      " & Err.Source
WScript.Echo "  description " & Err.Description
Err.Clear

list.Initialize CreateObject("Scripting.Dictionary")
WScript.Echo "Initialize with an object that is not a workspace:"
WScript.Echo "  error       0x" & Hex(Err.Number)
WScript.Echo "  source      " & Err.Source
WScript.Echo "  description " & Err.Description
Err.Clear
