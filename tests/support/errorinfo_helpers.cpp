#include "errorinfo_helpers.h"

#include "diagnostics/errorinfo.h"
#include "winkit/com_ptr.h"
#include "winkit/unique_bstr.h"

ThreadError TakeThreadError() {
    winkit::ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) != S_OK || !info) return {};
    winkit::UniqueBstr source, description;
    info->GetSource(source.put());
    info->GetDescription(description.put());
    return {true, source.str(), description.str()};
}

void PlantThreadError(const wchar_t* source, const wchar_t* description, REFIID iid) {
    SetThreadErrorInfo({source, description, iid});
}

void ClearThreadError() { SetErrorInfo(0, nullptr); }
