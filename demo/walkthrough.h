#pragma once
// The recorded walk-through: steps played from a timer inside whatever modal loop runs
// (the To Do List, Configure View, the property dialog), each ending with a screenshot
// and a one-line summary.
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace demo {

class Walkthrough {
public:
    explicit Walkthrough(std::wstring outputFolder);
    ~Walkthrough();

    // Starts the timer; the steps run once the To Do List is shown.
    void Start();
    bool Finished() const { return next_ >= steps_.size(); }
    int Failures() const { return failures_; }

private:
    struct Step {
        const wchar_t* name;
        // Returns false to be called again on the next tick (a window it waits for).
        std::function<bool()> action;
    };

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void RunNext();
    void Report(const wchar_t* step, const std::wstring& summary, const std::wstring& file = L"");
    std::wstring Screenshot(HWND window, const wchar_t* name);
    void Fail(const wchar_t* step, const std::wstring& why);

    std::vector<Step> BuildSteps();

    std::wstring folder_;
    std::vector<Step> steps_;
    size_t next_ = 0;
    int waits_ = 0;
    int failures_ = 0;
    UINT_PTR timer_ = 0;
    std::wstring runName_;  // the task run in step 4, by its name (unique in the sample)
    std::wstring lastReportBefore_;
    static Walkthrough* current_;
};

} // namespace demo
