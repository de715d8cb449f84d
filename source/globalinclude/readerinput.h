#pragma once
// What a SAX reader parses a text from. Wine's reader takes a string in one piece and
// fails near the end of one of tens of millions of characters (a list of 100,000 full
// tasks, 48 million characters, lost its last), while it reads a stream chunk by chunk,
// and faster: a long text goes to it as a stream of its UTF-16 bytes behind a byte order
// mark, read in place. Short texts stay strings, whose error positions and outcomes the
// callers know.
#include <windows.h>
#include <oleauto.h>
#include <algorithm>
#include <cstring>
#include "winkit/bstr_text.h"

class ReaderInput final : public ISequentialStream {
public:
    static constexpr size_t kStreamedLength = size_t{1} << 20;

    // Turns `input`, a VT_BSTR, into this stream when its text is long. Lives on the stack
    // for one parse: the reader holds it only while it parses.
    explicit ReaderInput(VARIANT& input) {
        std::wstring_view text = winkit::BstrView(V_BSTR(&input));
        next_ = reinterpret_cast<const BYTE*>(text.data());
        end_ = next_ + text.size() * sizeof(wchar_t);
        if (text.size() < kStreamedLength) return;
        V_VT(&input) = VT_UNKNOWN;
        V_UNKNOWN(&input) = this;
    }
    ReaderInput(const ReaderInput&) = delete;
    ReaderInput& operator=(const ReaderInput&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = iid == IID_IUnknown || iid == IID_ISequentialStream ? static_cast<ISequentialStream*>(this) : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP Read(void* buffer, ULONG size, ULONG* read) override {
        BYTE* out = static_cast<BYTE*>(buffer);
        ULONG count = 0;
        // A byte order mark first: without one the reader does not always take the bytes
        // for UTF-16.
        for (; bomLeft_ > 0 && count < size; --bomLeft_) out[count++] = kBom[2 - bomLeft_];
        const ULONG text = static_cast<ULONG>(std::min<size_t>(size - count, static_cast<size_t>(end_ - next_)));
        std::memcpy(out + count, next_, text);
        next_ += text;
        count += text;
        if (read) *read = count;
        return count < size ? S_FALSE : S_OK;
    }
    STDMETHODIMP Write(const void*, ULONG, ULONG*) override { return STG_E_ACCESSDENIED; }

private:
    static constexpr BYTE kBom[2] = {0xFF, 0xFE};
    int bomLeft_ = 2;
    const BYTE* next_ = nullptr;
    const BYTE* end_ = nullptr;
};
