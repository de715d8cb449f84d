#pragma once
// The process-wide plan of the proxies (fault_proxies.h): every intercepted call is logged,
// in order, and may be the one armed to answer in place of the component. A site is the
// call within the running phase: "Action | IServiceRequest::Execute [ActionTask]"; a
// request's earlier events are relabelled once it learns its framework method.
#include <windows.h>
#include <functional>
#include <map>
#include <string>
#include <vector>

// Recognizable: no system message has this code, so documents show it as a number.
inline constexpr HRESULT kInjectedFailure = static_cast<HRESULT>(0x8004FA01L);

struct FaultEvent {
    std::wstring rawSite;  // the site as it was asked about
    int occurrence;        // of the raw site since the plan started, from 1
    std::wstring site;     // the raw site, or relabelled with what was learned later
    std::wstring call;     // the call with its arguments, as the tests' logs show it
    HRESULT result = S_OK; // what the caller got
    std::wstring error;    // the description of the error information a failure left
};

class FaultPlan {
public:
    static FaultPlan& Get();

    void Start();
    void SetPhase(const std::wstring& phase) { phase_ = phase; }
    // The `occurrence`th call (1-based) of the raw site, or the first call logged as
    // `call`, is not forwarded: it answers `answer` with its out-parameters emptied (an
    // answer that succeeds is a component that did nothing). Once. A failure leaves error
    // information: source the call, description InjectedDescription(call).
    void Arm(const std::wstring& rawSite, int occurrence, HRESULT answer = kInjectedFailure);
    void ArmCall(const std::wstring& call, HRESULT answer);
    // The type every VARIANT a settings node answers with is converted to (VT_EMPTY: kept).
    void SetVariantAnswers(VARTYPE type) { variantAnswers_ = type; }
    VARTYPE VariantAnswers() const { return variantAnswers_; }

    // Logs the call (`logged` empty: as its site) and forwards it, unless it is the armed
    // one: then `emptyOuts` and the armed answer. Records what the caller got, and the
    // description of the error information it was left.
    HRESULT Pass(const std::wstring& call, const std::wstring& logged, const std::function<HRESULT()>& forward,
                 const std::function<void()>& emptyOuts);

    bool Fired() const { return fired_; }
    const std::vector<FaultEvent>& Events() const { return events_; }
    // The logged calls whose raw site holds `part`.
    std::vector<std::wstring> Calls(const std::wstring& part = {}) const;
    // The index of the call asked about last (-1 before any).
    int LastEvent() const { return static_cast<int>(events_.size()) - 1; }
    // Gives an earlier call its full name: its raw site followed by the suffix.
    void Relabel(int event, const std::wstring& suffix);

    // The values written into the spreadsheet (successful property puts).
    void CountWrite() { ++writes_; }
    int Writes() const { return writes_; }

    // What a proxy saw the library do that no failure may lead to.
    void Flag(const std::wstring& violation) { violations_.push_back(violation); }
    const std::vector<std::wstring>& Violations() const { return violations_; }

    static std::wstring InjectedDescription(const std::wstring& call);

private:
    std::wstring phase_;
    std::wstring armedSite_;
    int armedOccurrence_ = 0;
    std::wstring armedCall_;
    HRESULT answer_ = kInjectedFailure;
    bool fired_ = false;
    VARTYPE variantAnswers_ = VT_EMPTY;
    std::map<std::wstring, int> counts_;
    std::vector<FaultEvent> events_;
    std::vector<std::wstring> violations_;
    int writes_ = 0;
};
