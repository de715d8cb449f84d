// The built component DLLs as a caller meets them: class objects, IDispatch from each
// DLL's own type library, the stream selection's run-then-query sequence, unloading.
#include <gtest/gtest.h>
#include <ole2.h>
#include "simtestsupport.h"
#include "winkit/unique_bstr.h"

using winkit::ComPtr;
using winkit::UniqueBstr;
using winkit::UniqueVariant;

namespace {

// {38000206-A35F-4D89-960A-B075AD91A15F}, {38000203-66B0-...}, {5A1E0001-...}, {5A1E0201-...}
const CLSID kSelectKB = {0x38000206, 0xA35F, 0x4D89, {0x96, 0x0A, 0xB0, 0x75, 0xAD, 0x91, 0xA1, 0x5F}};
const CLSID kGlobals = {0x38000203, 0x66B0, 0x497D, {0x8F, 0x84, 0xD7, 0x11, 0x3F, 0xBD, 0xFD, 0xA6}};
const CLSID kSettingsNode = {0x38000201, 0x66B0, 0x497D, {0x8F, 0x84, 0xD7, 0x11, 0x3F, 0xBD, 0xFD, 0xA6}};
const CLSID kWorkspace = {0x5A1E0001, 0x51A1, 0x4D2B, {0x9C, 0x3E, 0x7F, 0x0A, 0x1B, 0x2C, 0x3D, 0x01}};
const CLSID kOldAdapter = {0x5A1E0201, 0x51A1, 0x4D2B, {0x9C, 0x3E, 0x7F, 0x0A, 0x1B, 0x2C, 0x3D, 0x01}};

// One component DLL beside the test program, loaded for the test's life.
class ComponentDll {
public:
    explicit ComponentDll(const wchar_t* name) {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring path = self;
        path = path.substr(0, path.find_last_of(L"\\/") + 1) + name;
        module_ = LoadLibraryW(path.c_str());
    }
    ~ComponentDll() { if (module_) FreeLibrary(module_); }
    explicit operator bool() const { return module_ != nullptr; }

    HRESULT Create(REFCLSID clsid, REFIID iid, void** out) {
        auto getClassObject = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
            reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
        ComPtr<IClassFactory> factory;
        HRESULT hr = getClassObject(clsid, IID_IClassFactory, factory.put_void());
        return FAILED(hr) ? hr : factory->CreateInstance(nullptr, iid, out);
    }
    HRESULT CanUnloadNow() {
        auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
            reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")));
        return canUnload();
    }

private:
    HMODULE module_ = nullptr;
};

DISPID IdOf(IDispatch* object, const wchar_t* name) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    EXPECT_EQ(S_OK, object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)) << name;
    return id;
}

// Invokes a method; `args` in call order (reversed here as IDispatch wants them).
HRESULT Call(IDispatch* object, DISPID id, std::vector<VARIANT> args, VARIANT* result, EXCEPINFO* info, WORD flags = DISPATCH_METHOD) {
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    UINT argError = 0;
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, info, &argError);
}

VARIANT Bstr(BSTR b) { VARIANT v; VariantInit(&v); V_VT(&v) = VT_BSTR; V_BSTR(&v) = b; return v; }
VARIANT Long(LONG value) { VARIANT v; VariantInit(&v); V_VT(&v) = VT_I4; V_I4(&v) = value; return v; }
VARIANT Short(SHORT value) { VARIANT v; VariantInit(&v); V_VT(&v) = VT_I2; V_I2(&v) = value; return v; }
VARIANT Dispatch(IDispatch* d) { VARIANT v; VariantInit(&v); V_VT(&v) = VT_DISPATCH; V_DISPATCH(&v) = d; return v; }

} // namespace

TEST(SimComponentDlls, SelectionComponentRunsUnattendedThroughItsDispatchInterface) {
    ComponentDll dll(L"simselectkb.dll");
    ASSERT_TRUE(dll);
    {
        ComPtr<IUnknown> unknown;
        ASSERT_EQ(S_OK, dll.Create(kSelectKB, IID_IUnknown, unknown.put_void()));
        ASSERT_EQ(S_OK, OleRun(unknown.get()));
        ComPtr<IDispatch> selection;
        ASSERT_EQ(S_OK, unknown->QueryInterface(__uuidof(DQRCSelectKBDlg), selection.put_void()));
        EXPECT_EQ(DISPID_QRCSELECTKBDLG_RUNCOMMAND, IdOf(selection.get(), L"RunCommand"));
        UniqueBstr command = UniqueBstr::Copy(L"ClaimStream");
        UniqueVariant result;
        EXCEPINFO info = {};
        EXPECT_EQ(S_OK, Call(selection.get(), 1, {Bstr(command.get()), Long(1001), Dispatch(nullptr), Long(0), Short(0)},
                             result.put(), &info));
        EXPECT_EQ(VT_EMPTY, result.vt());
        UniqueBstr unknownCommand = UniqueBstr::Copy(L"Browse");
        EXPECT_EQ(DISP_E_EXCEPTION, Call(selection.get(), 1, {Bstr(unknownCommand.get()), Long(1), Dispatch(nullptr), Long(0), Short(0)},
                                         result.put(), &info));
        EXPECT_EQ(E_INVALIDARG, info.scode);
        EXPECT_NE(nullptr, info.bstrDescription);
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrHelpFile);
        EXPECT_EQ(S_FALSE, dll.CanUnloadNow());
    }
    EXPECT_EQ(S_OK, dll.CanUnloadNow());
}

TEST(SimComponentDlls, WorkspaceIsScriptableAndHandsOutTheHostInterfaces) {
    simtest::ScratchFolder folder;
    std::wstring path = simtest::CopySample(folder);
    ComponentDll dll(L"simworkspace.dll");
    ASSERT_TRUE(dll);
    {
        ComPtr<IDispatch> workspace;
        ASSERT_EQ(S_OK, dll.Create(kWorkspace, IID_IDispatch, workspace.put_void()));
        UniqueBstr file = UniqueBstr::Copy(path);
        EXCEPINFO info = {};
        UniqueVariant result;
        EXPECT_EQ(S_OK, Call(workspace.get(), IdOf(workspace.get(), L"Open"), {Bstr(file.get())}, result.put(), &info));
        EXPECT_EQ(S_OK, Call(workspace.get(), IdOf(workspace.get(), L"TaskCount"), {}, result.put(), &info, DISPATCH_PROPERTYGET));
        EXPECT_EQ(VT_I4, result.vt());
        EXPECT_EQ(30, V_I4(result.get()));

        ComPtr<IWorkspace> host;
        ASSERT_EQ(S_OK, workspace->QueryInterface(__uuidof(IWorkspace), host.put_void()));
        simtest::CallResult list = simtest::TextCall(host.get(), L"GetTaskList");
        EXPECT_EQ(S_OK, list.hr);
        EXPECT_NE(std::wstring::npos, list.output.find(L"ToDo_Index=\"30\""));
        ComPtr<ISupportErrorInfo> support;
        ASSERT_EQ(S_OK, workspace->QueryInterface(IID_ISupportErrorInfo, support.put_void()));
        EXPECT_EQ(S_OK, support->InterfaceSupportsErrorInfo(__uuidof(IWorkspace)));
        EXPECT_EQ(S_FALSE, support->InterfaceSupportsErrorInfo(IID_IDispatch));
    }
    EXPECT_EQ(S_OK, dll.CanUnloadNow());
}

TEST(SimComponentDlls, ClientToolsAndAdapterServeTheirFixedClassesAndDispatch) {
    ComponentDll tools(L"simclienttools.dll");
    ComponentDll adapter(L"simoldadapter.dll");
    ASSERT_TRUE(tools && adapter);
    {
        ComPtr<IGlobals> globals;
        ASSERT_EQ(S_OK, tools.Create(kGlobals, __uuidof(IGlobals), globals.put_void()));
        UniqueBstr identifier = UniqueBstr::Copy(L"QREFOldAdapter380.ClientServices");
        EXCEPINFO info = {};
        UniqueVariant result;
        EXPECT_EQ(S_OK, Call(globals.get(), 3, {Bstr(identifier.get())}, result.put(), &info));
        ASSERT_EQ(VT_BSTR, result.vt());
        EXPECT_STREQ(L"QREFOldAdapter380.ClientServices.1", V_BSTR(result.get()));
        ComPtr<ISettingsNode> node;
        EXPECT_EQ(S_OK, tools.Create(kSettingsNode, __uuidof(ISettingsNode), node.put_void()));

        ComPtr<IQREFOldClientServices> services;
        ASSERT_EQ(S_OK, adapter.Create(kOldAdapter, __uuidof(IQREFOldClientServices), services.put_void()));
        UniqueBstr claims = UniqueBstr::Copy(L"<Claims><Claim OID=\"1002\" Name=\"V-205\" Locked=\"1\"/></Claims>");
        EXPECT_EQ(S_OK, Call(services.get(), IdOf(services.get(), L"SynchronizeClaims"), {Bstr(claims.get())}, result.put(), &info));
        ASSERT_EQ(VT_BSTR, result.vt());
        EXPECT_STREQ(L"V-205 (OID 1002) is locked and cannot be claimed", V_BSTR(result.get()));
    }
    EXPECT_EQ(S_OK, tools.CanUnloadNow());
    EXPECT_EQ(S_OK, adapter.CanUnloadNow());
}
