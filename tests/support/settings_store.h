#pragma once
// The client tools' settings store for a test: the simulated store of sim/clienttools
// (simclienttools.dll, loaded in this process) behind the recording proxies, while the
// object lives. Its registry key is emptied before and after, so that every test starts
// from the defaults, and the fault plan is started afresh: its log holds the store's
// calls ("GetValue QRClientTools/ToDoListSettings/Options ShowOpen"), and it can arm one
// of them (FaultPlan::ArmCall).
#include <map>
#include <string>
#include <vector>
#include "support/fault_partners.h"

class SettingsStore {
public:
    SettingsStore();
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // Empty when the store could be redirected; otherwise what is missing.
    const std::wstring& problem() const { return redirects_.problem(); }

    // Node paths are names from the store's top joined by "/".
    static void Set(const std::wstring& path, const std::wstring& name, const std::wstring& text);
    // The stored text, or "(absent)".
    static std::wstring Get(const std::wstring& path, const std::wstring& name);
    // Every stored value, by "<path> <name>".
    static std::map<std::wstring, std::wstring> Values();
    static void Clear();

    // The calls logged since the store was made or the log cleared.
    std::vector<std::wstring> Log() const;
    void ClearLog();
    // The first call logged as `call` from now on fails with `failure` and leaves error
    // information described as FaultPlan::InjectedDescription names it.
    void Fail(const std::wstring& call, HRESULT failure);

private:
    fault::PartnerRedirects redirects_;
};

// The settings paths of the task list.
inline const wchar_t* const kOptionsPath = L"QRClientTools/ToDoListSettings/Options";
std::wstring ColumnPath(int i);
