#include "faultinjection_runner.h"

#include <gtest/gtest.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include "support/fault_proxies.h"
#include "winkit/com_module.h"
#include "winkit/module_lock.h"

namespace faultinjection {
namespace {

std::string Narrow(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring Hex(HRESULT hr) {
    wchar_t text[16];
    swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

bool Contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

bool ContainsNoCase(std::wstring text, std::wstring part) {
    CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    CharUpperBuffW(part.data(), static_cast<DWORD>(part.size()));
    return Contains(text, part);
}

// The call of a site, without its phase.
std::wstring CallOf(const std::wstring& site) {
    size_t bar = site.find(L" | ");
    return bar == std::wstring::npos ? site : site.substr(bar + 3);
}

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
    plan.SetLeavesErrorInfo(!scenario.withoutErrorInfo);
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
    plan.SetLeavesErrorInfo(true);
    ClearThreadError();
    CheckReleased(observed);
    return observed;
}

const StepResult* FailedStep(const Observed& observed) {
    for (const StepResult& step : observed.steps)
        if (step.failedHere) return &step;
    return nullptr;
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
    for (const std::wstring& text : scenario.alwaysShown) {
        bool shown = false;
        for (const std::wstring& box : run.boxes) shown |= Contains(box, text);
        if (!shown) return L"no message box saying \"" + text + L"\"";
    }
    return {};
}

std::wstring FailsMismatch(const Scenario& scenario, const Expectation& e, const StepResult& step, const std::wstring& call) {
    if (!FAILED(step.hr)) return step.step + L" succeeded (" + Hex(step.hr) + L")";
    if (e.hr != S_OK && step.hr != e.hr) return step.step + L" returned " + Hex(step.hr) + L" instead of " + Hex(e.hr);
    if (e.passedThrough && scenario.withoutErrorInfo) {
        if (!step.error.present) return {};
        return L"error information appeared from nowhere: " + step.error.description;
    }
    if (!step.error.present) return step.step + L" left no error information";
    if (e.passedThrough) {
        if (step.error.description == FaultPlan::InjectedDescription(call) && step.error.source == call) return {};
        return L"the component's error information was changed: \"" + step.error.source + L"\", \"" +
               step.error.description + L"\"";
    }
    if (step.error.description.rfind(L"<QRError", 0) != 0) return L"the description is no QRError document: " + step.error.description;
    auto source = scenario.documentSources.find(step.step);
    if (source != scenario.documentSources.end() && step.error.source != source->second)
        return L"the document's source is \"" + step.error.source + L"\"";
    for (const std::wstring& text : e.texts)
        if (!Contains(step.error.description, text)) return L"the document lacks \"" + text + L"\": " + step.error.description;
    if (e.carriesInjected && !scenario.withoutErrorInfo &&
        !Contains(step.error.description, FaultPlan::InjectedDescription(call)))
        return L"the component's error information is lost: " + step.error.description;
    if (e.carriesInjected && scenario.withoutErrorInfo && !ContainsNoCase(step.error.description, L"8004FA01"))
        return L"the document names neither the component's error nor the code: " + step.error.description;
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

std::wstring LostWritesMismatch(int expected, const Observed& dry, const Observed& run) {
    int lost = Tally(dry, kSpreadsheetWrites) - Tally(run, kSpreadsheetWrites);
    if (lost == expected) return {};
    return std::to_wstring(lost) + L" values were not written instead of " + std::to_wstring(expected);
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
    switch (e.kind) {
    case Expectation::Kind::Same: {
        std::wstring why = SameMismatch(scenario, run, *step, before);
        if (why.empty() && e.lostWrites >= 0) why = LostWritesMismatch(e.lostWrites, dry, run);
        if (why.empty() && !e.keepsGoing.empty() && Calls(dry, e.keepsGoing) != Calls(run, e.keepsGoing))
            why = e.keepsGoing + L" was called " + std::to_wstring(Calls(run, e.keepsGoing)) + L" times instead of " +
                  std::to_wstring(Calls(dry, e.keepsGoing));
        return why.empty() ? UnexpectedBox(scenario, run, {}) : why;
    }
    case Expectation::Kind::Fails: {
        std::wstring why = FailsMismatch(scenario, e, *step, call);
        return why.empty() ? UnexpectedBox(scenario, run, {}) : why;
    }
    case Expectation::Kind::Message: {
        std::wstring why = SameMismatch(scenario, run, *step, before);
        if (!why.empty()) return why;
        bool shown = false;
        for (const std::wstring& box : run.boxes) shown |= Contains(box, e.texts.at(0));
        if (!shown) return L"no message box saying \"" + e.texts.at(0) + L"\"";
        return UnexpectedBox(scenario, run, e.texts.at(0));
    }
    case Expectation::Kind::SameOrFails: {
        std::wstring same = Mismatch(scenario, Same(), dry, run, call);
        if (same.empty()) return same;
        std::wstring fails = Mismatch(scenario, Fails(S_OK, e.texts), dry, run, call);
        return fails.empty() ? fails : same + L"; nor: " + fails;
    }
    }
    return L"unknown expectation";
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

std::wstring Expectation::Describe() const {
    std::wstring text;
    switch (kind) {
    case Kind::Same:
        if (lostWrites == 1) return L"nothing seen; only the failed value is not written";
        if (!keepsGoing.empty()) return L"nothing seen; every " + keepsGoing.substr(keepsGoing.find(L" | ") + 3) + L" still made";
        return L"nothing seen";
    case Kind::Fails: text = L"fails with " + (hr == S_OK ? std::wstring(L"its HRESULT") : Hex(hr)); break;
    case Kind::Message: return L"message \"" + texts.at(0) + L"\"";
    case Kind::SameOrFails: text = L"not examined (nothing seen, or fails as the component decides)"; break;
    }
    for (const std::wstring& t : texts) text += L", \"" + t + L"\"";
    if (carriesInjected) text += L", with the component's error information";
    if (passedThrough) text += L", the component's error information passed on unchanged";
    return text;
}

Expectation Same() { return {}; }

Expectation SameGoingOn(std::wstring rawSite) {
    Expectation e;
    e.keepsGoing = std::move(rawSite);
    return e;
}

Expectation SameLosingOneWrite() {
    Expectation e;
    e.lostWrites = 1;
    return e;
}

Expectation Fails(HRESULT hr, std::vector<std::wstring> texts, bool carriesInjected) {
    Expectation e;
    e.kind = Expectation::Kind::Fails;
    e.hr = hr;
    e.texts = std::move(texts);
    e.carriesInjected = carriesInjected;
    return e;
}

Expectation PassedThrough() {
    Expectation e = Fails(kInjectedFailure);
    e.passedThrough = true;
    return e;
}

Expectation Message(std::wstring text) {
    Expectation e;
    e.kind = Expectation::Kind::Message;
    e.texts = {std::move(text)};
    return e;
}

Expectation SameOrFails(std::vector<std::wstring> texts) {
    Expectation e;
    e.kind = Expectation::Kind::SameOrFails;
    e.texts = std::move(texts);
    return e;
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
