// Fault injection through the client services object, called as a host calls it; then the
// coverage of every operation failed and every documented outcome met.
#include <gtest/gtest.h>
#include "clientservices.h"
#include "faultinjection.h"
#include "reliability_text.h"
#include "support/fault_partners.h"
#include "support/fault_proxies.h"
#include "support/sim_workspace.h"
#include "winkit/unique_bstr.h"
#include "winkit/unique_safearray.h"
#include "winkit/unique_variant.h"

using namespace faultinjection;
using winkit::UniqueBstr;

namespace {

// Two objects to claim as a host passes them: an array of VARIANTs holding numbers.
winkit::UniqueVariant TwoObjectIdentifiers() {
    winkit::UniqueVariant value;
    V_VT(value.get()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(value.get()) = SafeArrayCreateVector(VT_VARIANT, 0, 2);
    for (LONG i = 0; i < 2; ++i)
        SafeArrayPutElement(V_ARRAY(value.get()), &i, winkit::UniqueVariant::Long(1001 + 2 * i).get());
    return value;
}

// What a method is called with: the object, the workspace, a claims document, places
// for its out-parameters.
struct Call {
    IQRCIGEFClientServices* cs;
    IDispatch* ws;
    std::wstring claims;
    UniqueBstr a, b, c;
    VARIANT_BOOL flag = VARIANT_FALSE;
    winkit::UniqueSafeArray array;
};

// Every method, in the order a host may call them; each is a phase and a step.
const std::vector<std::pair<const wchar_t*, std::function<HRESULT(Call&)>>>& Methods() {
    static const std::vector<std::pair<const wchar_t*, std::function<HRESULT(Call&)>>> methods = {
        {L"Initialize", [](Call& c) { return c.cs->Initialize(c.ws); }},
        {L"GetEFData", [](Call& c) { return c.cs->GetEFData(c.a.put(), c.b.put(), c.c.put()); }},
        {L"SupportsFeature", [](Call& c) { return c.cs->SupportsFeature(UniqueBstr::Copy(L"Claims").get(), &c.flag); }},
        {L"XMLFileName", [](Call& c) {
             HRESULT hr = c.cs->put_XMLFileName(UniqueBstr::Copy(L"C:\\users\\Public\\claims.xml").get());
             return SUCCEEDED(hr) ? c.cs->get_XMLFileName(c.a.put()) : hr;
         }},
        {L"ClaimObject", [](Call& c) { return c.cs->ClaimObject(UniqueBstr::Copy(L"1001").get()); }},
        {L"ClaimStream", [](Call& c) { return c.cs->ClaimStream(c.ws, *TwoObjectIdentifiers().get()); }},
        {L"SynchronizeClaims", [](Call& c) {
             return c.cs->SynchronizeClaims(UniqueBstr::Copy(c.claims).get(), c.a.put());
         }},
        {L"ConnectToEF", [](Call& c) { return c.cs->ConnectToEF(); }},
        {L"Publish", [](Call& c) { return c.cs->Publish(UniqueBstr::Copy(L"1001").get()); }},
        {L"Retrieve", [](Call& c) { return c.cs->Retrieve(); }},
        {L"FindDocsToPublish", [](Call& c) { return c.cs->FindDocsToPublish(); }},
        {L"LaunchFrameworkBrowser", [](Call& c) { return c.cs->LaunchFrameworkBrowser(); }},
        {L"Register", [](Call& c) { return c.cs->Register(c.ws); }},
        {L"GetProjectList", [](Call& c) { return c.cs->GetProjectList(c.array.put()); }},
        {L"PublishProjectAsBuilt", [](Call& c) { return c.cs->PublishProjectAsBuilt(UniqueBstr::Copy(L"Unit 0101").get()); }},
        {L"Revise", [](Call& c) { return c.cs->Revise(UniqueBstr::Copy(L"1001").get()); }},
        {L"SetPlantData", [](Call& c) {
             return c.cs->SetPlantData(UniqueBstr::Copy(L"Northfield").get(), UniqueBstr::Copy(L"Area 01").get(),
                                       UniqueBstr::Copy(L"Unit 0101").get());
         }},
        {L"UnInitialize", [](Call& c) { return c.cs->UnInitialize(); }},
    };
    return methods;
}

void CallEveryMethod(Observer& observer) {
    SimWorkspace sim;
    ASSERT_TRUE(sim.ok()) << "QRSim.Workspace must be registered (register-components.sh)";
    auto workspace = winkit::ComPtr<IDispatch>::Attach(fault::WrapWorkspace(sim.Workspace(), sim.Dispatch()));
    winkit::ComPtr<IQRCIGEFClientServices> services;
    ASSERT_EQ(S_OK, CClientServices::Create(nullptr, IID_IQRCIGEFClientServices, services.put_void()));
    // A claims document as the framework makes it, asked for outside the proxies.
    Call call{services.get(), workspace.get(), sim.CallFramework(L"SynchronizeObjectClaim", L"1004")};
    for (const auto& [name, method] : Methods()) {
        observer.Phase(name);
        observer.Step(name, method(call));
    }
    observer.Phase(L"Release");
}

} // namespace

TEST(FaultInjectionClientServices, EveryMethodWithEveryOutsideCallFailingInTurn) {
    fault::FaultPartners partners;
    ASSERT_EQ(L"", partners.problem());
    Scenario scenario{L"Client services", CallEveryMethod, {}, &ClientServicesRules()};
    for (const auto& method : Methods()) scenario.phases.push_back(method.first);
    RunScenario(scenario);
}

namespace {

// Every operation of the outside interfaces the library calls, as sites name them
// (arguments aside); those it never calls (GetWorkspacePath, get_AdapterVersion...) are left out.
const wchar_t* const kCalledOperations[] = {
    L"IWorkspace::QueryInterface(IWorkspace)", L"IWorkspace::GetUserName", L"IWorkspace::GetWorkspaceName",
    L"IWorkspace::CreateServiceRequest", L"IServiceRequest::SetComponent", L"IServiceRequest::SetMethod",
    L"IServiceRequest::SetInput", L"IServiceRequest::GetOutput", L"IServiceRequest::SetFlags",
    L"IServiceRequest::Execute", L"IServiceRequest::BeginInput", L"IServiceRequest::BeginElement",
    L"IServiceRequest::AddField", L"IServiceRequest::EndElement", L"CoCreateInstance(QRClientTools.Globals)",
    L"IGlobals::GetSettingsRoot", L"IGlobals::GetVersionSpecificIdentifier",
    L"CoCreateInstance(QRClientTools.SettingsNode)", L"ISettingsNode::GetValue", L"ISettingsNode::SetValue",
    L"ISettingsNode::OpenChild", L"CoCreateInstance(QREFOldAdapter380.ClientServices)",
    L"IQREFOldClientServices::UnInitialize", L"IQREFOldClientServices::SetRestore",
    L"IQREFOldClientServices::get_XMLFileName", L"IQREFOldClientServices::put_XMLFileName",
    L"IQREFOldClientServices::SetProductName", L"IQREFOldClientServices::SetFrameworkData",
    L"IQREFOldClientServices::SetPlantData", L"IQREFOldClientServices::Initialize",
    L"IQREFOldClientServices::ConnectToEF", L"IQREFOldClientServices::Publish", L"IQREFOldClientServices::Retrieve",
    L"IQREFOldClientServices::FindDocsToPublish", L"IQREFOldClientServices::LaunchFrameworkBrowser",
    L"IQREFOldClientServices::Register", L"IQREFOldClientServices::GetProjectList",
    L"IQREFOldClientServices::PublishProjectAsBuilt", L"IQREFOldClientServices::SynchronizeClaims",
    L"IQREFOldClientServices::Revise", L"CoCreateInstance(QRCSelectKBDlg)", L"IRunnableObject::Run",
    L"QRCSelectKBDlg::QueryInterface(DQRCSelectKBDlg)", L"DQRCSelectKBDlg::Invoke(RunCommand)",
    L"CoCreateInstance(QRCIGEFClientServices)", L"CoCreateInstance(Excel.Application)",
    L"Excel Application::", L"Excel Range::",
};
constexpr size_t kAtLeastSites = 300;  // 316 today

// Runs after every test; judges only a run in which every fault injection test ran.
class FaultInjectionCoverage : public testing::Environment {
public:
    void TearDown() override {
        const testing::UnitTest& unit = *testing::UnitTest::GetInstance();
        for (int i = 0; i < unit.total_test_suite_count(); ++i) {
            const testing::TestSuite& suite = *unit.GetTestSuite(i);
            if (std::string(suite.name()).rfind("FaultInjection", 0) != 0) continue;
            if (suite.test_to_run_count() != suite.total_test_count()) return;
        }
        const Figures& figures = SuiteFigures();
        if (figures.sites.empty()) return;
        EXPECT_GE(figures.sites.size(), kAtLeastSites) << "call sites failed";
        for (const wchar_t* operation : kCalledOperations) {
            bool failed = false;
            for (const std::wstring& site : figures.sites) failed |= Contains(site, L"| " + std::wstring(operation));
            EXPECT_TRUE(failed) << "no scenario failed " << Narrow(operation);
        }
        for (const auto* rules : {&ToDoListRules(), &ClientServicesRules()})
            for (const Rule& rule : *rules)
                EXPECT_TRUE(figures.rulesUsed.count(&rule)) << "no scenario reached a site of " << Narrow(rule.pattern);
    }
};

testing::Environment* const coverage = testing::AddGlobalTestEnvironment(new FaultInjectionCoverage);

} // namespace
