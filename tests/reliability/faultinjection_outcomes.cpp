// Whether a failed run shows what the documentation says of its site: the comparisons
// with the run without failures, and the outcome descriptions.
#include "faultinjection_runner.h"
#include "faultinjection_text.h"

namespace faultinjection {
namespace {

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

} // namespace

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

} // namespace faultinjection
