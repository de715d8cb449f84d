#pragma once
// The client services object with every partner replaced for this process by a fake that
// writes what it hears into one log, in call order.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>
#include "clientservices.h"
#include "support/fake_workspace.h"
#include "support/progid_override.h"
#include "winkit/module_lock.h"
#include "winkit/unique_bstr.h"

namespace testcom {

// How a partner answers a call; by default S_OK with nothing written.
struct Answer {
    HRESULT hr = S_OK;
    std::optional<std::wstring> out;  // written to the call's out-parameter
    std::wstring error;               // the partner's description, left on the thread
    bool inExcepInfo = false;         // a dispatch call's error goes into EXCEPINFO instead
};
// Keyed by the whole logged line, by "partner Method" or by partner; "partner create"
// fails the partner's creation.
using Answers = std::map<std::wstring, Answer>;
using Calls = std::vector<std::wstring>;

// A BSTR argument, freed at the end of the statement; W takes the whole literal, NULs too.
inline winkit::UniqueBstr B(const wchar_t* text) { return winkit::UniqueBstr::Copy(text); }
template <size_t N>
winkit::UniqueBstr W(const wchar_t (&text)[N]) { return winkit::UniqueBstr::Copy(std::wstring_view(text, N - 1)); }
inline std::wstring Quoted(BSTR text) { return text ? L"'" + std::wstring(text, SysStringLen(text)) + L"'" : L"null"; }

inline const wchar_t* SourceOf(const std::wstring& partner) {
    return partner == L"tools" ? L"QRClientTools.Globals" : partner == L"adapter" ? L"QREFOldAdapter"
           : partner == L"framework" ? L"QRSim.Framework" : L"QRCSelectKBDlg";
}

struct Partners {
    Calls heard;
    Answers answers;
    std::map<IUnknown*, std::wstring> names;  // how object arguments are written

    template <class... Args>
    Answer Hear(const wchar_t* partner, const wchar_t* method, BSTR* out, const Args&... args) {
        std::wstring list, name = std::wstring(partner) + L" " + method;
        ((list += (list.empty() ? L"" : L", ") + Arg(args)), ...);
        heard.push_back(name + L"(" + list + L")");
        const std::wstring keys[] = {heard.back(), name, partner};
        auto key = std::find_if(std::begin(keys), std::end(keys), [&](auto& k) { return answers.count(k) != 0; });
        Answer answer = key == std::end(keys) ? Answer() : answers.at(*key);
        if (out && answer.out) *out = SysAllocStringLen(answer.out->data(), static_cast<UINT>(answer.out->size()));
        if (!answer.error.empty() && !answer.inExcepInfo) PlantThreadError(SourceOf(partner), answer.error.c_str());
        return answer;
    }
    static std::wstring Arg(BSTR text) { return Quoted(text); }
    static std::wstring Arg(const std::wstring& text) { return L"'" + text + L"'"; }
    static std::wstring Arg(LONG number) { return std::to_wstring(number); }
    template <class Interface>
    std::wstring Arg(Interface* object) const {
        IUnknown* key = object;
        return !key ? L"null" : names.count(key) ? names.at(key) : L"?";
    }
};

// A method the partner hears by name with its arguments; the out-parameter, or nullptr, first.
#define PARTNER_HEARS(Partner, Method, Parameters, ...) \
    STDMETHODIMP Method Parameters override { return partners_.Hear(Partner, L## #Method, __VA_ARGS__).hr; }
#define ADAPTER_HEARS(...) PARTNER_HEARS(L"adapter", __VA_ARGS__)
#define NOT_ASKED(Method, ...) STDMETHODIMP Method(__VA_ARGS__) override { return E_NOTIMPL; }

class FakeTools : public FakeComObject<IGlobals> {
public:
    explicit FakeTools(Partners& partners) : partners_(partners) {}
    TESTCOM_NO_DISPATCH
    NOT_ASKED(GetSettingsRoot, BSTR*) NOT_ASKED(GetToolsVersion, BSTR*)
    PARTNER_HEARS(L"tools", GetVersionSpecificIdentifier, (BSTR name, BSTR* out), out, name)

private:
    void* QueryOther(REFIID iid) override { return iid == IID_IDispatch ? static_cast<IGlobals*>(this) : nullptr; }
    Partners& partners_;
};

class FakeAdapter : public FakeComObject<IQREFOldClientServices> {
public:
    explicit FakeAdapter(Partners& partners) : partners_(partners) {}
    TESTCOM_NO_DISPATCH
    ADAPTER_HEARS(UnInitialize, (), nullptr) ADAPTER_HEARS(ConnectToEF, (), nullptr)
    ADAPTER_HEARS(Retrieve, (), nullptr) ADAPTER_HEARS(FindDocsToPublish, (), nullptr)
    ADAPTER_HEARS(LaunchFrameworkBrowser, (), nullptr) ADAPTER_HEARS(SetRestore, (BSTR a), nullptr, a)
    ADAPTER_HEARS(put_XMLFileName, (BSTR a), nullptr, a) ADAPTER_HEARS(SetProductName, (BSTR a), nullptr, a)
    ADAPTER_HEARS(Publish, (BSTR a), nullptr, a) ADAPTER_HEARS(PublishProjectAsBuilt, (BSTR a), nullptr, a)
    ADAPTER_HEARS(Revise, (BSTR a), nullptr, a) ADAPTER_HEARS(SynchronizeClaims, (BSTR a, BSTR* out), out, a)
    ADAPTER_HEARS(get_XMLFileName, (BSTR* out), out) ADAPTER_HEARS(get_AdapterVersion, (BSTR* out), out)
    ADAPTER_HEARS(SetFrameworkData, (BSTR a, BSTR b, BSTR c, BSTR d, BSTR e), nullptr, a, b, c, d, e)
    ADAPTER_HEARS(SetPlantData, (BSTR a, BSTR b, BSTR c), nullptr, a, b, c)
    ADAPTER_HEARS(Initialize, (IDispatch* a), nullptr, a) ADAPTER_HEARS(Register, (IDispatch* a), nullptr, a)
    // An answer's text is a list of one project.
    STDMETHODIMP GetProjectList(SAFEARRAY** out) override {
        Answer answer = partners_.Hear(L"adapter", L"GetProjectList", nullptr);
        LONG first = 0;
        if (answer.out) *out = SafeArrayCreateVector(VT_BSTR, 0, 1);
        if (answer.out) SafeArrayPutElement(*out, &first, winkit::UniqueBstr::Copy(*answer.out).get());
        return answer.hr;
    }

private:
    void* QueryOther(REFIID iid) override {
        return iid == IID_IDispatch ? static_cast<IQREFOldClientServices*>(this) : nullptr;
    }
    Partners& partners_;
};

// Heard: Run, the query for its dispatch interface, and RunCommand through Invoke.
class FakeSelection : public FakeComObject<IDispatch, IRunnableObject, ISupportErrorInfo> {
public:
    explicit FakeSelection(Partners& partners) : partners_(partners) {}
    NOT_ASKED(GetTypeInfoCount, UINT*) NOT_ASKED(GetTypeInfo, UINT, LCID, ITypeInfo**)
    // RunCommand is the one name it knows, under a DISPID of its own (not the simulated
    // component's): the caller must look it up.
    static constexpr DISPID kRunCommand = 0x60020007;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        return count != 1 || wcscmp(names[0], L"RunCommand") != 0 ? DISP_E_UNKNOWNNAME : (*ids = kRunCommand, S_OK);
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                        UINT*) override {
        VARIANTARG* args = params->rgvarg;  // right to left
        if (id != kRunCommand || flags != DISPATCH_METHOD || params->cArgs != 5 ||
            params->cNamedArgs || V_VT(&args[4]) != VT_BSTR || V_VT(&args[3]) != VT_I4 ||
            V_VT(&args[2]) != VT_DISPATCH || V_VT(&args[1]) != VT_I4 || V_VT(&args[0]) != VT_I2)
            return DISP_E_TYPEMISMATCH;  // heard as nothing
        Answer answer = partners_.Hear(L"selection", L"RunCommand", nullptr, V_BSTR(&args[4]), V_I4(&args[3]),
                                       V_DISPATCH(&args[2]), V_I4(&args[1]), static_cast<LONG>(V_I2(&args[0])));
        // An object as the result, so that a result never released shows as a leak.
        if (SUCCEEDED(answer.hr) && result) V_VT(result) = VT_DISPATCH, V_DISPATCH(result) = new FakeDispatch();
        if (SUCCEEDED(answer.hr) || !answer.inExcepInfo) return answer.hr;
        exception->scode = answer.hr;
        exception->bstrSource = SysAllocString(SourceOf(L"selection"));
        exception->bstrDescription = SysAllocString(answer.error.c_str());
        return DISP_E_EXCEPTION;
    }
    PARTNER_HEARS(L"selection", Run, (LPBINDCTX context), nullptr, context)
    STDMETHODIMP_(BOOL) IsRunning() override { return TRUE; }
    NOT_ASKED(GetRunningClass, LPCLSID) NOT_ASKED(LockRunning, BOOL, BOOL) NOT_ASKED(SetContainedObject, BOOL)
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override { return iid == DIID_DQRCSelectKBDlg ? S_OK : S_FALSE; }

private:
    void* QueryOther(REFIID iid) override {
        if (iid != DIID_DQRCSelectKBDlg) return nullptr;
        HRESULT answer = partners_.Hear(L"selection", L"QueryInterface", nullptr, B(L"DQRCSelectKBDlg").get()).hr;
        return SUCCEEDED(answer) ? static_cast<IDispatch*>(this) : nullptr;
    }
    Partners& partners_;
};
#undef NOT_ASKED
#undef ADAPTER_HEARS
#undef PARTNER_HEARS

// The out-parameters a step's call may write. Each starts as a marker, so that the table
// tells a parameter left alone from one written null.
struct Outs {
    static inline const BSTR kLeft = reinterpret_cast<BSTR>(static_cast<uintptr_t>(0x5555));
    BSTR a = kLeft, b = kLeft, c = kLeft;
    long status = 0x5555;
    VARIANT_BOOL flag = 0x5555;
    SAFEARRAY* array = reinterpret_cast<SAFEARRAY*>(kLeft);

    ~Outs() {
        for (BSTR text : {a, b, c}) SysFreeString(text != kLeft ? text : nullptr);
        if (array != reinterpret_cast<SAFEARRAY*>(kLeft)) SafeArrayDestroy(array);
    }
    // What was written, in parameter order: "'SIG-1' null 0 true ['P1']".
    std::wstring Text() const {
        std::wstring text;
        auto add = [&text](const std::wstring& item) { text += (text.empty() ? L"" : L" ") + item; };
        for (BSTR written : {a, b, c})
            if (written != kLeft) add(Quoted(written));
        if (status != 0x5555) add(std::to_wstring(status));
        if (flag != 0x5555) add(flag == VARIANT_TRUE ? L"true" : flag == VARIANT_FALSE ? L"false" : L"?");
        winkit::UniqueBstr first;
        LONG index = 0;
        if (array && array != reinterpret_cast<SAFEARRAY*>(kLeft)) SafeArrayGetElement(array, &index, first.put());
        if (array != reinterpret_cast<SAFEARRAY*>(kLeft)) add(array ? L"[" + Quoted(first.get()) + L"]" : L"null");
        return text;
    }
};

using Call = std::function<HRESULT(IQRCIGEFClientServices& cs, Outs& o)>;
// A step's call: CALL(GetEFData(&o.a, &o.b, &o.c)).
#define CALL(...) [&](IQRCIGEFClientServices & cs, Outs & o) -> HRESULT { return cs.__VA_ARGS__; }

// The call, made while an earlier, unrelated failure's error information is on the thread.
inline Call AfterEarlierError(Call call) {
    return [call](IQRCIGEFClientServices& cs, Outs& o) { return PlantThreadError(L"Somebody", L"earlier"), call(cs, o); };
}

// A call with the partners' answers beyond the defaults; its result, Outs::Text(), what the
// partners heard in order, and the source ("" for none) and text of the error information.
struct Step { const char* what; Call call; Answers answers; HRESULT hr; std::wstring outs; Calls calls;
              std::wstring source, document; };

inline constexpr CLSID kFakeAdapterClass = {0x5e1f7a10, 0x3c11, 0x4e55, {0x9b, 0x1a, 0x00, 0x00, 0x00, 0x00, 0x0a, 0x01}};
inline constexpr const wchar_t* kFakeAdapterProgId = L"QRTest.OldAdapter.ClientServices.1";
inline constexpr const wchar_t* kClaimObject = L"QRCIGEFClientServices::ClaimObject";
inline const std::wstring kToolsAsked = L"tools GetVersionSpecificIdentifier('QREFOldAdapter380.ClientServices')";

class ClientServicesTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(ERROR_SUCCESS, adapterProgId_.result());
        for (auto* registration : {&toolsClass_, &adapterClass_, &selectionClass_})
            ASSERT_EQ(S_OK, registration->result());
        // A request is heard when executed, as "framework Method('input')".
        workspace->UseScript(script);
        script.execute = [this](const std::wstring& method, const std::optional<std::wstring>& input,
                                std::wstring& output) {
            Answer answer = input ? partners.Hear(L"framework", method.c_str(), nullptr, *input)
                                  : partners.Hear(L"framework", method.c_str(), nullptr);
            output = answer.out.value_or(L"");
            return answer.hr;
        };
        partners.names[Ws()] = L"workspace";
        partners.answers = Defaults();
        services = NewServices();
        ASSERT_TRUE(services);
        fakesAlive_ = LiveObjects();
    }

    void TearDown() override {
        services.reset();
        EXPECT_EQ(0, winkit::ModuleLock::Count()) << "client services objects left alive";
        EXPECT_EQ(fakesAlive_, LiveObjects()) << "requests or results not released";
        EXPECT_EQ(1u, workspace->RefCount());
        SetErrorInfo(0, nullptr);
    }

    static winkit::ComPtr<IQRCIGEFClientServices> NewServices() {
        winkit::ComPtr<IQRCIGEFClientServices> made;
        return CClientServices::Create(nullptr, IID_IQRCIGEFClientServices, made.put_void()), made;
    }

    IDispatch* Ws() const { return static_cast<IDispatch*>(workspace.get()); }
    // The tools name the fake adapter's ProgID; everyone else says S_OK.
    static Answers Defaults() { return {{L"tools", {S_OK, kFakeAdapterProgId}}}; }
    HRESULT Creation(const wchar_t* partner) const {
        auto found = partners.answers.find(partner + std::wstring(L" create"));
        return found == partners.answers.end() ? S_OK : found->second.hr;
    }

    void Run(const std::vector<Step>& steps, IQRCIGEFClientServices* object = nullptr) {
        for (const Step& step : steps) {
            SCOPED_TRACE(step.what);
            partners.heard.clear();
            partners.answers = Defaults();
            for (const auto& [key, answer] : step.answers) partners.answers[key] = answer;
            toolsFactory->failure = Creation(L"tools");
            adapterFactory->failure = Creation(L"adapter");
            selectionFactory->failure = Creation(L"selection");
            script.createResult = Creation(L"framework");
            SetErrorInfo(0, nullptr);
            Outs outs;
            HRESULT hr = step.call(object ? *object : *services.get(), outs);
            ThreadError error = TakeThreadError();
            EXPECT_EQ(step.hr, hr) << std::hex << hr;
            EXPECT_EQ(step.outs, outs.Text());
            EXPECT_EQ(step.calls, partners.heard);
            EXPECT_EQ(step.source, error.source);
            EXPECT_EQ(step.document, error.description);
        }
    }

    Partners partners;  // before the fakes, which write into it
    Fake<FakeTools> tools{partners};
    Fake<FakeAdapter> adapter{partners};
    Fake<FakeSelection> selection{partners};
    RequestScript script;
    Fake<FakeWorkspace> workspace;
    Fake<FakeClassFactory> toolsFactory{tools.get()}, adapterFactory{adapter.get()},
        selectionFactory{static_cast<IDispatch*>(selection.get())};
    winkit::ComPtr<IQRCIGEFClientServices> services;

private:
    LONG fakesAlive_ = 0;
    ProgIdOverride adapterProgId_{kFakeAdapterProgId, kFakeAdapterClass};
    ClassRegistration toolsClass_{CLSID_QRClientToolsGlobals, toolsFactory.get()};
    ClassRegistration adapterClass_{kFakeAdapterClass, adapterFactory.get()};
    ClassRegistration selectionClass_{CLSID_QRCSelectKBDlg, selectionFactory.get()};
};

inline Calls Then(Calls first, const Calls& more) {
    first.insert(first.end(), more.begin(), more.end());
    return first;
}

} // namespace testcom
