#include "faultinjection_runner.h"

#include <gtest/gtest.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include "faultinjection_text.h"
#include "support/fault_proxies.h"
#include "winkit/com_module.h"
#include "winkit/module_lock.h"

namespace faultinjection {
namespace {

// The partner components keep a settings store of their own in the registry.
void ForgetStoredSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\QRSim\\ClientTools"); }

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
    ForgetStoredSettings();
    ClearThreadError();
    Observed observed;
    Observer observer(observed);
    auto started = std::chrono::steady_clock::now();
    scenario.run(observer);
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    observed.events = plan.Events();
    observed.fired = plan.Fired();
    observed.violations = plan.Violations();
    observed.tallies = plan.Tallies();
    if (std::getenv("QRC_FAULT_TRACE")) {
        std::printf("[ trace    ] run%s%s #%d: %zu calls, %.0f ms\n", armed ? " failing " : "",
                    armed ? Narrow(armed->rawSite).c_str() : "", armed ? armed->occurrence : 0, observed.events.size(), ms);
        for (const FaultEvent& e : observed.events) std::printf("    %s #%d\n", Narrow(e.site).c_str(), e.occurrence);
    }
    plan.Start();
    ClearThreadError();
    CheckReleased(observed);
    return observed;
}

// What a host saw of a failed run, briefly: the step that failed, its result, the boxes.
std::wstring Seen(const Observed& run) {
    const StepResult* step = FailedStep(run);
    std::wstring text = step ? step->step + L" " + Hex(step->hr) : L"no step";
    if (!run.boxes.empty()) text += L" with " + std::to_wstring(run.boxes.size()) + L" box(es)";
    return text;
}

bool InPhases(const Scenario& scenario, const std::wstring& site) {
    for (const std::wstring& phase : scenario.phases)
        if (site.rfind(phase + L" | ", 0) == 0) return true;
    return false;
}

} // namespace

const StepResult* Observed::Find(const std::wstring& step) const {
    for (const StepResult& s : steps)
        if (s.step == step) return &s;
    return nullptr;
}

void Observer::Step(const std::wstring& step, HRESULT hr) {
    StepResult result;
    result.step = step;
    result.hr = hr;
    result.error = TakeThreadError();
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

void Figures::Add(const std::wstring& scenario, const std::wstring& site, const std::wstring& outcome) {
    sites.insert(site);
    calls.insert(CallOf(site));
    table.push_back(scenario + L": " + site + L" -> " + outcome);
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
    ++figures.scenarios;
    int runs = 0;
    for (const std::wstring& site : order) {
        const Rule* rule = FindRule(*scenario.rules, site);
        if (!rule) {
            ADD_FAILURE() << "no documented outcome for " << Narrow(site);
            continue;
        }
        figures.rulesUsed.insert(rule);
        std::set<std::wstring> seen;
        // Every call of the site fails in turn (a run takes tens of milliseconds).
        const std::vector<const FaultEvent*>& chosen = occurrences[site];
        for (const FaultEvent* event : chosen) {
            SCOPED_TRACE(Narrow(site + L", occurrence " + std::to_wstring(event->occurrence) + L" of " +
                                event->rawSite + L"; documented: " + rule->expect.Describe()));
            Observed run = RunOnce(scenario, event);
            ++runs;
            if (!run.fired) {
                ADD_FAILURE() << "the run did not reach the call again";
                continue;
            }
            EXPECT_EQ("", Narrow(Mismatch(scenario, rule->expect, dry, run, CallOf(event->rawSite))));
            seen.insert(Seen(run));
        }
        std::wstring outcomes;
        for (const std::wstring& outcome : seen) outcomes += (outcomes.empty() ? L"" : L"; ") + outcome;
        figures.Add(scenario.name, site,
                    rule->expect.Describe() + L" (" + std::to_wstring(chosen.size()) + L" calls failed; seen: " + outcomes + L")");
    }
    figures.runs += runs + 1;
    auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("[ fault    ] %s: %zu call sites, %d runs, %.1f s\n", Narrow(scenario.name).c_str(), order.size(), runs + 1,
                seconds);
}

} // namespace faultinjection
