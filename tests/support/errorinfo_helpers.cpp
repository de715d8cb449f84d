#include "errorinfo_helpers.h"

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
    winkit::ComPtr<ICreateErrorInfo> creator;
    if (FAILED(CreateErrorInfo(creator.put()))) return;
    creator->SetGUID(iid);
    creator->SetSource(const_cast<LPOLESTR>(source));
    creator->SetDescription(const_cast<LPOLESTR>(description));
    winkit::ComPtr<IErrorInfo> info;
    creator.As(&info);
    SetErrorInfo(0, info.get());
}

void ClearThreadError() { SetErrorInfo(0, nullptr); }
