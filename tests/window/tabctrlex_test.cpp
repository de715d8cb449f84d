// The tab control that hosts property pages: which page shows, where pages sit and how
// big they are, asking every page to apply, and the first page's commit.
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

class FakePage : private PageWindowHolder, public CPropertyPage {
public:
    FakePage(HWND host, bool answer, std::vector<int>* calls, int id)
        : CPropertyPage(window), answer_(answer), calls_(calls), id_(id) {
        window.Attach(::CreateWindowExW(0, L"STATIC", L"page", WS_CHILD, 0, 0, 50, 40, host, nullptr, nullptr, nullptr));
    }
    ~FakePage() override { ::DestroyWindow(window); }

    bool OnApply() override {
        if (calls_) calls_->push_back(id_);
        return answer_;
    }
    HWND Handle() const { return window; }
    bool Visible() const { return ::IsWindowVisible(window) != FALSE; }
    RECT Placement() const { return window.RectInParent(); }

private:
    bool answer_;
    std::vector<int>* calls_;
    int id_;
};

class CommittingPage : public FakePage {
public:
    using FakePage::FakePage;
    void OnCommit() override { ++commits; }
    int commits = 0;
};

class TabCtrlExTest : public testing::Test {
protected:
    void SetUp() override {
        host = ::CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                                 nullptr, nullptr, nullptr);
        ASSERT_TRUE(host);
        RECT area = {5, 5, 305, 205};
        ASSERT_TRUE(tabs.Create(host, area, 1001, L"TabControl", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS));
    }
    void TearDown() override { ::DestroyWindow(host); }

    void SendReflected(UINT code) {
        NMHDR header = {tabs.hwnd(), 1001, code};
        ::SendMessageW(tabs.hwnd(), CTabCtrlEx::kReflectedNotify, 1001, reinterpret_cast<LPARAM>(&header));
    }

    HWND host = nullptr;
    CTabCtrlEx tabs;
};

} // namespace

TEST_F(TabCtrlExTest, CommitAllAsksEveryPageAndAndsTheAnswers) {
    EXPECT_TRUE(tabs.CommitAll());  // no tabs
    std::vector<int> calls;
    FakePage first(host, true, &calls, 1), second(host, false, &calls, 2), third(host, true, &calls, 3);
    tabs.AddPage(first, L"One", 0);
    tabs.AddPage(second, L"Two", 0);
    tabs.AddPage(third, L"Three", 0);
    EXPECT_FALSE(tabs.CommitAll());
    EXPECT_EQ((std::vector<int>{1, 2, 3}), calls);

    calls.clear();
    tabs.RemovePage(1);
    EXPECT_TRUE(tabs.CommitAll());
    EXPECT_EQ((std::vector<int>{1, 3}), calls);
}

TEST_F(TabCtrlExTest, FirstPageShowsLaterPagesWaitForTheirTab) {
    FakePage first(host, true, nullptr, 1), second(host, true, nullptr, 2);
    tabs.AddPage(first, L"One", 0);
    tabs.AddPage(second, L"Two", 0);
    EXPECT_TRUE(first.Visible());
    EXPECT_FALSE(second.Visible());
    RECT placed = second.Placement();
    EXPECT_EQ(8, placed.left);
    EXPECT_EQ(28, placed.top);
    EXPECT_EQ(50, placed.right - placed.left);  // AddPage keeps the size

    EXPECT_TRUE(tabs.SelectPage(1));
    EXPECT_EQ(1, tabs.Selection());
    EXPECT_FALSE(first.Visible());
    EXPECT_TRUE(second.Visible());

    // The user's change, as the host passes it on.
    tabs.OnSelChanging();
    ::SendMessageW(tabs.hwnd(), TCM_SETCURSEL, 0, 0);
    tabs.OnSelChange();
    EXPECT_TRUE(first.Visible());
    EXPECT_FALSE(second.Visible());

    // The same change reflected to the control itself.
    SendReflected(static_cast<UINT>(TCN_SELCHANGING));
    ::SendMessageW(tabs.hwnd(), TCM_SETCURSEL, 1, 0);
    SendReflected(static_cast<UINT>(TCN_SELCHANGE));
    EXPECT_FALSE(first.Visible());
    EXPECT_TRUE(second.Visible());

    // Removing a tab leaves its page's window alone.
    tabs.RemovePage(1);
    EXPECT_EQ(1, tabs.PageCount());
    EXPECT_TRUE(::IsWindow(second.Handle()));
}

TEST_F(TabCtrlExTest, PagesFollowTheControlsSize) {
    FakePage first(host, true, nullptr, 1), second(host, true, nullptr, 2);
    tabs.AddPage(first, L"One", 0);
    tabs.AddPage(second, L"Two", 0);
    ::SetWindowPos(tabs.hwnd(), nullptr, 0, 0, 320, 240, SWP_NOMOVE | SWP_NOZORDER);
    for (const FakePage* page : {&first, &second}) {
        RECT r = page->Placement();
        EXPECT_EQ(320 - 12, r.right - r.left);
        EXPECT_EQ(240 - 30, r.bottom - r.top);
        EXPECT_EQ(8, r.left);  // position unchanged
    }
}

TEST_F(TabCtrlExTest, CommitFirstCommitsOnlyTheFirstPageAndReportsOneWithoutItsOwnCommit) {
    DialogDriver driver(20);
    driver.Answer(IDOK);
    tabs.CommitFirst();  // no tabs: nothing
    CommittingPage first(host, true, nullptr, 1), second(host, true, nullptr, 2);
    tabs.AddPage(first, L"One", 0);
    tabs.AddPage(second, L"Two", 0);
    tabs.CommitFirst();
    EXPECT_EQ(1, first.commits);
    EXPECT_EQ(0, second.commits);
    EXPECT_TRUE(driver.boxes().empty());

    tabs.RemovePage(1);
    tabs.RemovePage(0);
    FakePage plain(host, true, nullptr, 1);
    tabs.AddPage(plain, L"One", 0);
    tabs.CommitFirst();
    ASSERT_EQ(1u, driver.boxes().size());
    const ShownMessageBox& box = driver.boxes()[0];
    EXPECT_EQ(L"Property Page", box.title);
    EXPECT_EQ(L"Coding Error. Page 0 should override OnCommit", box.text);
    EXPECT_EQ(nullptr, box.owner);
    EXPECT_EQ(static_cast<UINT>(MB_OK), box.style);  // no Cancel, no icon
}
