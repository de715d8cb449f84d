#include "support/fault_plan.h"

#include <oleauto.h>
#include "winkit/com_ptr.h"
#include "winkit/unique_bstr.h"

FaultPlan& FaultPlan::Get() {
    static FaultPlan plan;
    return plan;
}

void FaultPlan::Start() {
    phase_.clear();
    armedSite_.clear();
    armedOccurrence_ = 0;
    fired_ = false;
    counts_.clear();
    events_.clear();
    violations_.clear();
    tallies_.clear();
}

void FaultPlan::Arm(const std::wstring& rawSite, int occurrence) {
    armedSite_ = rawSite;
    armedOccurrence_ = occurrence;
    fired_ = false;
}

bool FaultPlan::ShouldFail(const std::wstring& call) {
    std::wstring site = SiteKey(phase_, call);
    int count = ++counts_[site];
    events_.push_back({site, count, site});
    if (fired_ || armedOccurrence_ <= 0 || count != armedOccurrence_ || site != armedSite_) return false;
    fired_ = true;
    if (leavesErrorInfo_) SetThreadErrorInfo(call, InjectedDescription(call));
    else SetErrorInfo(0, nullptr);
    return true;
}

void FaultPlan::Relabel(int event, const std::wstring& suffix) {
    if (event >= 0 && static_cast<size_t>(event) < events_.size()) events_[event].site = events_[event].rawSite + suffix;
}

std::wstring FaultPlan::SiteKey(const std::wstring& phase, const std::wstring& call) {
    return phase.empty() ? call : phase + L" | " + call;
}

std::wstring FaultPlan::InjectedDescription(const std::wstring& call) { return L"injected failure at " + call; }

void SetThreadErrorInfo(const std::wstring& source, const std::wstring& description) {
    winkit::ComPtr<ICreateErrorInfo> creator;
    if (FAILED(CreateErrorInfo(creator.put()))) return;
    creator->SetSource(winkit::UniqueBstr::Copy(source).get());
    creator->SetDescription(winkit::UniqueBstr::Copy(description).get());
    winkit::ComPtr<IErrorInfo> info;
    if (SUCCEEDED(creator.QueryTo(IID_IErrorInfo, info.put_void()))) SetErrorInfo(0, info.get());
}
