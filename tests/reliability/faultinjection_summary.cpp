// The figures of the fault injection suite, printed once every test has run; with
// QRC_FAULT_TABLE set, the table of every site and its documented outcome too.
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include "faultinjection_runner.h"

namespace {

std::string Narrow(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

class FaultInjectionSummary : public testing::Environment {
public:
    void TearDown() override {
        const faultinjection::Figures& figures = faultinjection::SuiteFigures();
        if (figures.scenarios == 0) return;
        if (std::getenv("QRC_FAULT_TABLE"))
            for (const std::wstring& line : figures.table) std::printf("[ fault    ] %s\n", Narrow(line).c_str());
        std::printf("[ fault    ] %d scenarios, %zu call sites (%zu distinct calls) failed in %d runs\n",
                    figures.scenarios, figures.sites.size(), figures.calls.size(), figures.runs);
    }
};

testing::Environment* const summary = testing::AddGlobalTestEnvironment(new FaultInjectionSummary);

} // namespace
