#include "qrxmlstringwriter.h"

#include <new>

const QITAB QRXMLStringWriter::kInterfaces[] = {
    QITABENTMULTI(QRXMLStringWriter, iqrXMLWriter, iqrXMLStringWriter),
    QITABENT(QRXMLStringWriter, iqrXMLStringWriter),
    QITABENT(QRXMLStringWriter, ISequentialStream),
    {},
};

HRESULT QRXMLStringWriter::Clear() {
    text_.Clear();
    return S_OK;
}

HRESULT QRXMLStringWriter::GetString(BSTR* text) {
    if (!text) return E_POINTER;
    *text = SysAllocStringLen(nullptr, static_cast<UINT>(text_.Length()));
    if (!*text) return E_OUTOFMEMORY;
    text_.CopyTo(*text);
    return S_OK;
}

ULONG QRXMLStringWriter::GetLength() { return static_cast<ULONG>(text_.Length()); }

HRESULT QRXMLStringWriter::CopyTo(wchar_t* buffer) {
    if (!buffer) return E_POINTER;
    text_.CopyTo(buffer);
    return S_OK;
}

HRESULT QRXMLStringWriter::Read(void* buffer, ULONG bytes, ULONG* bytesRead) {
    return Traced(L"QRXMLStringWriter::Read", 0, [&](QRComException& xhr) {
        if (bytesRead) *bytesRead = 0;
        xhr.SetError(QR_HERE, STG_E_ACCESSDENIED, L"Stream does not support Read operations");
    });
}

HRESULT QRXMLStringWriter::Write(const void* buffer, ULONG bytes, ULONG* bytesWritten) {
    return Traced(L"QRXMLStringWriter::Write", 0, [&](QRComException& xhr) {
        if (bytesWritten) *bytesWritten = 0;
        if (bytes % sizeof(wchar_t))
            xhr.Throw(QR_HERE, E_FAIL, L"Cannot write a UTF-16 stream that is not a whole number of wide characters");
        if (bytes) xhr.CheckPointer(buffer, L"Cannot write %lu bytes from a null buffer", bytes);
        xhr.SetResult(WriteRaw(static_cast<const wchar_t*>(buffer), bytes / sizeof(wchar_t)));
        if (FAILED(xhr.result)) xhr.Rethrow(QR_HERE);
        if (bytesWritten) *bytesWritten = bytes;
    });
}
