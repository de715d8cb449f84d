#include "errorinfo.h"

winkit::ComPtr<IErrorInfo> MakeErrorInfo(const ErrorInfoFields& fields) noexcept {
    winkit::ComPtr<ICreateErrorInfo> creator;
    winkit::ComPtr<IErrorInfo> made;
    if (FAILED(CreateErrorInfo(creator.put()))) return made;
    creator->SetGUID(fields.guid);
    creator->SetHelpContext(fields.helpContext);
    if (fields.source) creator->SetSource(const_cast<LPOLESTR>(fields.source));
    if (fields.description) creator->SetDescription(const_cast<LPOLESTR>(fields.description));
    if (fields.helpFile) creator->SetHelpFile(const_cast<LPOLESTR>(fields.helpFile));
    creator.As(&made);
    return made;
}

void SetThreadErrorInfo(const ErrorInfoFields& fields) noexcept {
    SetErrorInfo(0, MakeErrorInfo(fields).get());
}
