// The embedded type library as clients see it: IQRCIGEFClientServices method by method
// (name, DISPID, invoke kind, parameter names, directions and types, help string), its
// coclass and the library's own attributes. Catches slips in the IDL.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "comidentifiers.h"
#include "winkit/com_module.h"
#include "winkit/com_ptr.h"

namespace {

constexpr USHORT kIn = PARAMFLAG_FIN;
constexpr USHORT kOutRetval = PARAMFLAG_FOUT | PARAMFLAG_FRETVAL;
constexpr USHORT kNone = 0;  // no direction attribute

struct Parameter {
    const wchar_t* name;  // empty: unnamed
    USHORT flags;
    const wchar_t* type;
};

struct Method {
    const wchar_t* name;
    MEMBERID dispid;
    INVOKEKIND kind;
    std::vector<Parameter> parameters;
    const wchar_t* help;
};

const std::vector<Method>& ExpectedMethods() {
    static const std::vector<Method> methods = {
        {L"ConnectToEF", 1, INVOKE_FUNC, {}, L"method ConnectToEF"},
        {L"Publish", 2, INVOKE_FUNC, {{L"sOID", kNone, L"BSTR"}}, L"method Publish"},
        {L"ConnectionStatus", 3, INVOKE_PROPERTYGET, {{L"pVal", kOutRetval, L"long*"}}, L"property ConnectionStatus"},
        {L"GetEFData", 4, INVOKE_FUNC,
         {{L"Signature", kNone, L"BSTR*"}, {L"Url", kNone, L"BSTR*"}, {L"Plant", kNone, L"BSTR*"}},
         L"method GetEFData"},
        {L"SetEFData", 5, INVOKE_FUNC,
         {{L"Signature", kNone, L"BSTR"}, {L"Url", kNone, L"BSTR"}, {L"Plant", kNone, L"BSTR"}}, L"method SetEFData"},
        {L"GetPlantData", 6, INVOKE_FUNC,
         {{L"Plant", kNone, L"BSTR*"}, {L"Area", kNone, L"BSTR*"}, {L"Unit", kNone, L"BSTR*"}},
         L"method GetPlantData"},
        {L"SetPlantData", 7, INVOKE_FUNC,
         {{L"Plant", kNone, L"BSTR"}, {L"Area", kNone, L"BSTR"}, {L"Unit", kNone, L"BSTR"}}, L"method SetPlantData"},
        {L"XMLFileName", 8, INVOKE_PROPERTYGET, {{L"pVal", kOutRetval, L"BSTR*"}}, L"property XMLFileName"},
        {L"XMLFileName", 8, INVOKE_PROPERTYPUT, {{L"", kIn, L"BSTR"}}, L"property XMLFileName"},
        {L"Retrieve", 9, INVOKE_FUNC, {}, L"method Retrieve"},
        {L"FindDocsToPublish", 10, INVOKE_FUNC, {}, L"method FindDocsToPublish"},
        {L"LaunchFrameworkBrowser", 11, INVOKE_FUNC, {}, L"method LaunchFrameworkBrowser"},
        {L"Initialize", 12, INVOKE_FUNC, {{L"pWorkspace", kNone, L"IDispatch*"}}, L"method Initialize"},
        {L"Register", 13, INVOKE_FUNC, {{L"pWorkspace", kNone, L"IDispatch*"}}, L"method Register"},
        {L"UnInitialize", 14, INVOKE_FUNC, {}, L"method UnInitialize"},
        {L"GetProjectList", 15, INVOKE_FUNC, {{L"Projects", kOutRetval, L"SAFEARRAY(VARIANT)*"}},
         L"method GetProjectList"},
        {L"ClaimStream", 16, INVOKE_FUNC, {{L"pWorkspace", kIn, L"IDispatch*"}, {L"saOID", kIn, L"VARIANT"}},
         L"method to claim a stream"},
        {L"SynchronizeClaims", 17, INVOKE_FUNC,
         {{L"ClaimsXML", kNone, L"BSTR"}, {L"pErrorMessage", kOutRetval, L"BSTR*"}},
         L"method to synchronize claims with ZUD"},
        {L"PublishProjectAsBuilt", 18, INVOKE_FUNC, {{L"sProjectName", kIn, L"BSTR"}},
         L"method to publish all document from As-Built following a commit"},
        {L"ClaimObject", 19, INVOKE_FUNC, {{L"strOID", kIn, L"BSTR"}}, L"method to claim any object"},
        {L"Revise", 20, INVOKE_FUNC, {{L"sOID", kNone, L"BSTR"}}, L"method Revise"},
        {L"SupportsFeature", 21, INVOKE_FUNC,
         {{L"Feature", kIn, L"BSTR"}, {L"Supported", kOutRetval, L"VARIANT_BOOL*"}}, L"method SupportsFeature"},
    };
    return methods;
}

std::wstring TypeText(ITypeInfo* info, const TYPEDESC& type) {
    switch (type.vt) {
    case VT_PTR: return TypeText(info, *type.lptdesc) + L"*";
    case VT_SAFEARRAY: return L"SAFEARRAY(" + TypeText(info, *type.lptdesc) + L")";
    case VT_BSTR: return L"BSTR";
    case VT_I4: return L"long";
    case VT_BOOL: return L"VARIANT_BOOL";
    case VT_VARIANT: return L"VARIANT";
    case VT_DISPATCH: return L"IDispatch*";
    case VT_HRESULT: return L"HRESULT";
    case VT_USERDEFINED: {
        winkit::ComPtr<ITypeInfo> referenced;
        BSTR name = nullptr;
        if (FAILED(info->GetRefTypeInfo(type.hreftype, referenced.put())) ||
            FAILED(referenced->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr)))
            return L"?";
        std::wstring text = name;
        SysFreeString(name);
        return text;
    }
    default: return L"vt " + std::to_wstring(type.vt);
    }
}

struct Documentation {
    std::wstring name, help;
};

Documentation Document(ITypeInfo* info, MEMBERID member) {
    BSTR name = nullptr, help = nullptr;
    EXPECT_EQ(S_OK, info->GetDocumentation(member, &name, &help, nullptr, nullptr));
    Documentation documentation{name ? name : L"", help ? help : L""};
    SysFreeString(name);
    SysFreeString(help);
    return documentation;
}

class TypeLibraryTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(S_OK, winkit::ComModule::Get().TypeLib(library.put())); }
    winkit::ComPtr<ITypeLib> library;
};

TEST_F(TypeLibraryTest, LibraryAttributes) {
    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(S_OK, library->GetLibAttr(&attributes));
    EXPECT_TRUE(IsEqualGUID(LIBID_QRCIGEFrameworkSvcs, attributes->guid));
    EXPECT_EQ(380, attributes->wMajorVerNum);
    EXPECT_EQ(0, attributes->wMinorVerNum);
    EXPECT_EQ(0x409u, attributes->lcid);
    library->ReleaseTLibAttr(attributes);
    BSTR name = nullptr, help = nullptr;
    ASSERT_EQ(S_OK, library->GetDocumentation(-1, &name, &help, nullptr, nullptr));
    EXPECT_STREQ(L"QRCIGEFrameworkSvcs", name);
    EXPECT_STREQ(L"QRCIGEFrameworkSvcs Version 38.0", help);
    SysFreeString(name);
    SysFreeString(help);
}

TEST_F(TypeLibraryTest, ClientServicesCoclassIsCreatableWithItsDefaultInterface) {
    winkit::ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(CLSID_QRCIGEFClientServices, coclass.put()));
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(S_OK, coclass->GetTypeAttr(&attributes));
    EXPECT_EQ(TKIND_COCLASS, attributes->typekind);
    EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FCANCREATE);
    EXPECT_EQ(1, attributes->cImplTypes);
    coclass->ReleaseTypeAttr(attributes);
    Documentation documentation = Document(coclass.get(), MEMBERID_NIL);
    EXPECT_EQ(L"QRCIGEFClientServices", documentation.name);
    EXPECT_EQ(L"QRCIGEFClientServices Class", documentation.help);

    INT implFlags = 0;
    ASSERT_EQ(S_OK, coclass->GetImplTypeFlags(0, &implFlags));
    EXPECT_TRUE(implFlags & IMPLTYPEFLAG_FDEFAULT);
    HREFTYPE reference = 0;
    winkit::ComPtr<ITypeInfo> face;
    ASSERT_EQ(S_OK, coclass->GetRefTypeOfImplType(0, &reference));
    ASSERT_EQ(S_OK, coclass->GetRefTypeInfo(reference, face.put()));
    EXPECT_EQ(L"IQRCIGEFClientServices", Document(face.get(), MEMBERID_NIL).name);
}

TEST_F(TypeLibraryTest, ClientServicesInterfaceIsDualWithItsMethodsInOrder) {
    winkit::ComPtr<ITypeInfo> dispatchSide;
    ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(IID_IQRCIGEFClientServices, dispatchSide.put()));
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(S_OK, dispatchSide->GetTypeAttr(&attributes));
    EXPECT_EQ(TKIND_DISPATCH, attributes->typekind);
    EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FDUAL);
    dispatchSide->ReleaseTypeAttr(attributes);
    EXPECT_EQ(L"IQRCIGEFClientServices Interface", Document(dispatchSide.get(), MEMBERID_NIL).help);

    // The vtable side lists the methods after the seven of IDispatch, in table order.
    HREFTYPE reference = 0;
    winkit::ComPtr<ITypeInfo> info;
    ASSERT_EQ(S_OK, dispatchSide->GetRefTypeOfImplType(-1, &reference));
    ASSERT_EQ(S_OK, dispatchSide->GetRefTypeInfo(reference, info.put()));
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attributes));
    EXPECT_EQ(TKIND_INTERFACE, attributes->typekind);
    EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FDUAL);
    EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FOLEAUTOMATION);
    const std::vector<Method>& expected = ExpectedMethods();
    ASSERT_EQ(expected.size(), attributes->cFuncs);
    info->ReleaseTypeAttr(attributes);

    for (UINT index = 0; index < expected.size(); ++index) {
        const Method& method = expected[index];
        SCOPED_TRACE(testing::PrintToString(std::wstring(method.name)) + " #" + std::to_string(index + 1));
        FUNCDESC* function = nullptr;
        ASSERT_EQ(S_OK, info->GetFuncDesc(index, &function));
        EXPECT_EQ(method.dispid, function->memid);
        EXPECT_EQ(method.kind, function->invkind);
        EXPECT_EQ(VT_HRESULT, function->elemdescFunc.tdesc.vt);
        ASSERT_EQ(method.parameters.size(), static_cast<size_t>(function->cParams));

        // GetNames by DISPID answers for the first function with it: the property get.
        BSTR names[8] = {};
        UINT count = 0;
        ASSERT_EQ(S_OK, info->GetNames(function->memid, names, 8, &count));
        EXPECT_STREQ(method.name, names[0]);
        bool sharesItsDispid = method.kind == INVOKE_PROPERTYPUT;
        for (size_t k = 0; k < method.parameters.size(); ++k) {
            const Parameter& parameter = method.parameters[k];
            SCOPED_TRACE(testing::PrintToString(std::wstring(parameter.name)));
            EXPECT_EQ(parameter.flags, function->lprgelemdescParam[k].paramdesc.wParamFlags);
            EXPECT_EQ(parameter.type, TypeText(info.get(), function->lprgelemdescParam[k].tdesc));
            if (!sharesItsDispid && *parameter.name) {
                ASSERT_LT(k + 1, count);
                EXPECT_STREQ(parameter.name, names[k + 1]);
            }
        }
        for (UINT n = 0; n < count; ++n) SysFreeString(names[n]);
        EXPECT_EQ(method.help, Document(info.get(), function->memid).help);
        info->ReleaseFuncDesc(function);
    }
}

} // namespace
