#include "errorinfo_helpers.h"

#include "diagnostics/errorinfo.h"
#include "winkit/com_ptr.h"
#include "winkit/unique_bstr.h"

ThreadError TakeThreadError() {
    ThreadError error;
    winkit::ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) != S_OK || !info) return error;
    error.present = true;
    winkit::UniqueBstr source, description;
    info->GetSource(source.put());
    info->GetDescription(description.put());
    error.source = source.str();
    error.description = description.str();
    return error;
}

void PlantThreadError(const wchar_t* source, const wchar_t* description, REFIID iid) {
    SetThreadErrorInfo({source, description, iid});
}

void ClearThreadError() { SetErrorInfo(0, nullptr); }
