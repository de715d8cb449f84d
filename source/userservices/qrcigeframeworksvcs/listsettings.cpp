#include "listsettings.h"

#include <cstdlib>
#include "clienttoolssettings.h"

namespace {

struct FlagValue {
    const wchar_t* name;
    int ViewFlags::*flag;
};

const FlagValue kFlags[] = {
    {L"ShowDeleted", &ViewFlags::ShowDeleted},
    {L"ShowOpen", &ViewFlags::ShowOpen},
    {L"ShowDeferred", &ViewFlags::ShowDeferred},
    {L"ShowCompleted", &ViewFlags::ShowCompleted},
};

struct SettingsNodes {
    ClientToolsSettingsNode list;
    ClientToolsSettingsNode options;
};

SettingsNodes OpenListSettings() {
    ClientToolsSettingsNode list = ClientToolsSettingsNode::OpenRoot().OpenChild(L"ToDoListSettings");
    ClientToolsSettingsNode options = list.OpenChild(L"Options");
    return {std::move(list), std::move(options)};
}

} // namespace

void LoadViewSettings(ViewFlags& views, ColumnSet& columns) {
    SettingsNodes nodes = OpenListSettings();
    for (const FlagValue& f : kFlags) {
        std::wstring text;
        views.*f.flag = nodes.options.GetValue(f.name, text) ? (_wtoi(text.c_str()) == 1 ? 1 : 0) : 1;
    }

    columns.clear();
    ClientToolsSettingsNode stored = nodes.list.OpenChild(L"Columns");
    stored.BeginEntries();
    for (int i = 0;; ++i) {
        ClientToolsSettingsNode entry = stored.OpenChild(std::to_wstring(i));
        std::wstring name;
        if (!entry.GetValue(L"Name", name)) break;
        std::wstring width;
        if (!entry.GetValue(L"Width", width)) width = L"100";
        columns.push_back({name, _wtoi(width.c_str())});
    }
    if (columns.empty()) columns = DefaultColumnSet();
}

void StoreViewSettings(const ViewFlags& views, const std::vector<ShownColumn>& shown) {
    SettingsNodes nodes = OpenListSettings();
    for (const FlagValue& f : kFlags) nodes.options.SetValue(f.name, views.*f.flag != 0 ? L"1" : L"0");

    ClientToolsSettingsNode stored = nodes.list.OpenChild(L"Columns");
    stored.BeginEntries();
    for (size_t i = 0; i < shown.size(); ++i) {
        ClientToolsSettingsNode entry = stored.OpenChild(std::to_wstring(i));
        if (!entry.SetValue(L"Name", shown[i].name)) break;
        if (shown[i].width) entry.SetValue(L"Width", std::to_wstring(*shown[i].width));
    }
    stored.OpenChild(std::to_wstring(shown.size())).EndEntries();
}
