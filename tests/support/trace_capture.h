#pragma once
// Attaches an output to the process-wide trace for the life of the object.
#include <string>
#include "diagnostics/tracesink.h"

class TraceCapture : public TraceOutput {
public:
    explicit TraceCapture(int threshold = 1) : old_(TraceSink::Instance().Attach(this)), oldThreshold_(TraceSink::Instance().Threshold()) {
        TraceSink::Instance().SetThreshold(threshold);
    }
    ~TraceCapture() override {
        TraceSink::Instance().Attach(old_);
        TraceSink::Instance().SetThreshold(oldThreshold_);
    }
    int Write(const wchar_t* text) override {
        text_ += text;
        return static_cast<int>(wcslen(text));
    }
    const std::wstring& text() const { return text_; }

private:
    std::wstring text_;
    TraceOutput* old_;
    int oldThreshold_;
};
