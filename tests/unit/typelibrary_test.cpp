// The embedded type library as a late-bound caller reads it, and the two classes as COM makes them.
#include <gtest/gtest.h>
#include <cwchar>
#include <string>
#include <vector>
#include "comidentifiers.h"
#include "support/fake_com.h"
#include "winkit/com_module.h"
#include "winkit/module_lock.h"
#include "winkit/com_ptr.h"
#include "winkit/unique_bstr.h"

namespace {

// "[in, optional, defaultvalue] "; the types are the generated header's, checked by the compiler.
std::wstring Attributes(USHORT flags) {
    std::wstring text;
    const std::pair<USHORT, const wchar_t*> names[] = {{PARAMFLAG_FIN, L"in"}, {PARAMFLAG_FOUT, L"out"},
        {PARAMFLAG_FRETVAL, L"retval"}, {PARAMFLAG_FOPT, L"optional"}, {PARAMFLAG_FHASDEFAULT, L"defaultvalue"}};
    for (const auto& [flag, name] : names)
        if (flags & flag) text += (text.empty() ? L"[" : L", ") + std::wstring(name);
    return text.empty() ? text : text + L"] ";
}

// The name of a type or of its member.
std::wstring Name(ITypeInfo* info, MEMBERID member) {
    winkit::UniqueBstr name;
    info->GetDocumentation(member, name.put(), nullptr, nullptr, nullptr);
    return name.str();
}

// "[id(2), propget] Name([out, retval] pVal)"; a property's put shares its DISPID,
// so GetNames answers with the get's names and its parameter shows as "-".
std::wstring MethodText(ITypeInfo* info, const FUNCDESC& function) {
    BSTR raw[8] = {};
    UINT count = 0;
    info->GetNames(function.memid, raw, 8, &count);
    std::vector<winkit::UniqueBstr> names(raw, raw + count);
    wchar_t id[32];
    swprintf(id, 32, function.memid > 0xffff ? L"0x%08lx" : L"%ld", static_cast<long>(function.memid));
    const wchar_t* kind = function.invkind == INVOKE_PROPERTYGET ? L", propget"
                          : function.invkind == INVOKE_PROPERTYPUT ? L", propput" : L"";
    std::wstring text = L"[id(" + std::wstring(id) + L")" + kind + L"] " + names[0].str() + L"(";
    for (SHORT k = 0; k < function.cParams; ++k) {
        const bool named = function.invkind != INVOKE_PROPERTYPUT && k + 1u < count;
        text += (k ? L", " : L"") + Attributes(function.lprgelemdescParam[k].paramdesc.wParamFlags) +
                (named ? names[k + 1].str() : L"-");
    }
    return text + L")";
}

// The coclass with its default interface, and that interface's methods after the seven of
// IDispatch, from the vtable side of the dual interface.
void AddClassText(ITypeLib* library, REFCLSID clsid, std::vector<std::wstring>& lines) {
    winkit::ComPtr<ITypeInfo> coclass, dispatchSide, info;
    HREFTYPE reference = 0;
    ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(clsid, coclass.put()));
    coclass->GetRefTypeOfImplType(0, &reference);
    ASSERT_EQ(S_OK, coclass->GetRefTypeInfo(reference, dispatchSide.put()));
    dispatchSide->GetRefTypeOfImplType(-1, &reference);
    ASSERT_EQ(S_OK, dispatchSide->GetRefTypeInfo(reference, info.put()));
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attributes));
    const bool dual = attributes->wTypeFlags & TYPEFLAG_FDUAL;
    lines.push_back(L"coclass " + Name(coclass.get(), MEMBERID_NIL) + (dual ? L" dual " : L" ") +
                    Name(dispatchSide.get(), MEMBERID_NIL));
    for (UINT index = 0; index < attributes->cFuncs; ++index) {
        FUNCDESC* function = nullptr;
        lines.push_back(SUCCEEDED(info->GetFuncDesc(index, &function)) ? MethodText(info.get(), *function) : L"?");
        if (function) info->ReleaseFuncDesc(function);
    }
    info->ReleaseTypeAttr(attributes);
}

TEST(TypeLibrary, DeclaresItsTwoClassesAndTheirDualInterfaces) {
    winkit::ComPtr<ITypeLib> library;
    ASSERT_EQ(S_OK, winkit::ComModule::Get().TypeLib(library.put()));
    std::vector<std::wstring> lines;
    for (const CLSID* clsid : {&CLSID_QRCIGEFClientServices, &CLSID_QRCTaskList}) AddClassText(library.get(), *clsid, lines);
    const std::vector<std::wstring> expected = {
        L"coclass QRCIGEFClientServices dual IQRCIGEFClientServices",
        L"[id(1)] ConnectToEF()",
        L"[id(2)] Publish(sOID)",
        L"[id(3), propget] ConnectionStatus([out, retval] pVal)",
        L"[id(4)] GetEFData(Signature, Url, Plant)",
        L"[id(5)] SetEFData(Signature, Url, Plant)",
        L"[id(6)] GetPlantData(Plant, Area, Unit)",
        L"[id(7)] SetPlantData(Plant, Area, Unit)",
        L"[id(8), propget] XMLFileName([out, retval] pVal)",
        L"[id(8), propput] XMLFileName([in] -)",
        L"[id(9)] Retrieve()",
        L"[id(10)] FindDocsToPublish()",
        L"[id(11)] LaunchFrameworkBrowser()",
        L"[id(12)] Initialize(pWorkspace)",
        L"[id(13)] Register(pWorkspace)",
        L"[id(14)] UnInitialize()",
        L"[id(15)] GetProjectList([out, retval] Projects)",
        L"[id(16)] ClaimStream([in] pWorkspace, [in] saOID)",
        L"[id(17)] SynchronizeClaims(ClaimsXML, [out, retval] pErrorMessage)",
        L"[id(18)] PublishProjectAsBuilt([in] sProjectName)",
        L"[id(19)] ClaimObject([in] strOID)",
        L"[id(20)] Revise(sOID)",
        L"[id(21)] SupportsFeature([in] Feature, [out, retval] Supported)",
        L"coclass QRCTaskList dual IQRCTaskList",
        L"[id(0x60020101)] Initialize([in] pWorkspace)",
        L"[id(0x60020102)] Show([in, optional, defaultvalue] lParentHWnd, [out, retval] pbDialogOK)",
    };
    EXPECT_EQ(expected, lines);
}

// The interfaces an object answers, each leading back to its one IUnknown (else "?"), its
// IDispatch's number of type informations, its class information and what it supports
// error information for.
std::wstring Surface(IUnknown* object) {
    const std::pair<const IID*, const wchar_t*> interfaces[] = {
        {&IID_IDispatch, L"IDispatch"},           {&IID_IQRCIGEFClientServices, L"IQRCIGEFClientServices"},
        {&IID_IQRCTaskList, L"IQRCTaskList"},     {&IID_IProvideClassInfo, L"IProvideClassInfo"},
        {&IID_IProvideClassInfo2, L"IProvideClassInfo2"}, {&IID_ISupportErrorInfo, L"ISupportErrorInfo"},
    };
    std::wstring text;
    for (const auto& [iid, name] : interfaces) {
        winkit::ComPtr<IUnknown> face, identity;
        if (FAILED(object->QueryInterface(*iid, face.put_void()))) continue;
        face.QueryTo(IID_IUnknown, identity.put_void());
        text += std::wstring(name) + (identity.get() == object ? L" " : L"? ");
    }
    winkit::ComPtr<IDispatch> dispatch;
    UINT count = 0;
    if (SUCCEEDED(object->QueryInterface(IID_IDispatch, dispatch.put_void()))) dispatch->GetTypeInfoCount(&count);
    text += L"typeinfo " + std::to_wstring(count);
    winkit::ComPtr<IProvideClassInfo2> classInfo;
    winkit::ComPtr<ITypeInfo> coclass;
    if (SUCCEEDED(object->QueryInterface(IID_IProvideClassInfo2, classInfo.put_void())) &&
        SUCCEEDED(classInfo->GetClassInfo(coclass.put())))
        text += L", class " + Name(coclass.get(), MEMBERID_NIL);
    winkit::ComPtr<ISupportErrorInfo> errorInfo;
    if (FAILED(object->QueryInterface(IID_ISupportErrorInfo, errorInfo.put_void()))) return text;
    for (const auto& [iid, name] : interfaces)
        if (errorInfo->InterfaceSupportsErrorInfo(*iid) == S_OK) text += L", error information for " + std::wstring(name);
    return text;
}

TEST(ComClasses, AnswerTheirInterfacesAndDelegateToAnOuterObject) {
    const std::pair<const CLSID*, std::wstring> classes[] = {
        {&CLSID_QRCIGEFClientServices,
         L"IDispatch IQRCIGEFClientServices ISupportErrorInfo typeinfo 1, error information for IQRCIGEFClientServices"},
        {&CLSID_QRCTaskList,
         L"IDispatch IQRCTaskList IProvideClassInfo IProvideClassInfo2 typeinfo 1, class QRCTaskList"},
    };
    for (const auto& [clsid, expected] : classes) {
        winkit::ComPtr<IClassFactory> factory;
        ASSERT_EQ(S_OK, winkit::ComModule::Get().GetClassObject(*clsid, IID_IClassFactory, factory.put_void()));
        winkit::ComPtr<IUnknown> object;
        ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IUnknown, object.put_void()));
        EXPECT_EQ(expected, Surface(object.get()));
        object.reset();

        // Aggregated: asked for IUnknown only, and every other interface counts on the outer.
        testcom::Fake<testcom::FakeDispatch> outer;
        IUnknown* controlling = static_cast<IDispatch*>(outer.get());
        winkit::ComPtr<IUnknown> inner;
        EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(controlling, IID_IDispatch, inner.put_void()));
        ASSERT_EQ(S_OK, factory->CreateInstance(controlling, IID_IUnknown, inner.put_void()));
        {
            winkit::ComPtr<IDispatch> face;
            winkit::ComPtr<IUnknown> identity;
            ASSERT_EQ(S_OK, inner->QueryInterface(IID_IDispatch, face.put_void()));
            EXPECT_EQ(2u, outer->RefCount());
            face.QueryTo(IID_IUnknown, identity.put_void());
            EXPECT_EQ(controlling, identity.get());
        }
        EXPECT_EQ(1u, outer->RefCount());
        inner.reset();
        EXPECT_EQ(0, winkit::ModuleLock::Count());
    }
}

} // namespace
