#include "tracesink.h"

#include <cwchar>

namespace {
// The default output takes the text and its length and keeps nothing.
void DefaultOutput(const wchar_t*, size_t) {}
} // namespace

void TraceSink::SetTag(const wchar_t* tag) {
    wcsncpy(tag_, tag ? tag : L"", 15);
    tag_[15] = L'\0';
}

TraceOutput* TraceSink::Attach(TraceOutput* output) {
    TraceOutput* old = output_;
    output_ = output;
    return old;
}

void TraceSink::Put(const wchar_t* text) {
    if (output_) output_->Write(text);
    else DefaultOutput(text, wcslen(text));
}

void TraceSink::WriteLine(wchar_t kind, const wchar_t* text) {
    Put(tag_);
    switch (kind) {
    case L'>':
        Put(L" >>>> Enter ");
        Put(text ? text : L"");
        Put(L"()");
        Put(L"\n");
        break;
    case L'.':
        Put(L" ....      ");
        Put(text ? text : L"");
        Put(L"\n");
        break;
    case L'!':
        Put(L" !!!! ");
        Put(text ? text : L"");
        Put(L"\n");
        break;
    default:
        break;
    }
}

void TraceSink::WriteLocation(const wchar_t* file, int line, const wchar_t* text) {
    if (!file) return;
    wchar_t number[16];
    swprintf(number, 16, L"%d", line);
    Put(file);
    Put(L"(");
    Put(number);
    Put(L") : ");
    if (text) Put(text);
    Put(L"\n");
}
