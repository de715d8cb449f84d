#pragma once
// The process-wide trace: lines tagged "&QRCE&", filtered by a level threshold.
// Without an attached output every piece of text is dropped.

class TraceOutput {
public:
    virtual ~TraceOutput() = default;
    // Returns the number of characters written.
    virtual int Write(const wchar_t* text) = 0;
};

class TraceSink {
public:
    // Made on first use from any thread; a concurrent first use waits for it.
    static TraceSink& Instance() {
        static TraceSink sink;
        return sink;
    }

    // Writes the tag and the line for kind '>' (entry), '.' (activity) or '!' (error
    // element), when level is above the threshold.
    // Inline, because every traced call asks, and almost always the answer is no.
    void Write(int level, wchar_t kind, const wchar_t* text) {
        if (level > threshold_) WriteLine(kind, text);
    }
    // Writes "file(line) : text": no tag, no threshold. Nothing when file is null.
    void WriteLocation(const wchar_t* file, int line, const wchar_t* text);

    int Threshold() const { return threshold_; }
    void SetThreshold(int threshold) { threshold_ = threshold; }
    const wchar_t* Tag() const { return tag_; }
    void SetTag(const wchar_t* tag);
    // Tests attach an output to read the trace; the library never does.
    TraceOutput* Attach(TraceOutput* output);

private:
    TraceSink() = default;
    void WriteLine(wchar_t kind, const wchar_t* text);
    void Put(const wchar_t* text);

    int threshold_ = 1;
    wchar_t tag_[16] = L"&QRCE&";
    TraceOutput* output_ = nullptr;
};
