// The tab control that hosts property pages.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "support/dialog_driver.h"
#include "tabctrlex.h"

namespace {

// The page's window must exist before CPropertyPage keeps a reference to it.
struct PageWindowHolder {
    winkit::Window window;
};

// A page that records its Apply ("apply 2") and Commit ("commit 1") calls; Commit is
// its own only when asked for.
class FakePage : private PageWindowHolder, public CPropertyPage {
public:
    FakePage(HWND host, int id, std::vector<std::string>& calls, bool answer = true, bool commits = false)
        : CPropertyPage(window), id_(id), calls_(calls), answer_(answer), commits_(commits) {
        window.Attach(::CreateWindowExW(0, L"STATIC", L"page", WS_CHILD, 0, 0, 50, 40, host, nullptr, nullptr, nullptr));
    }
    ~FakePage() override { ::DestroyWindow(window); }

    bool OnApply() override {
        calls_.push_back("apply " + std::to_string(id_));
        return answer_;
    }
    void OnCommit() override {
        if (!commits_) return CPropertyPage::OnCommit();
        calls_.push_back("commit " + std::to_string(id_));
    }

private:
    int id_;
    std::vector<std::string>& calls_;
    bool answer_, commits_;
};

} // namespace

TEST(TabCtrlExTest, CommitAllAsksEveryPageAndAndsTheAnswersCommitFirstOnlyTheFirst) {
    HWND host = ::CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                                  nullptr, nullptr, nullptr);
    CTabCtrlEx tabs;
    ASSERT_TRUE(tabs.Create(host, RECT{5, 5, 305, 205}, 1001, L"TabControl", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS));
    std::vector<std::string> calls;
    DialogDriver driver(20);
    driver.Answer(IDOK);
    EXPECT_TRUE(tabs.CommitAll());  // no tabs
    tabs.CommitFirst();
    FakePage first(host, 1, calls, true, true), second(host, 2, calls, false), third(host, 3, calls);
    tabs.AddPage(first, L"One", 0);
    tabs.AddPage(second, L"Two", 0);
    tabs.AddPage(third, L"Three", 0);
    EXPECT_FALSE(tabs.CommitAll());
    tabs.CommitFirst();
    tabs.RemovePage(1);
    EXPECT_TRUE(tabs.CommitAll());
    EXPECT_EQ((std::vector<std::string>{"apply 1", "apply 2", "apply 3", "commit 1", "apply 1", "apply 3"}), calls);

    // A first page without a commit of its own is a coding error, told once.
    tabs.RemovePage(1);
    tabs.RemovePage(0);
    tabs.AddPage(third, L"Three", 0);
    tabs.CommitFirst();
    ASSERT_EQ(1u, driver.boxes().size());
    const ShownMessageBox& box = driver.boxes()[0];
    EXPECT_EQ(L"Property Page|Coding Error. Page 0 should override OnCommit", box.title + L"|" + box.text);
    EXPECT_TRUE(box.owner == nullptr && box.style == static_cast<UINT>(MB_OK)) << "no owner, no Cancel, no icon";
    ::DestroyWindow(host);
}
