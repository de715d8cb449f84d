#include "support/fault_plan.h"

#include "support/errorinfo_helpers.h"
#include "winkit/com_ptr.h"
#include "winkit/unique_bstr.h"

FaultPlan& FaultPlan::Get() {
    static FaultPlan plan;
    return plan;
}

void FaultPlan::Start() { *this = FaultPlan(); }

void FaultPlan::Arm(const std::wstring& rawSite, int occurrence, HRESULT answer) {
    armedSite_ = rawSite;
    armedOccurrence_ = occurrence;
    answer_ = answer;
    fired_ = false;
}

void FaultPlan::ArmCall(const std::wstring& call, HRESULT answer) {
    armedCall_ = call;
    answer_ = answer;
    fired_ = false;
}

bool FaultPlan::IsArmed(const std::wstring& site, int count, const std::wstring& logged) const {
    if (fired_) return false;
    if (!armedCall_.empty()) return logged == armedCall_;
    return armedOccurrence_ > 0 && count == armedOccurrence_ && site == armedSite_;
}

std::optional<HRESULT> FaultPlan::Intercept(const std::wstring& call, const std::wstring& logged) {
    std::wstring site = SiteKey(phase_, call);
    int count = ++counts_[site];
    events_.push_back({site, count, site, logged.empty() ? call : logged});
    if (!IsArmed(site, count, events_.back().call)) return std::nullopt;
    fired_ = true;
    if (FAILED(answer_) && errorInfoLeft_ == ErrorInfoLeft::Injected)
        PlantThreadError(call.c_str(), InjectedDescription(call).c_str());
    else if (errorInfoLeft_ == ErrorInfoLeft::Cleared)
        ClearThreadError();
    return answer_;
}

void FaultPlan::Finish(int event, HRESULT result) {
    if (event < 0 || static_cast<size_t>(event) >= events_.size()) return;
    events_[event].result = result;
    if (SUCCEEDED(result)) return;
    // Read and put back, the same object: the caller takes it next.
    winkit::ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) != S_OK || !info) return;
    winkit::UniqueBstr description;
    info->GetDescription(description.put());
    events_[event].error = description.str();
    SetErrorInfo(0, info.get());
}

std::vector<std::wstring> FaultPlan::Calls(const std::wstring& part) const {
    std::vector<std::wstring> calls;
    for (const FaultEvent& event : events_)
        if (event.rawSite.find(part) != std::wstring::npos) calls.push_back(event.call);
    return calls;
}

void FaultPlan::Relabel(int event, const std::wstring& suffix) {
    if (event >= 0 && static_cast<size_t>(event) < events_.size()) events_[event].site = events_[event].rawSite + suffix;
}

std::wstring FaultPlan::SiteKey(const std::wstring& phase, const std::wstring& call) {
    return phase.empty() ? call : phase + L" | " + call;
}

std::wstring FaultPlan::InjectedDescription(const std::wstring& call) { return L"injected failure at " + call; }
