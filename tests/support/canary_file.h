#pragma once
// A local file that no parser may ever read: hostile documents name it in external
// entities, external DTDs and XInclude references. It holds a unique marker text that
// must never show up anywhere, and its last-access time is set far into the past, so
// that any read moves it (Linux's relatime updates an access time older than the last
// change), which ReadsAreNoticed confirms on this machine first.
#include <string>

class CanaryFile {
public:
    CanaryFile();
    ~CanaryFile();
    CanaryFile(const CanaryFile&) = delete;
    CanaryFile& operator=(const CanaryFile&) = delete;

    // file:///C:/... with forward slashes.
    std::wstring Url() const;
    const std::wstring& Marker() const { return marker_; }
    // Whether anything read the file since it was made (or since ReadsAreNoticed).
    bool WasRead() const;
    // Reads the file once, checks that the read moved the access time, and sets it back.
    bool ReadsAreNoticed();

private:
    void SetAccessTimeLongAgo() const;

    std::wstring path_;
    std::wstring marker_;
};
