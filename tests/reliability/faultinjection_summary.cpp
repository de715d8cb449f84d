// The figures of the fault injection suite, printed once every test has run: call sites,
// runs, and the operations of the outside interfaces that no scenario saw the library
// call. With QRC_FAULT_TABLE set, the table of every site and its documented outcome too.
// After a full run (no test filter), a documented outcome that no site needed means a
// scenario no longer reaches what it was written for.
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include "faultinjection_expectations.h"
#include "faultinjection_runner.h"
#include "faultinjection_text.h"

namespace {

using faultinjection::Narrow;

// Every operation the proxies can fail, as sites name them (arguments aside).
const wchar_t* const kOperations[] = {
    L"IWorkspace::QueryInterface(IWorkspace)", L"IWorkspace::QueryInterface(IDispatch)", L"IWorkspace::GetUserName",
    L"IWorkspace::GetWorkspacePath", L"IWorkspace::GetWorkspaceName", L"IWorkspace::CreateServiceRequest",
    L"IServiceRequest::SetComponent", L"IServiceRequest::SetMethod", L"IServiceRequest::SetInput",
    L"IServiceRequest::GetOutput", L"IServiceRequest::SetFlags", L"IServiceRequest::Execute",
    L"IServiceRequest::BeginInput", L"IServiceRequest::BeginElement", L"IServiceRequest::AddField",
    L"IServiceRequest::EndElement", L"CoCreateInstance(QRClientTools.Globals)", L"IGlobals::GetSettingsRoot",
    L"IGlobals::GetToolsVersion", L"IGlobals::GetVersionSpecificIdentifier",
    L"CoCreateInstance(QRClientTools.SettingsNode)", L"ISettingsNode::GetValue", L"ISettingsNode::GetName",
    L"ISettingsNode::SetValue", L"ISettingsNode::OpenChild", L"ISettingsNode::DeleteChild",
    L"ISettingsNode::EndEntries", L"ISettingsNode::BeginEntries", L"CoCreateInstance(QREFOldAdapter380.ClientServices)",
    L"IQREFOldClientServices::UnInitialize", L"IQREFOldClientServices::SetRestore",
    L"IQREFOldClientServices::get_XMLFileName", L"IQREFOldClientServices::put_XMLFileName",
    L"IQREFOldClientServices::get_AdapterVersion", L"IQREFOldClientServices::SetProductName",
    L"IQREFOldClientServices::SetFrameworkData", L"IQREFOldClientServices::SetPlantData",
    L"IQREFOldClientServices::Initialize", L"IQREFOldClientServices::ConnectToEF", L"IQREFOldClientServices::Publish",
    L"IQREFOldClientServices::Retrieve", L"IQREFOldClientServices::FindDocsToPublish",
    L"IQREFOldClientServices::LaunchFrameworkBrowser", L"IQREFOldClientServices::Register",
    L"IQREFOldClientServices::GetProjectList", L"IQREFOldClientServices::PublishProjectAsBuilt",
    L"IQREFOldClientServices::SynchronizeClaims", L"IQREFOldClientServices::Revise",
    L"CoCreateInstance(QRCSelectKBDlg)", L"IRunnableObject::Run", L"QRCSelectKBDlg::QueryInterface(DQRCSelectKBDlg)",
    L"DQRCSelectKBDlg::Invoke(RunCommand)", L"CoCreateInstance(QRCIGEFClientServices)",
    L"CoCreateInstance(Excel.Application)",
};

bool Seen(const faultinjection::Figures& figures, const std::wstring& operation) {
    for (const std::wstring& call : figures.calls)
        if (call.rfind(operation, 0) == 0) return true;
    return false;
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
        std::string never;
        for (const wchar_t* operation : kOperations)
            if (!Seen(figures, operation)) never += (never.empty() ? "" : ", ") + Narrow(operation);
        std::printf("[ fault    ] operations the library was not seen to call: %s\n", never.empty() ? "none" : never.c_str());

        if (testing::GTEST_FLAG(filter) != "*") return;
        for (const auto* rules : {&faultinjection::ToDoListRules(), &faultinjection::ClientServicesRules()})
            for (const faultinjection::Rule& rule : *rules)
                if (!figures.rulesUsed.count(&rule))
                    ADD_FAILURE() << "no scenario reached a site of the documented outcome for " << Narrow(rule.pattern);
    }
};

testing::Environment* const summary = testing::AddGlobalTestEnvironment(new FaultInjectionSummary);

} // namespace
