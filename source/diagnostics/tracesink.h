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
    static TraceSink& Instance();

    // Writes the tag and the line for kind '>' (entry), '.' (activity) or '!' (error
    // element), when level is above the threshold.
    void Write(int level, wchar_t kind, const wchar_t* text);
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
    void Put(const wchar_t* text);

    int threshold_ = 1;
    wchar_t tag_[16] = L"&QRCE&";
    TraceOutput* output_ = nullptr;
};
