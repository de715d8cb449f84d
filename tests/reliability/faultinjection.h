#pragma once
// Runs a scenario once without failures, then failing in turn each chosen call it reached,
// and checks what the host saw against the outcome documented (faultinjection_rules.cpp).
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>
#include "support/errorinfo_helpers.h"
#include "support/fault_plan.h"

namespace faultinjection {

// What a host saw of one step of a scenario (a method it called).
struct StepResult {
    std::wstring step;
    HRESULT hr = S_OK;
    ThreadError error;        // taken when the step failed
    bool failedHere = false;  // the injected failure happened during this step
};

struct Observed {
    std::vector<StepResult> steps;
    std::vector<std::wstring> boxes;  // texts of the message boxes shown, in order
    bool boxLeftUnanswered = false;
    FaultPlan plan;  // the calls, violations and tallies of the run

    const StepResult* Find(const std::wstring& step) const {
        for (const StepResult& s : steps)
            if (s.step == step) return &s;
        return nullptr;
    }
};

// Handed to a scenario run: it names phases (sites are "<phase> | <call>") and reports
// each step's result, whose error information it takes from the thread, and the boxes.
struct Observer {
    void Phase(const std::wstring& phase) { FaultPlan::Get().SetPhase(phase); }
    void Step(const std::wstring& step, HRESULT hr);

    Observed& observed;
    bool firedBefore = false;
};

// What a failure of a site leads to.
struct Expectation {
    enum class Kind {
        Same,         // nothing the host sees: the step's result is the one of a run without failures
        Fails,        // the step fails with the HRESULT and a QRError document holding the texts
        Message,      // a message box with the text; the step's result is unchanged
        SameOrFails,  // not examined by the library, so whatever the component does next decides
    };
    Kind kind = Kind::Same;
    HRESULT hr = kInjectedFailure;  // Fails: S_OK stands for any failure
    std::vector<std::wstring> texts;
    bool carriesInjected = false;  // Fails: the document carries the component's description
    bool passedThrough = false;    // Fails: the component's own error information, unchanged
    int lostWrites = -1;           // Same: exactly this many spreadsheet writes fewer (-1: not counted)
    std::wstring keepsGoing;       // Same: a raw site called as often as without the failure
};

using Kind = Expectation::Kind;
inline Expectation Same() { return {}; }
// Nothing seen, and the report writes one value fewer: the failed write alone.
inline Expectation SameLosingOneWrite() { return {Kind::Same, kInjectedFailure, {}, false, false, 1}; }
// Nothing seen, and the calls of `rawSite` all still made: the failure stopped nothing.
inline Expectation SameGoingOn(std::wstring rawSite) {
    return {Kind::Same, kInjectedFailure, {}, false, false, -1, std::move(rawSite)};
}
inline Expectation Fails(HRESULT hr, std::vector<std::wstring> texts = {}, bool carriesInjected = false) {
    return {Kind::Fails, hr, std::move(texts), carriesInjected};
}
// The injected HRESULT with the error information the component left, as it left it.
inline Expectation PassedThrough() { return {Kind::Fails, kInjectedFailure, {}, false, true}; }
inline Expectation Message(std::wstring text) { return {Kind::Message, kInjectedFailure, {std::move(text)}}; }
inline Expectation SameOrFails(std::vector<std::wstring> texts = {}) {
    return {Kind::SameOrFails, kInjectedFailure, std::move(texts)};
}

// A site pattern ('*' matches any text) and its outcome; first match wins.
struct Rule {
    std::wstring pattern;
    Expectation expect;
};

// The To Do list shown by QRCTaskList (the steps "Initialize", "Show" and "Show again"),
// and the client services object's methods (each its own step).
const std::vector<Rule>& ToDoListRules();
const std::vector<Rule>& ClientServicesRules();

struct Scenario {
    std::wstring name;
    // One pass: builds everything it needs over the partners, releases it all again.
    std::function<void(Observer&)> run;
    std::vector<std::wstring> phases;  // whose sites this scenario fails
    const std::vector<Rule>* rules = nullptr;
    // Texts of the boxes every run shows by itself (the Action's count, a question).
    std::vector<std::wstring> ownBoxes;
};

// What the scenarios of this run reached, for the coverage test.
struct Figures {
    std::set<std::wstring> sites;  // "<phase> | <call>"
    std::set<const Rule*> rulesUsed;
};
inline Figures& SuiteFigures() {
    static Figures figures;
    return figures;
}

// The dry run, then runs failing the first, second and last call of each site reached in
// the scenario's phases, with gtest expectations for every check.
void RunScenario(const Scenario& scenario);

} // namespace faultinjection
