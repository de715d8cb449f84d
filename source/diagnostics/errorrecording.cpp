// The QRError documents: how a scope records an error, carries an earlier description
// below it, converts foreign descriptions and OLE DB error records, and publishes the
// result as the thread's error information.
#include <oledb.h>
#include "errorinfo.h"
#include "hresulttext.h"
#include "qrcomexception.h"
#include "qrerrorelement.h"
#include "tracesink.h"
#include "wideformat.h"

namespace {

std::wstring TakeBstr(BSTR b) {
    std::wstring text = b ? std::wstring(b, SysStringLen(b)) : std::wstring();
    SysFreeString(b);
    return text;
}

std::wstring DescriptionOf(IErrorInfo* info) {
    BSTR b = nullptr;
    if (!info || FAILED(info->GetDescription(&b))) return {};
    return TakeBstr(b);
}

std::wstring SourceOf(IErrorInfo* info) {
    BSTR b = nullptr;
    if (!info || FAILED(info->GetSource(&b))) return {};
    return TakeBstr(b);
}

void TraceElement(const std::wstring& element) { TraceSink::Instance().Write(3, L'!', element.c_str()); }

// The message of an element that has no format: the text of the code, wrapped with
// the scope's activity when it has one.
std::wstring CodeMessage(HRESULT hr, const wchar_t* activity) {
    std::wstring text = HResultMessage(hr);
    return activity ? FormatWide(L"Error while %ls (%ls)", activity, text.c_str()) : text;
}

// One element per OLE DB error record, separated by CR LF; empty when there are none.
std::wstring OleDbRecords(IErrorInfo* held) {
    IErrorRecords* records = nullptr;
    if (!held || FAILED(held->QueryInterface(IID_IErrorRecords, reinterpret_cast<void**>(&records)))) return {};
    std::wstring document;
    ULONG count = 0;
    if (SUCCEEDED(records->GetRecordCount(&count))) {
        for (ULONG i = 0; i < count; ++i) {
            ERRORINFO basic = {};
            records->GetBasicErrorInfo(i, &basic);
            IErrorInfo* record = nullptr;
            records->GetErrorInfo(i, GetSystemDefaultLCID(), &record);
            std::wstring source = SourceOf(record);
            if (source.empty()) {
                wchar_t iid[40] = {};
                StringFromGUID2(basic.iid, iid, 40);
                source = std::wstring(L"OLEDB Interface::") + iid;
            }
            std::wstring element = QRErrorElement()
                                       .AttributeIfAny(L"Desc", DescriptionOf(record))
                                       .AttributeIfAny(L"Src", source)
                                       .Attribute(L"HR", HResultHex(basic.hrError))
                                       .Finish();
            if (record) record->Release();
            TraceElement(element);
            if (!document.empty()) document += L"\r\n";
            document += element;
        }
    }
    records->Release();
    return document;
}

} // namespace

std::wstring QRComException::CurrentDescription() {
    std::wstring description;
    if (!errorInfo) GetErrorInfo(0, &errorInfo);  // taking it clears it on the thread
    description = DescriptionOf(errorInfo);
    if (description.empty() && FAILED(result)) description = HResultMessage(result);
    return description;
}

void QRComException::Publish(const std::wstring& document, const wchar_t* source, std::wstring* copy) {
    if (copy) copy->clear();
    std::wstring heldSource;
    if (!source && !methodName && errorInfo) heldSource = SourceOf(errorInfo);
    const wchar_t* effectiveSource = source ? source : methodName ? methodName : errorInfo ? heldSource.c_str() : nullptr;
    winkit::ComPtr<IErrorInfo> made = MakeErrorInfo({effectiveSource, document.empty() ? nullptr : document.c_str()});
    if (!made) return;
    if (copy) *copy = document;
    ReleaseErrorInfo();
    errorInfo = made.release();
    SetErrorInfo(0, errorInfo);
}

// Turns what the held error information says into a QRError document. `hr` is the
// code its element carries; nothing is converted for a code that is not a failure.
void QRComException::ConvertHeldError(std::wstring* copy, HRESULT hr) {
    if (copy) copy->clear();
    if (!FAILED(hr)) return;
    std::wstring source = SourceOf(errorInfo);
    std::wstring document = OleDbRecords(errorInfo);
    if (document.empty()) {
        std::wstring description = DescriptionOf(errorInfo);
        if (description.size() > 8 && IsQRErrorDocument(description)) return;
        if (description.empty()) description = HResultMessage(hr);
        document = QRErrorElement()
                       .AttributeIfAny(L"Desc", description)
                       .AttributeIfAny(L"Src", source)
                       .Attribute(L"HR", HResultName(hr))
                       .Finish();
    }
    TraceElement(document);
    Publish(document, source.empty() ? nullptr : source.c_str(), copy);
}

void QRComException::RecordError(const SourceLocation* where, HRESULT hr, const wchar_t* format, va_list args) {
    if (hr >= 0) hr = result;
    std::wstring carried = CurrentDescription();
    if (carried.size() > 8 && !IsQRErrorDocument(carried)) {
        // A plain text left by a called component is kept as an element of its own,
        // also when this is the first failure the scope records.
        carried.clear();
        ConvertHeldError(&carried, FAILED(result) ? result : hr);
    }
    std::wstring document;
    if (FAILED(hr)) {
        if (where) TraceSink::Instance().WriteLocation(where->file, where->line, L"!!!! QRComException Error !!!!");
        std::wstring message;
        if (format) {
            message = FormatWideV(format, args, 2056);
        } else {
            message = FirstDesc(carried);
            if (message.empty()) message = CodeMessage(hr, activity);
        }
        QRErrorElement element;
        element.AttributeIfAny(L"Desc", message);
        if (activity) element.Attribute(L"Activity", activity);
        element.Attribute(L"HR", HResultName(hr));
        document = element.Finish();
        TraceElement(document);
    }
    if (!carried.empty()) {
        document += L"\r\n";
        document += carried;
    }
    if (!document.empty()) Publish(document, nullptr, nullptr);
    if (FAILED(hr)) result = hr;
}

void QRComException::RecordPointerError(HRESULT hr, const wchar_t* format, va_list args) {
    std::wstring message = format ? FormatWideV(format, args, 2056) : CodeMessage(hr, activity);
    QRErrorElement element;
    element.AttributeIfAny(L"Desc", message);
    element.AttributeIfAny(L"Src", methodName ? methodName : L"");
    if (activity) element.Attribute(L"Activity", activity);
    element.Attribute(L"HR", HResultName(hr));
    std::wstring document = element.Finish();
    TraceElement(document);
    Publish(document, nullptr, nullptr);
    result = hr;
}

HRESULT QRComException::Normalize() {
    if (FAILED(result)) {
        std::wstring description = DescriptionOf(errorInfo);
        if (description.size() <= 8 || !IsQRErrorDocument(description)) ConvertHeldError(nullptr, result);
        else SetErrorInfo(0, errorInfo);
    }
    return result;
}
