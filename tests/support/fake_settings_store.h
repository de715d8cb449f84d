#pragma once
// An in-memory stand-in for the client tools' settings store, registered for this
// process under the Globals and settings node classes (CoRegisterClassObject) while a
// FakeSettingsStore lives. Every call is logged as a line; any call can be made to fail
// (with error information for ISettingsNode/IGlobals) and any Name write refused.
#include <functional>
#include <map>
#include <string>
#include <vector>
#include "comidentifiers.h"

class FakeSettingsStore {
public:
    FakeSettingsStore();
    ~FakeSettingsStore();
    FakeSettingsStore(const FakeSettingsStore&) = delete;
    FakeSettingsStore& operator=(const FakeSettingsStore&) = delete;

    static FakeSettingsStore& Current();

    // Values by node path ("Root/ToDoListSettings/Options") and value name.
    std::map<std::wstring, std::map<std::wstring, std::wstring>> values;
    std::wstring rootName = L"Root";

    // One line per call, e.g. "create Globals", "GetSettingsRoot", "OpenChild Root/ToDoListSettings",
    // "GetValue Root/ToDoListSettings/Options ShowOpen", "SetValue .../Columns/0 Name=Task Name",
    // "BeginEntries Root/ToDoListSettings/Columns", "EndEntries Root/ToDoListSettings/Columns/14".
    std::vector<std::wstring> log;
    // The call (its log line) that fails, with this HRESULT; empty: none. The failing
    // call is logged too.
    std::wstring failingCall;
    HRESULT failure = E_FAIL;
    // Name writes refused (result VARIANT_FALSE) for these node paths.
    std::vector<std::wstring> refusedNamePaths;
    // How found/written are handed back: VT_BOOL, or another type for the conversion.
    VARTYPE resultType = VT_BOOL;

    void Set(const std::wstring& path, const std::wstring& name, const std::wstring& text) { values[path][name] = text; }
    // The value, or "(absent)".
    std::wstring Get(const std::wstring& path, const std::wstring& name) const;
    void ClearLog() { log.clear(); }

    // Internal: called by the fake objects.
    HRESULT Call(const std::wstring& line);

private:
    DWORD globalsCookie_ = 0;
    DWORD nodeCookie_ = 0;
};

// The settings paths of the task list.
inline const wchar_t* const kOptionsPath = L"Root/ToDoListSettings/Options";
std::wstring ColumnPath(int i);
