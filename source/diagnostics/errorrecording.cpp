// The QRError documents: how a scope records an error, carries an earlier description
// below it, converts foreign descriptions and OLE DB error records, and publishes the
// result as the thread's error information.
#include <oledb.h>
#include "errorinfo.h"
#include "winkit/unique_bstr.h"
#include "hresulttext.h"
#include "qrcomexception.h"
#include "qrerrorelement.h"
#include "tracesink.h"
#include "wideformat.h"

namespace {

std::wstring DescriptionOf(IErrorInfo* info) {
    winkit::UniqueBstr text;
    if (!info || FAILED(info->GetDescription(text.put()))) return {};
    return text.str();
}

std::wstring SourceOf(IErrorInfo* info) {
    winkit::UniqueBstr text;
    if (!info || FAILED(info->GetSource(text.put()))) return {};
    return text.str();
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
    winkit::ComPtr<IErrorRecords> records;
    if (!held || FAILED(held->QueryInterface(IID_IErrorRecords, records.put_void()))) return {};
    std::wstring document;
    ULONG count = 0;
    if (SUCCEEDED(records->GetRecordCount(&count))) {
        for (ULONG i = 0; i < count; ++i) {
            ERRORINFO basic = {};
            records->GetBasicErrorInfo(i, &basic);
            winkit::ComPtr<IErrorInfo> record;
            records->GetErrorInfo(i, GetSystemDefaultLCID(), record.put());
            std::wstring source = SourceOf(record.get());
            if (source.empty()) {
                wchar_t iid[40] = {};
                StringFromGUID2(basic.iid, iid, 40);
                source = std::wstring(L"OLEDB Interface::") + iid;
            }
            std::wstring element = QRErrorElement()
                                       .AttributeIfAny(L"Desc", DescriptionOf(record.get()))
                                       .AttributeIfAny(L"Src", source)
                                       .Attribute(L"HR", HResultHex(basic.hrError))
                                       .Finish();
            TraceElement(element);
            if (!document.empty()) document += L"\r\n";
            document += element;
        }
    }
    return document;
}

} // namespace

std::wstring QRComException::CurrentDescription() {
    std::wstring description;
    if (!errorInfo) GetErrorInfo(0, errorInfo.put());  // taking it clears it on the thread
    description = DescriptionOf(errorInfo.get());
    if (description.empty() && FAILED(result)) description = HResultMessage(result);
    return description;
}

void QRComException::Publish(const std::wstring& document, const wchar_t* source, std::wstring* copy) {
    if (copy) copy->clear();
    std::wstring heldSource;
    if (!source && !methodName && errorInfo) heldSource = SourceOf(errorInfo.get());
    const wchar_t* effectiveSource = source ? source : methodName ? methodName : errorInfo ? heldSource.c_str() : nullptr;
    winkit::ComPtr<IErrorInfo> made = MakeErrorInfo({effectiveSource, document.empty() ? nullptr : document.c_str()});
    if (!made) return;
    if (copy) *copy = document;
    errorInfo = std::move(made);
    SetErrorInfo(0, errorInfo.get());
}

// Turns what the held error information says into a QRError document. `hr` is the
// code its element carries; nothing is converted for a code that is not a failure.
void QRComException::ConvertHeldError(std::wstring* copy, HRESULT hr) {
    if (copy) copy->clear();
    if (!FAILED(hr)) return;
    std::wstring source = SourceOf(errorInfo.get());
    std::wstring document = OleDbRecords(errorInfo.get());
    if (document.empty()) {
        std::wstring description = DescriptionOf(errorInfo.get());
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
        std::wstring description = DescriptionOf(errorInfo.get());
        if (description.size() <= 8 || !IsQRErrorDocument(description)) ConvertHeldError(nullptr, result);
        else SetErrorInfo(0, errorInfo.get());
    }
    return result;
}
