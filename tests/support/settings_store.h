#pragma once
// The simulated client tools' settings store behind the recording proxies, emptied before
// and after so that every test starts from the defaults.
#include <algorithm>
#include <map>
#include <string>
#include <vector>
#include "support/fault_partners.h"
#include "support/fault_plan.h"
#include "support/registry_helpers.h"

class SettingsStore {
public:
    SettingsStore() {
        Clear();
        FaultPlan::Get().Start();
        redirects_.SettingsStore();
    }
    ~SettingsStore() { Clear(); }
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // Empty when the store could be redirected; otherwise what is missing.
    const std::wstring& problem() const { return redirects_.problem(); }

    // Node paths are names from the store's top joined by "/".
    static void Set(const std::wstring& path, const std::wstring& name, const std::wstring& text) {
        RegSetKeyValueW(HKEY_CURRENT_USER, KeyOf(path).c_str(), name.c_str(), REG_SZ, text.c_str(),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    // The stored text, or "(absent)".
    static std::wstring Get(const std::wstring& path, const std::wstring& name) {
        return RegistryString(HKEY_CURRENT_USER, KeyOf(path), name.c_str()).value_or(L"(absent)");
    }
    // Every stored value, by "<path> <name>".
    static std::map<std::wstring, std::wstring> Values() {
        std::map<std::wstring, std::wstring> values;
        Collect(L"", values);
        return values;
    }
    static void Clear() { RegDeleteTreeW(HKEY_CURRENT_USER, KeyOf(L"").c_str()); }

    // The calls logged since the store was made or the log cleared.
    std::vector<std::wstring> Log() const { return FaultPlan::Get().Calls(); }
    void ClearLog() { FaultPlan::Get().Start(); }
    // The first call logged as `call` from now on fails with `failure` and leaves error
    // information described as FaultPlan::InjectedDescription names it.
    void Fail(const std::wstring& call, HRESULT failure) { FaultPlan::Get().ArmCall(call, failure); }

private:
    // Where sim/clienttools keeps its nodes.
    static std::wstring KeyOf(std::wstring path) {
        std::replace(path.begin(), path.end(), L'/', L'\\');
        return L"Software\\QRSim\\ClientTools" + (path.empty() ? L"" : L"\\" + path);
    }
    static void Collect(const std::wstring& path, std::map<std::wstring, std::wstring>& values) {
        for (const std::wstring& name : RegistryValueNames(HKEY_CURRENT_USER, KeyOf(path)))
            values[path + L" " + name] = Get(path, name);
        for (const std::wstring& child : RegistrySubkeys(HKEY_CURRENT_USER, KeyOf(path)))
            Collect(path.empty() ? child : path + L"/" + child, values);
    }
    fault::PartnerRedirects redirects_;
};

// The settings paths of the task list.
inline const wchar_t* const kOptionsPath = L"QRClientTools/ToDoListSettings/Options";
inline std::wstring ColumnPath(int i) { return L"QRClientTools/ToDoListSettings/Columns/" + std::to_wstring(i); }
