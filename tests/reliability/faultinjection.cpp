#include "faultinjection.h"

#include <gtest/gtest.h>
#include "reliability_text.h"
#include "support/fault_proxies.h"
#include "winkit/com_module.h"
#include "winkit/module_lock.h"

namespace faultinjection {
namespace {

// What must hold after every run, failed or not: everything let go, nothing left open.
void CheckReleased(const Observed& observed) {
    for (const std::wstring& violation : observed.plan.Violations()) ADD_FAILURE() << Narrow(violation);
    EXPECT_FALSE(observed.boxLeftUnanswered) << "a message box had to be ended by the answerer's watchdog";
    EXPECT_EQ(0, winkit::ModuleLock::Count()) << "objects of the library are still alive";
    EXPECT_EQ(S_OK, winkit::ComModule::Get().CanUnloadNow());
    EXPECT_EQ(0, fault::LiveProxies()) << "the library still holds outside objects";
    if (HMODULE registered = GetModuleHandleW(L"QRCIGEFrameworkSvcs.dll")) {
        using CanUnload = HRESULT(STDAPICALLTYPE*)();
        auto canUnload = reinterpret_cast<CanUnload>(reinterpret_cast<void*>(GetProcAddress(registered, "DllCanUnloadNow")));
        ASSERT_NE(nullptr, canUnload);
        EXPECT_EQ(S_OK, canUnload()) << "the registered library is still in use";
    }
}

Observed RunOnce(const Scenario& scenario, const FaultEvent* armed) {
    FaultPlan& plan = FaultPlan::Get();
    plan.Start();
    if (armed) plan.Arm(armed->rawSite, armed->occurrence);
    // The partner components keep a settings store of their own in the registry.
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\QRSim\\ClientTools");
    ClearThreadError();
    Observed observed;
    Observer observer{observed};
    scenario.run(observer);
    observed.plan = plan;
    plan.Start();
    ClearThreadError();
    CheckReleased(observed);
    return observed;
}

bool Shown(const Observed& run, const std::wstring& text) {
    for (const std::wstring& box : run.boxes)
        if (Contains(box, text)) return true;
    return false;
}

// Boxes the scenario does not show by itself must be the documented one, if any.
std::wstring UnexpectedBox(const Scenario& scenario, const Observed& run, const std::wstring& allowed) {
    for (const std::wstring& box : run.boxes) {
        bool known = !allowed.empty() && Contains(box, allowed);
        for (const std::wstring& own : scenario.ownBoxes) known |= Contains(box, own);
        if (!known) return L"an undocumented message box: \"" + box + L"\"";
    }
    return {};
}

std::wstring SameMismatch(const Scenario& scenario, const Observed& run, const StepResult& step, const StepResult* before) {
    HRESULT expected = before ? before->hr : S_OK;
    if (step.hr != expected)
        return step.step + L" returned " + HResultHex(step.hr) + L" instead of " + HResultHex(expected) + L": " + step.error.description;
    for (const std::wstring& text : scenario.ownBoxes)
        if (!Shown(run, text)) return L"no message box saying \"" + text + L"\"";
    return {};
}

std::wstring FailsMismatch(const Expectation& e, const StepResult& step, const std::wstring& call) {
    if (!FAILED(step.hr)) return step.step + L" succeeded (" + HResultHex(step.hr) + L")";
    if (e.hr != S_OK && step.hr != e.hr) return step.step + L" returned " + HResultHex(step.hr) + L" instead of " + HResultHex(e.hr);
    if (!step.error.present) return step.step + L" left no error information";
    const std::wstring& text = step.error.description;
    if (e.passedThrough) {
        if (text == FaultPlan::InjectedDescription(call) && step.error.source == call) return {};
        return L"the component's error information was changed: \"" + step.error.source + L"\", \"" + text + L"\"";
    }
    if (text.rfind(L"<QRError", 0) != 0) return L"the description is no QRError document: " + text;
    for (const std::wstring& wanted : e.texts)
        if (!Contains(text, wanted)) return L"the document lacks \"" + wanted + L"\": " + text;
    if (e.carriesInjected && !Contains(text, FaultPlan::InjectedDescription(call)))
        return L"the component's error information is lost: " + text;
    return {};
}

int Calls(const Observed& observed, const std::wstring& rawSite) {
    int calls = 0;
    for (const FaultEvent& event : observed.plan.Events()) calls += event.rawSite == rawSite;
    return calls;
}

// Empty when the run shows the documented outcome, otherwise what differs.
std::wstring Mismatch(const Scenario& scenario, const Expectation& e, const Observed& dry, const Observed& run,
                      const std::wstring& call) {
    const StepResult* step = nullptr;
    for (const StepResult& s : run.steps)
        if (!step && s.failedHere) step = &s;
    if (!step) return L"the failure happened outside every step";
    // The list shows again once the failing component works again.
    if (const StepResult* expected = dry.Find(L"Show again")) {
        const StepResult* again = run.Find(L"Show again");
        if (!again) return L"Show again was not run";
        if (again->hr != expected->hr)
            return L"Show again did not recover: " + HResultHex(again->hr) + L" " + again->error.description;
    }
    if (e.kind == Kind::SameOrFails) {
        std::wstring same = Mismatch(scenario, Same(), dry, run, call);
        std::wstring fails = same.empty() ? same : Mismatch(scenario, Fails(S_OK, e.texts), dry, run, call);
        return fails.empty() ? fails : same + L"; nor: " + fails;
    }
    std::wstring why = e.kind == Kind::Fails ? FailsMismatch(e, *step, call)
                                             : SameMismatch(scenario, run, *step, dry.Find(step->step));
    std::wstring box = e.kind == Kind::Message ? e.texts.at(0) : L"";
    int lost = dry.plan.Writes() - run.plan.Writes();
    if (why.empty() && !box.empty() && !Shown(run, box)) why = L"no message box saying \"" + box + L"\"";
    if (why.empty() && e.lostWrites >= 0 && lost != e.lostWrites)
        why = std::to_wstring(lost) + L" values were not written instead of " + std::to_wstring(e.lostWrites);
    if (why.empty() && !e.keepsGoing.empty() && Calls(dry, e.keepsGoing) != Calls(run, e.keepsGoing))
        why = e.keepsGoing + L" was called " + std::to_wstring(Calls(run, e.keepsGoing)) + L" times instead of " +
              std::to_wstring(Calls(dry, e.keepsGoing));
    return why.empty() ? UnexpectedBox(scenario, run, box) : why;
}

// '*' matches any text; every other character stands for itself.
bool Matches(const wchar_t* pattern, const wchar_t* site) {
    if (*pattern == L'*') return Matches(pattern + 1, site) || (*site && Matches(pattern, site + 1));
    return *pattern == *site && (!*site || Matches(pattern + 1, site + 1));
}

const Rule* FindRule(const std::vector<Rule>& rules, const std::wstring& site) {
    for (const Rule& rule : rules)
        if (Matches(rule.pattern.c_str(), site.c_str())) return &rule;
    return nullptr;
}

} // namespace

void Observer::Step(const std::wstring& step, HRESULT hr) {
    StepResult result{step, hr, TakeThreadError()};
    if (!FAILED(hr)) result.error = ThreadError();
    bool fired = FaultPlan::Get().Fired();
    result.failedHere = fired && !firedBefore;
    firedBefore = fired;
    observed.steps.push_back(std::move(result));
}

void RunScenario(const Scenario& scenario) {
    SCOPED_TRACE(Narrow(scenario.name));
    Observed dry;
    {
        SCOPED_TRACE("the run without failures");
        dry = RunOnce(scenario, nullptr);
    }
    ASSERT_FALSE(dry.steps.empty());
    for (const StepResult& step : dry.steps)
        ASSERT_TRUE(SUCCEEDED(step.hr)) << Narrow(step.step) << " fails without any injected failure: "
                                        << Narrow(step.error.description);
    ASSERT_EQ("", Narrow(UnexpectedBox(scenario, dry, {})));

    // Each site of the scenario's phases with its occurrences, in the order first reached.
    std::vector<std::wstring> order;
    std::map<std::wstring, std::vector<const FaultEvent*>> occurrences;
    for (const FaultEvent& event : dry.plan.Events()) {
        bool inPhases = false;
        for (const std::wstring& phase : scenario.phases) inPhases |= event.site.rfind(phase + L" | ", 0) == 0;
        if (!inPhases) continue;
        auto& list = occurrences[event.site];
        if (list.empty()) order.push_back(event.site);
        list.push_back(&event);
    }
    EXPECT_FALSE(order.empty()) << "the scenario reached no call site in its phases";

    Figures& figures = SuiteFigures();
    for (const std::wstring& site : order) {
        const Rule* rule = FindRule(*scenario.rules, site);
        if (!rule) {
            ADD_FAILURE() << "no documented outcome for " << Narrow(site);
            continue;
        }
        figures.rulesUsed.insert(rule);
        figures.sites.insert(site);
        // A site called many times fails at its first, second and last call: the calls in
        // the middle take the same path, and every run costs a dialog's opening.
        std::vector<const FaultEvent*> chosen = occurrences[site];
        if (chosen.size() > 3) chosen = {chosen[0], chosen[1], chosen.back()};
        for (const FaultEvent* event : chosen) {
            SCOPED_TRACE(Narrow(site + L", occurrence " + std::to_wstring(event->occurrence) + L" of " +
                                event->rawSite + L"; documented: " + rule->pattern));
            Observed run = RunOnce(scenario, event);
            if (!run.plan.Fired()) {
                ADD_FAILURE() << "the run did not reach the call again";
                continue;
            }
            std::wstring call = event->rawSite.substr(event->rawSite.find(L" | ") + 3);
            EXPECT_EQ("", Narrow(Mismatch(scenario, rule->expect, dry, run, call)));
        }
    }
}

} // namespace faultinjection
