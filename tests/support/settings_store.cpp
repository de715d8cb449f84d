#include "support/settings_store.h"

#include <algorithm>
#include "support/fault_plan.h"
#include "support/registry_helpers.h"

namespace {

// Where sim/clienttools keeps its nodes.
const std::wstring kStoreKey = L"Software\\QRSim\\ClientTools";

std::wstring KeyOf(std::wstring path) {
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path.empty() ? kStoreKey : kStoreKey + L"\\" + path;
}

void CollectValues(const std::wstring& path, std::map<std::wstring, std::wstring>& values) {
    for (const std::wstring& name : RegistryValueNames(HKEY_CURRENT_USER, KeyOf(path)))
        values[path + L" " + name] = SettingsStore::Get(path, name);
    for (const std::wstring& child : RegistrySubkeys(HKEY_CURRENT_USER, KeyOf(path)))
        CollectValues(path.empty() ? child : path + L"/" + child, values);
}

} // namespace

SettingsStore::SettingsStore() {
    Clear();
    FaultPlan::Get().Start();
    redirects_.SettingsStore();
}

SettingsStore::~SettingsStore() { Clear(); }

void SettingsStore::Set(const std::wstring& path, const std::wstring& name, const std::wstring& text) {
    RegSetKeyValueW(HKEY_CURRENT_USER, KeyOf(path).c_str(), name.c_str(), REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

std::wstring SettingsStore::Get(const std::wstring& path, const std::wstring& name) {
    return RegistryString(HKEY_CURRENT_USER, KeyOf(path), name.c_str()).value_or(L"(absent)");
}

std::map<std::wstring, std::wstring> SettingsStore::Values() {
    std::map<std::wstring, std::wstring> values;
    CollectValues(L"", values);
    return values;
}

void SettingsStore::Clear() { RegDeleteTreeW(HKEY_CURRENT_USER, kStoreKey.c_str()); }

std::vector<std::wstring> SettingsStore::Log() const { return FaultPlan::Get().Calls(); }

void SettingsStore::ClearLog() { FaultPlan::Get().Start(); }

void SettingsStore::Fail(const std::wstring& call, HRESULT failure) { FaultPlan::Get().ArmCall(call, failure); }

std::wstring ColumnPath(int i) { return L"QRClientTools/ToDoListSettings/Columns/" + std::to_wstring(i); }
