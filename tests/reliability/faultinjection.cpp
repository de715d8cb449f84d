#include "faultinjection.h"

#include <gtest/gtest.h>
#include <chrono>
#include <cstdio>
#include "reliability_text.h"
#include "support/fault_proxies.h"
#include "winkit/com_module.h"
#include "winkit/module_lock.h"

namespace faultinjection {
namespace {

// The call of a site "<phase> | <call>", without its phase.
std::wstring CallOf(const std::wstring& site) {
    size_t bar = site.find(L" | ");
    return bar == std::wstring::npos ? site : site.substr(bar + 3);
}

// What must hold after every run, failed or not: everything let go, nothing left open.
void CheckReleased(const Observed& observed) {
    for (const std::wstring& violation : observed.violations) ADD_FAILURE() << Narrow(violation);
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
    if (scenario.withoutErrorInfo) plan.SetErrorInfoLeft(ErrorInfoLeft::Cleared);
    if (armed) plan.Arm(armed->rawSite, armed->occurrence);
    // The partner components keep a settings store of their own in the registry.
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\QRSim\\ClientTools");
    ClearThreadError();
    Observed observed;
    Observer observer(observed);
    scenario.run(observer);
    observed.events = plan.Events();
    observed.fired = plan.Fired();
    observed.violations = plan.Violations();
    observed.tallies = plan.Tallies();
    plan.Start();
    ClearThreadError();
    CheckReleased(observed);
    return observed;
}

bool InPhases(const Scenario& scenario, const std::wstring& site) {
    for (const std::wstring& phase : scenario.phases)
        if (site.rfind(phase + L" | ", 0) == 0) return true;
    return false;
}

const StepResult* FailedStep(const Observed& observed) {
    for (const StepResult& step : observed.steps)
        if (step.failedHere) return &step;
    return nullptr;
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
        return step.step + L" returned " + Hex(step.hr) + L" instead of " + Hex(expected) + L": " + step.error.description;
    for (const std::wstring& text : scenario.alwaysShown)
        if (!Shown(run, text)) return L"no message box saying \"" + text + L"\"";
    return {};
}

std::wstring FailsMismatch(const Scenario& scenario, const Expectation& e, const StepResult& step, const std::wstring& call) {
    if (!FAILED(step.hr)) return step.step + L" succeeded (" + Hex(step.hr) + L")";
    if (e.hr != S_OK && step.hr != e.hr) return step.step + L" returned " + Hex(step.hr) + L" instead of " + Hex(e.hr);
    if (e.passedThrough && scenario.withoutErrorInfo)
        return step.error.present ? L"error information appeared from nowhere: " + step.error.description : L"";
    if (!step.error.present) return step.step + L" left no error information";
    const std::wstring& text = step.error.description;
    if (e.passedThrough) {
        if (text == FaultPlan::InjectedDescription(call) && step.error.source == call) return {};
        return L"the component's error information was changed: \"" + step.error.source + L"\", \"" + text + L"\"";
    }
    if (text.rfind(L"<QRError", 0) != 0) return L"the description is no QRError document: " + text;
    auto source = scenario.documentSources.find(step.step);
    if (source != scenario.documentSources.end() && step.error.source != source->second)
        return L"the document's source is \"" + step.error.source + L"\"";
    for (const std::wstring& wanted : e.texts)
        if (!Contains(text, wanted)) return L"the document lacks \"" + wanted + L"\": " + text;
    if (e.carriesInjected && !scenario.withoutErrorInfo && !Contains(text, FaultPlan::InjectedDescription(call)))
        return L"the component's error information is lost: " + text;
    if (e.carriesInjected && scenario.withoutErrorInfo && !Contains(text, L"8004FA01") && !Contains(text, L"8004fa01"))
        return L"the document names neither the component's error nor the code: " + text;
    return {};
}

int Tally(const Observed& observed, const wchar_t* name) {
    auto found = observed.tallies.find(name);
    return found == observed.tallies.end() ? 0 : found->second;
}

int Calls(const Observed& observed, const std::wstring& rawSite) {
    int calls = 0;
    for (const FaultEvent& event : observed.events) calls += event.rawSite == rawSite;
    return calls;
}

// Empty when the run shows the documented outcome, otherwise what differs.
std::wstring Mismatch(const Scenario& scenario, const Expectation& e, const Observed& dry, const Observed& run,
                      const std::wstring& call) {
    const StepResult* step = FailedStep(run);
    if (!step) return L"the failure happened outside every step";
    const StepResult* before = dry.Find(step->step);
    for (const std::wstring& name : scenario.recoverySteps) {
        const StepResult* again = run.Find(name);
        const StepResult* expected = dry.Find(name);
        if (!again || !expected || again->hr != expected->hr)
            return name + L" did not recover: " + (again ? Hex(again->hr) + L" " + again->error.description : L"not run");
    }
    std::wstring why;
    switch (e.kind) {
    case Expectation::Kind::Same: {
        why = SameMismatch(scenario, run, *step, before);
        int lost = Tally(dry, kSpreadsheetWrites) - Tally(run, kSpreadsheetWrites);
        if (why.empty() && e.lostWrites >= 0 && lost != e.lostWrites)
            why = std::to_wstring(lost) + L" values were not written instead of " + std::to_wstring(e.lostWrites);
        if (why.empty() && !e.keepsGoing.empty() && Calls(dry, e.keepsGoing) != Calls(run, e.keepsGoing))
            why = e.keepsGoing + L" was called " + std::to_wstring(Calls(run, e.keepsGoing)) + L" times instead of " +
                  std::to_wstring(Calls(dry, e.keepsGoing));
        return why.empty() ? UnexpectedBox(scenario, run, {}) : why;
    }
    case Expectation::Kind::Fails:
        why = FailsMismatch(scenario, e, *step, call);
        return why.empty() ? UnexpectedBox(scenario, run, {}) : why;
    case Expectation::Kind::Message:
        why = SameMismatch(scenario, run, *step, before);
        if (why.empty() && !Shown(run, e.texts.at(0))) why = L"no message box saying \"" + e.texts.at(0) + L"\"";
        return why.empty() ? UnexpectedBox(scenario, run, e.texts.at(0)) : why;
    case Expectation::Kind::SameOrFails: {
        std::wstring same = Mismatch(scenario, Same(), dry, run, call);
        if (same.empty()) return same;
        std::wstring fails = Mismatch(scenario, Fails(S_OK, e.texts), dry, run, call);
        return fails.empty() ? fails : same + L"; nor: " + fails;
    }
    }
    return L"unknown expectation";
}

bool WildcardMatch(const std::wstring& pattern, const std::wstring& text) {
    size_t p = 0, t = 0, star = std::wstring::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            star = p++;
            resume = t;
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++p;
            ++t;
        } else if (star != std::wstring::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') ++p;
    return p == pattern.size();
}

const Rule* FindRule(const std::vector<Rule>& rules, const std::wstring& site) {
    for (const Rule& rule : rules)
        if (WildcardMatch(rule.pattern, site)) return &rule;
    return nullptr;
}

// A site called many times fails at its first, second and last call: later calls in the
// middle take the same path, and every run costs a dialog's opening.
std::vector<const FaultEvent*> Chosen(const std::vector<const FaultEvent*>& calls) {
    if (calls.size() <= 3) return calls;
    return {calls[0], calls[1], calls.back()};
}

} // namespace

const StepResult* Observed::Find(const std::wstring& step) const {
    for (const StepResult& s : steps)
        if (s.step == step) return &s;
    return nullptr;
}

void Observer::Step(const std::wstring& step, HRESULT hr) {
    StepResult result{step, hr, TakeThreadError()};
    if (!FAILED(hr)) result.error = ThreadError();
    bool fired = FaultPlan::Get().Fired();
    result.failedHere = fired && !firedBefore_;
    firedBefore_ = fired;
    observed_.steps.push_back(std::move(result));
}

void Observer::Boxes(const std::vector<std::wstring>& texts, bool unanswered) {
    observed_.boxes.insert(observed_.boxes.end(), texts.begin(), texts.end());
    observed_.boxLeftUnanswered |= unanswered;
}

Figures& SuiteFigures() {
    static Figures figures;
    return figures;
}

void RunScenario(const Scenario& scenario) {
    auto started = std::chrono::steady_clock::now();
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

    // Each site with its occurrences, in the order first reached.
    std::vector<std::wstring> order;
    std::map<std::wstring, std::vector<const FaultEvent*>> occurrences;
    for (const FaultEvent& event : dry.events) {
        if (!InPhases(scenario, event.site)) continue;
        auto& list = occurrences[event.site];
        if (list.empty()) order.push_back(event.site);
        list.push_back(&event);
    }
    EXPECT_FALSE(order.empty()) << "the scenario reached no call site in its phases";

    Figures& figures = SuiteFigures();
    figures.scenarios.insert(scenario.name);
    int runs = 1;
    for (const std::wstring& site : order) {
        const Rule* rule = FindRule(*scenario.rules, site);
        if (!rule) {
            ADD_FAILURE() << "no documented outcome for " << Narrow(site);
            continue;
        }
        figures.rulesUsed.insert(rule);
        figures.sites.insert(site);
        // Without error information only a failure the host is told of can differ.
        bool told = rule->expect.kind == Expectation::Kind::Fails || rule->expect.kind == Expectation::Kind::SameOrFails;
        if (scenario.withoutErrorInfo && !told) continue;
        for (const FaultEvent* event : Chosen(occurrences[site])) {
            SCOPED_TRACE(Narrow(site + L", occurrence " + std::to_wstring(event->occurrence) + L" of " +
                                event->rawSite + L"; documented: " + rule->pattern));
            Observed run = RunOnce(scenario, event);
            ++runs;
            if (!run.fired) {
                ADD_FAILURE() << "the run did not reach the call again";
                continue;
            }
            EXPECT_EQ("", Narrow(Mismatch(scenario, rule->expect, dry, run, CallOf(event->rawSite))));
        }
    }
    auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("[ fault    ] %s: %zu call sites, %d runs, %.1f s\n", Narrow(scenario.name).c_str(), order.size(), runs,
                seconds);
}

} // namespace faultinjection
