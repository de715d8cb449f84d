#pragma once
// The process-wide plan of a fault injection run: every intercepted call to an outside
// component asks it whether to fail. A run counts the calls per site and fails exactly
// one occurrence of one site, with a recognizable HRESULT and error information on the
// thread, as a failing component leaves it.
//
// A site is the call ("IServiceRequest::Execute [ActionTask]") within the phase of the
// scenario that is running ("Action"), written "Action | IServiceRequest::Execute [ActionTask]".
// Some calls learn their full name only later (a request's framework method is set after
// the request is made): their events are relabelled then, and a run that fails such a
// site arms the raw site at the occurrence a run without failures recorded for it.
#include <windows.h>
#include <map>
#include <string>
#include <vector>

// Recognizable: no system message has this code, so documents show it as a number.
inline constexpr HRESULT kInjectedFailure = static_cast<HRESULT>(0x8004FA01L);

// The tally of values written into the spreadsheet (successful property puts).
inline constexpr const wchar_t* kSpreadsheetWrites = L"spreadsheet writes";

// One intercepted call of a run.
struct FaultEvent {
    std::wstring rawSite;  // the site as it was asked about
    int occurrence;        // of the raw site in this run, from 1
    std::wstring site;     // the raw site, or relabelled with what was learned later
};

class FaultPlan {
public:
    static FaultPlan& Get();

    // A new run: no calls counted, nothing armed, phase empty (error information kept as set).
    void Start();
    // The part of the scenario now running; names the sites of the calls that follow.
    void SetPhase(const std::wstring& phase) { phase_ = phase; }
    const std::wstring& Phase() const { return phase_; }
    // Fails the `occurrence`th call (1-based) of the raw site, once.
    void Arm(const std::wstring& rawSite, int occurrence);
    // Whether a failure leaves error information (on the thread, or in the exception
    // information of a late-bound call); many components leave none. On by default.
    void SetLeavesErrorInfo(bool leaves) { leavesErrorInfo_ = leaves; }
    bool LeavesErrorInfo() const { return leavesErrorInfo_; }

    // Counts the call; true exactly for the armed occurrence, after setting the thread's
    // error information (source: the call, description "injected failure at <call>"), or
    // clearing it when failures leave none.
    bool ShouldFail(const std::wstring& call);

    bool Fired() const { return fired_; }
    // The calls of this run, in order.
    const std::vector<FaultEvent>& Events() const { return events_; }
    // The index of the call asked about last (-1 before any).
    int LastEvent() const { return static_cast<int>(events_.size()) - 1; }
    // Gives an earlier call its full name: its raw site followed by the suffix.
    void Relabel(int event, const std::wstring& suffix);

    // Counts of what the proxies saw succeed in this run, by name.
    void Tally(const std::wstring& name) { ++tallies_[name]; }
    const std::map<std::wstring, int>& Tallies() const { return tallies_; }

    // What a proxy saw the library do that no failure may lead to, in this run.
    void Flag(const std::wstring& violation) { violations_.push_back(violation); }
    const std::vector<std::wstring>& Violations() const { return violations_; }

    static std::wstring SiteKey(const std::wstring& phase, const std::wstring& call);
    static std::wstring InjectedDescription(const std::wstring& call);

private:
    std::wstring phase_;
    std::wstring armedSite_;
    int armedOccurrence_ = 0;
    bool fired_ = false;
    bool leavesErrorInfo_ = true;
    std::map<std::wstring, int> counts_;
    std::vector<FaultEvent> events_;
    std::vector<std::wstring> violations_;
    std::map<std::wstring, int> tallies_;
};

// Leaves error information on the thread as a component reports a failure.
void SetThreadErrorInfo(const std::wstring& source, const std::wstring& description);
