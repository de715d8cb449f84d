#pragma once
// The XML writer that keeps its text in memory. Its ISequentialStream view takes
// UTF-16 text from components that write to a stream (for example an MSXML writer).
#include <objidl.h>
#include <new>
#include "chunkedtext.h"
#include "qrxmlwriterimpl.h"
#include "winkit/com_object.h"

class QRXMLStringWriter final : public QRXMLWriterImpl<QRXMLStringWriter, iqrXMLStringWriter>,
                          public ISequentialStream,
                          public winkit::ComObjectRoot {
    WINKIT_IUNKNOWN_IMPL(kInterfaces)

    HRESULT STDMETHODCALLTYPE WriteRaw(const wchar_t* text, ULONG length) override {
        try {
            text_.Append(text, length);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Clear() override;
    HRESULT STDMETHODCALLTYPE GetString(BSTR* text) override;
    ULONG STDMETHODCALLTYPE GetLength() override;
    HRESULT STDMETHODCALLTYPE CopyTo(wchar_t* buffer) override;

    // ISequentialStream: writing only.
    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG bytes, ULONG* bytesRead) override;
    HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG bytes, ULONG* bytesWritten) override;

private:
    static const QITAB kInterfaces[];
    ChunkedText text_;
};
