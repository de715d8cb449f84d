#pragma once
// Runs a scenario over the fault-injecting partners once without failures, then once for
// each chosen occurrence of each call site it reached, failing that one call, and checks
// what the host saw against the outcome documented for the site.
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
    ThreadError error;       // taken when the step failed
    bool failedHere = false; // the injected failure happened during this step
};

struct Observed {
    std::vector<StepResult> steps;
    std::vector<std::wstring> boxes;  // texts of the message boxes shown, in order
    bool boxLeftUnanswered = false;
    std::vector<FaultEvent> events;
    bool fired = false;
    std::vector<std::wstring> violations;  // flagged by the proxies
    std::map<std::wstring, int> tallies;

    const StepResult* Find(const std::wstring& step) const;
};

// Handed to a scenario run: it names phases and reports each step's result.
class Observer {
public:
    explicit Observer(Observed& observed) : observed_(observed) {}
    // The phase of the calls that follow (sites are named "<phase> | <call>").
    void Phase(const std::wstring& phase) { FaultPlan::Get().SetPhase(phase); }
    // A step ended with this result; its error information is taken from the thread.
    void Step(const std::wstring& step, HRESULT hr);
    void Boxes(const std::vector<std::wstring>& texts, bool unanswered);

private:
    Observed& observed_;
    bool firedBefore_ = false;
};

// What the documentation says a failure of a site leads to.
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
    bool carriesInjected = false;   // Fails: the document carries the component's description
    bool passedThrough = false;     // Fails: the component's own error information, unchanged
    int lostWrites = -1;            // Same: exactly this many spreadsheet writes fewer (-1: not counted)
    std::wstring keepsGoing;        // Same: a raw site called as often as without the failure

    std::wstring Describe() const;
};

Expectation Same();
// Nothing seen, and the report writes one value fewer: the failed write alone.
Expectation SameLosingOneWrite();
// Nothing seen, and the calls of `rawSite` all still made: the failure stopped nothing.
Expectation SameGoingOn(std::wstring rawSite);
Expectation Fails(HRESULT hr, std::vector<std::wstring> texts = {}, bool carriesInjected = false);
// The injected HRESULT with the error information the component left, as it left it.
Expectation PassedThrough();
Expectation Message(std::wstring text);
Expectation SameOrFails(std::vector<std::wstring> texts = {});

// A site pattern ('*' matches any text) and its documented outcome; first match wins.
struct Rule {
    std::wstring pattern;
    Expectation expect;
};

bool WildcardMatch(const std::wstring& pattern, const std::wstring& text);
const Rule* FindRule(const std::vector<Rule>& rules, const std::wstring& site);

struct Scenario {
    std::wstring name;
    // One pass: builds everything it needs over the partners, releases it all again.
    std::function<void(Observer&)> run;
    // The phases whose sites this scenario fails.
    std::vector<std::wstring> phases;
    const std::vector<Rule>* rules = nullptr;
    // Texts found in the boxes the scenario shows by itself (the Action's count, a question).
    std::vector<std::wstring> ownBoxes;
    // Of those, the ones every run shows whose failure leaves the host's step as it was
    // (the Action's count when a task of it always fails).
    std::vector<std::wstring> alwaysShown;
    // Steps that come after every phase and must end as without the failure in every run:
    // the object works again once the failing component does.
    std::vector<std::wstring> recoverySteps;
    // The failing components leave no error information: a document that would carry
    // theirs then names the failure's code instead.
    bool withoutErrorInfo = false;
    // The source every failure document of a step must name, for the steps listed.
    std::map<std::wstring, std::wstring> documentSources;
};

// The step during which the injected failure happened; null when none did.
const StepResult* FailedStep(const Observed& observed);
// Empty when the scenario shows no message box but its own ones (and `allowed`), else which.
std::wstring UnexpectedBox(const Scenario& scenario, const Observed& run, const std::wstring& allowed);
// Empty when a run failing `call` shows the expected outcome, compared with the run
// without failures; otherwise what differs.
std::wstring Mismatch(const Scenario& scenario, const Expectation& e, const Observed& dry, const Observed& run,
                      const std::wstring& call);

// Every run of the program's scenarios adds to these.
struct Figures {
    int scenarios = 0;
    int runs = 0;
    std::set<std::wstring> sites;     // "<phase> | <call>"
    std::set<std::wstring> calls;     // "<call>", whatever the phase
    std::vector<std::wstring> table;  // "<scenario>: <site> -> <documented outcome> (...)"
    std::set<const Rule*> rulesUsed;

    void Add(const std::wstring& scenario, const std::wstring& site, const std::wstring& outcome);
};
Figures& SuiteFigures();

// The dry run, then one run for each call of each site reached in the scenario's phases,
// failing that call, with gtest expectations for every check.
void RunScenario(const Scenario& scenario);

} // namespace faultinjection
