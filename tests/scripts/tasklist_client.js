// An outside client of QRCGenericSvcs.QRCTaskList written in JScript.
var failures = 0;
function check(condition, what) {
    WScript.Echo((condition ? "ok   " : "FAIL ") + what);
    if (!condition) failures++;
}
function hex(n) { return (n < 0 ? n + 0x100000000 : n).toString(16); }

var list = new ActiveXObject("QRCGenericSvcs.QRCTaskList");
check(list != null, "created by ProgID");

// (a) Show before Initialize, without its optional argument.
try {
    list.Show();
    check(false, "Show before Initialize must fail");
} catch (e) {
    check(hex(e.number) == "80004005", "Show fails with 0x80004005 (got 0x" + hex(e.number) + ")");
    check(e.description == "<QRError Desc=\"TaskList interface not initialized\" HR=\"E_FAIL\" />",
          "description is the QRError document (got '" + e.description + "')");
}

// (b) Initialize with a script object that is not a workspace.
try {
    list.Initialize({ name: "not a workspace" });
    check(false, "Initialize with a script object must fail");
} catch (e) {
    check(hex(e.number) == "80070057", "Initialize fails with 0x80070057 (got 0x" + hex(e.number) + ")");
}

// (c) Both methods are found by name, in any case.
try {
    list.show(0);
} catch (e) {
    check(hex(e.number) == "80004005", "show found by name without regard to case");
}

if (failures > 0) {
    WScript.Echo(failures + " check(s) failed");
    WScript.Quit(1);
}
WScript.Echo("all checks passed");
