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

HRESULT FaultPlan::Pass(const std::wstring& call, const std::wstring& logged, const std::function<HRESULT()>& forward,
                        const std::function<void()>& emptyOuts) {
    std::wstring site = phase_.empty() ? call : phase_ + L" | " + call;
    int count = ++counts_[site];
    size_t event = events_.size();
    events_.push_back({site, count, site, logged.empty() ? call : logged});
    bool armed = !armedCall_.empty() ? events_.back().call == armedCall_
                                     : armedOccurrence_ > 0 && count == armedOccurrence_ && site == armedSite_;
    HRESULT hr = answer_;
    if (armed && !fired_) {
        fired_ = true;
        if (FAILED(answer_)) PlantThreadError(call.c_str(), InjectedDescription(call).c_str());
        emptyOuts();
    } else {
        hr = forward();
    }
    events_[event].result = hr;
    // Read and put back, the same object: the caller takes it next.
    winkit::ComPtr<IErrorInfo> info;
    if (FAILED(hr) && GetErrorInfo(0, info.put()) == S_OK && info) {
        winkit::UniqueBstr description;
        info->GetDescription(description.put());
        events_[event].error = description.str();
        SetErrorInfo(0, info.get());
    }
    return hr;
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

std::wstring FaultPlan::InjectedDescription(const std::wstring& call) { return L"injected failure at " + call; }
