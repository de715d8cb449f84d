// Fault injection through the client services object, called as a host calls it: every
// call it makes to the workspace, its requests, the client tools, the adapter and the
// stream selection component fails in turn, one method (a phase and a step of its own)
// after the other.
#include <gtest/gtest.h>
#include "clientservices.h"
#include "faultinjection_expectations.h"
#include "faultinjection_runner.h"
#include "support/fault_partners.h"
#include "support/fault_proxies.h"
#include "support/progid_override.h"
#include "support/sim_workspace.h"
#include "winkit/unique_bstr.h"
#include "winkit/unique_safearray.h"
#include "winkit/unique_variant.h"

using namespace faultinjection;

namespace {

using winkit::UniqueBstr;

const wchar_t* const kMethods[] = {
    L"Initialize", L"GetEFData", L"SupportsFeature", L"XMLFileName", L"ClaimObject", L"ClaimStream",
    L"SynchronizeClaims", L"ConnectToEF", L"Publish", L"Retrieve", L"FindDocsToPublish", L"LaunchFrameworkBrowser",
    L"Register", L"GetProjectList", L"PublishProjectAsBuilt", L"Revise", L"SetPlantData", L"UnInitialize",
};

// Two objects to claim as a host passes them: an array of VARIANTs holding numbers.
winkit::UniqueVariant TwoObjectIdentifiers() {
    SAFEARRAYBOUND bounds = {2, 0};
    SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 1, &bounds);
    LONG ids[2] = {1001, 1003};
    for (LONG i = 0; i < 2; ++i) {
        winkit::UniqueVariant id = winkit::UniqueVariant::Long(ids[i]);
        SafeArrayPutElement(array, &i, id.get());
    }
    winkit::UniqueVariant value;
    V_VT(value.get()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(value.get()) = array;
    return value;
}

void CallEveryMethod(Observer& observer) {
    SimWorkspace sim;
    if (!sim.ok()) {
        ADD_FAILURE() << "QRSim.Workspace must be registered (register-components.sh)";
        return;
    }
    // A claims document as the framework makes it, asked for outside the proxies.
    std::wstring claims = sim.CallFramework(L"SynchronizeObjectClaim", L"1004");
    winkit::ComPtr<IDispatch> workspace = winkit::ComPtr<IDispatch>::Attach(fault::WrapWorkspace(sim.Workspace(), sim.Dispatch()));
    winkit::ComPtr<IQRCIGEFClientServices> services;
    ASSERT_EQ(S_OK, CClientServices::Create(nullptr, IID_IQRCIGEFClientServices, services.put_void()));
    IQRCIGEFClientServices* cs = services.get();
    IDispatch* ws = workspace.get();

    auto step = [&](const wchar_t* name, const std::function<HRESULT()>& call) {
        observer.Phase(name);
        observer.Step(name, call());
    };
    step(L"Initialize", [&] { return cs->Initialize(ws); });
    step(L"GetEFData", [&] {
        UniqueBstr signature, url, plant;
        return cs->GetEFData(signature.put(), url.put(), plant.put());
    });
    step(L"SupportsFeature", [&] {
        VARIANT_BOOL supported = VARIANT_FALSE;
        return cs->SupportsFeature(UniqueBstr::Copy(L"Claims").get(), &supported);
    });
    step(L"XMLFileName", [&] {
        const wchar_t* name = L"C:\\users\\Public\\claims.xml";
        HRESULT hr = cs->put_XMLFileName(UniqueBstr::Copy(name).get());
        if (FAILED(hr)) return hr;
        UniqueBstr read;
        hr = cs->get_XMLFileName(read.put());
        // The name given is handed back, from the adapter or kept by the object.
        if (SUCCEEDED(hr)) {
            EXPECT_EQ(name, read.str());
        }
        return hr;
    });
    step(L"ClaimObject", [&] { return cs->ClaimObject(UniqueBstr::Copy(L"1001").get()); });
    step(L"ClaimStream", [&] { return cs->ClaimStream(ws, *TwoObjectIdentifiers().get()); });
    step(L"SynchronizeClaims", [&] {
        UniqueBstr message;
        return cs->SynchronizeClaims(UniqueBstr::Copy(claims).get(), message.put());
    });
    step(L"ConnectToEF", [&] { return cs->ConnectToEF(); });
    step(L"Publish", [&] { return cs->Publish(UniqueBstr::Copy(L"1001").get()); });
    step(L"Retrieve", [&] { return cs->Retrieve(); });
    step(L"FindDocsToPublish", [&] { return cs->FindDocsToPublish(); });
    step(L"LaunchFrameworkBrowser", [&] { return cs->LaunchFrameworkBrowser(); });
    step(L"Register", [&] { return cs->Register(ws); });
    step(L"GetProjectList", [&] {
        winkit::UniqueSafeArray projects;
        return cs->GetProjectList(projects.put());
    });
    step(L"PublishProjectAsBuilt", [&] { return cs->PublishProjectAsBuilt(UniqueBstr::Copy(L"Unit 0101").get()); });
    step(L"Revise", [&] { return cs->Revise(UniqueBstr::Copy(L"1001").get()); });
    step(L"SetPlantData", [&] {
        return cs->SetPlantData(UniqueBstr::Copy(L"Northfield").get(), UniqueBstr::Copy(L"Area 01").get(),
                                UniqueBstr::Copy(L"Unit 0101").get());
    });
    step(L"UnInitialize", [&] { return cs->UnInitialize(); });
    observer.Phase(L"Release");
}

class FaultInjectionClientServices : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ("", std::string(partners.problem().begin(), partners.problem().end())); }

    fault::FaultPartners partners;
};

} // namespace

TEST_F(FaultInjectionClientServices, EveryMethodWithEveryOutsideCallFailingInTurn) {
    Scenario scenario;
    scenario.name = L"Client services";
    scenario.phases.assign(std::begin(kMethods), std::end(kMethods));
    scenario.rules = &ClientServicesRules();
    scenario.run = CallEveryMethod;
    RunScenario(scenario);
}

// Components that fail without leaving any error information: the documents name the code.
TEST_F(FaultInjectionClientServices, EveryMethodWithFailuresThatLeaveNoErrorInformation) {
    Scenario scenario;
    scenario.name = L"Client services, no error information";
    scenario.phases.assign(std::begin(kMethods), std::end(kMethods));
    scenario.rules = &ClientServicesRules();
    scenario.run = CallEveryMethod;
    scenario.withoutErrorInfo = true;
    RunScenario(scenario);
}

// The version-specific ProgID the tools name is looked up in the registry, not asked of a
// component: taken away for one run, every method that connects fails with its message.
TEST_F(FaultInjectionClientServices, AnAdapterNotRegisteredFailsTheMethodWithItsMessage) {
    ProgIdOverride adapter(fault::kVersionedAdapterProgId);
    adapter.Remove();
    SimWorkspace sim;
    ASSERT_TRUE(sim.ok());
    winkit::ComPtr<IDispatch> workspace = winkit::ComPtr<IDispatch>::Attach(fault::WrapWorkspace(sim.Workspace(), sim.Dispatch()));
    winkit::ComPtr<IQRCIGEFClientServices> services;
    ASSERT_EQ(S_OK, CClientServices::Create(nullptr, IID_IQRCIGEFClientServices, services.put_void()));
    HRESULT hr = services->Initialize(workspace.get());
    EXPECT_TRUE(FAILED(hr));
    ThreadError error = TakeThreadError();
    EXPECT_NE(std::wstring::npos, error.description.find(L"QREFOldAdapter380.ClientServices is not registered"))
        << std::string(error.description.begin(), error.description.end());
    services.reset();
    workspace.reset();
    EXPECT_EQ(0, fault::LiveProxies());
    SuiteFigures().Add(L"Client services", L"Initialize | CLSIDFromProgID(QREFOldAdapter380.ClientServices.1)",
                       L"fails with its HRESULT, \"QREFOldAdapter380.ClientServices is not registered\"");
}
