// The embedded type library as a late-bound caller sees it: library attributes, the
// task list's interface, its methods, DISPIDs, parameters and help strings.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "comidentifiers.h"
#include "winkit/com_module.h"
#include "winkit/com_ptr.h"
#include "winkit/unique_bstr.h"

namespace {

std::wstring Documentation(ITypeLib* lib, int index, std::wstring* help = nullptr) {
    winkit::UniqueBstr name, doc;
    lib->GetDocumentation(index, name.put(), doc.put(), nullptr, nullptr);
    if (help) *help = doc.str();
    return name.str();
}

struct Param {
    std::wstring name;
    USHORT flags;
};

struct Method {
    std::wstring name;
    DISPID id;
    INVOKEKIND kind;
    std::wstring help;
    std::vector<Param> params;
    VARIANT firstDefault;
};

std::vector<Method> Methods(ITypeInfo* info) {
    std::vector<Method> methods;
    TYPEATTR* attr = nullptr;
    info->GetTypeAttr(&attr);
    for (UINT i = 0; i < attr->cFuncs; ++i) {
        FUNCDESC* func = nullptr;
        info->GetFuncDesc(i, &func);
        Method m;
        m.id = func->memid;
        m.kind = func->invkind;
        VariantInit(&m.firstDefault);
        winkit::UniqueBstr names[8];
        BSTR raw[8] = {};
        UINT count = 0;
        info->GetNames(func->memid, raw, 8, &count);
        for (UINT n = 0; n < count; ++n) names[n].reset(raw[n]);
        m.name = names[0].str();
        winkit::UniqueBstr help;
        info->GetDocumentation(func->memid, nullptr, help.put(), nullptr, nullptr);
        m.help = help.str();
        for (SHORT p = 0; p < func->cParams; ++p) {
            const ELEMDESC& e = func->lprgelemdescParam[p];
            m.params.push_back({p + 1 < static_cast<SHORT>(count) ? names[p + 1].str() : L"", e.paramdesc.wParamFlags});
            if (p == 0 && (e.paramdesc.wParamFlags & PARAMFLAG_FHASDEFAULT))
                VariantCopy(&m.firstDefault, &e.paramdesc.pparamdescex->varDefaultValue);
        }
        info->ReleaseFuncDesc(func);
        methods.push_back(m);
    }
    info->ReleaseTypeAttr(attr);
    return methods;
}

} // namespace

TEST(TypeLibrary, LibraryAttributes) {
    winkit::ComPtr<ITypeLib> lib;
    ASSERT_EQ(S_OK, winkit::ComModule::Get().TypeLib(lib.put()));
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(S_OK, lib->GetLibAttr(&attr));
    EXPECT_EQ(LIBID_QRCIGEFrameworkSvcs, attr->guid);
    EXPECT_EQ(380, attr->wMajorVerNum);
    EXPECT_EQ(0, attr->wMinorVerNum);
    EXPECT_EQ(0x409u, attr->lcid);
    lib->ReleaseTLibAttr(attr);
    std::wstring help;
    EXPECT_EQ(L"QRCIGEFrameworkSvcs", Documentation(lib.get(), -1, &help));
    EXPECT_EQ(L"QRCIGEFrameworkSvcs Version 38.0", help);

    winkit::ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(S_OK, lib->GetTypeInfoOfGuid(CLSID_QRCTaskList, coclass.put()));
    winkit::UniqueBstr name, doc;
    coclass->GetDocumentation(MEMBERID_NIL, name.put(), doc.put(), nullptr, nullptr);
    EXPECT_EQ(L"QRCTaskList", name.str());
    EXPECT_EQ(L"QRCTaskList Class", doc.str());
    TYPEATTR* typeAttr = nullptr;
    coclass->GetTypeAttr(&typeAttr);
    EXPECT_TRUE(typeAttr->wTypeFlags & TYPEFLAG_FCANCREATE);
    coclass->ReleaseTypeAttr(typeAttr);
    HREFTYPE ref;
    ASSERT_EQ(S_OK, coclass->GetRefTypeOfImplType(0, &ref));
    INT implFlags = 0;
    coclass->GetImplTypeFlags(0, &implFlags);
    EXPECT_TRUE(implFlags & IMPLTYPEFLAG_FDEFAULT);
    winkit::ComPtr<ITypeInfo> defaultInterface;
    coclass->GetRefTypeInfo(ref, defaultInterface.put());
    defaultInterface->GetTypeAttr(&typeAttr);
    EXPECT_EQ(IID_IQRCTaskList, typeAttr->guid);
    defaultInterface->ReleaseTypeAttr(typeAttr);
}

TEST(TypeLibrary, TaskListInterface) {
    // The dual interface is found as its dispatch view; its vtable view holds the methods.
    winkit::ComPtr<ITypeInfo> dispatchView, info;
    ASSERT_EQ(S_OK, winkit::ComModule::Get().TypeInfo(IID_IQRCTaskList, dispatchView.put()));
    HREFTYPE vtableRef;
    ASSERT_EQ(S_OK, dispatchView->GetRefTypeOfImplType(-1, &vtableRef));
    ASSERT_EQ(S_OK, dispatchView->GetRefTypeInfo(vtableRef, info.put()));
    TYPEATTR* attr = nullptr;
    info->GetTypeAttr(&attr);
    EXPECT_EQ(TKIND_INTERFACE, attr->typekind);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDUAL);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FOLEAUTOMATION);
    info->ReleaseTypeAttr(attr);
    winkit::UniqueBstr help;
    info->GetDocumentation(MEMBERID_NIL, nullptr, help.put(), nullptr, nullptr);
    EXPECT_EQ(L"IQRCTaskList Interface", help.str());

    std::vector<Method> methods = Methods(info.get());
    ASSERT_EQ(2u, methods.size());  // after the seven of IDispatch

    EXPECT_EQ(L"Initialize", methods[0].name);
    EXPECT_EQ(0x60020101, methods[0].id);
    EXPECT_EQ(INVOKE_FUNC, methods[0].kind);
    EXPECT_EQ(L"Method to Initialize the TaskList interface", methods[0].help);
    ASSERT_EQ(1u, methods[0].params.size());
    EXPECT_EQ(L"pWorkspace", methods[0].params[0].name);
    EXPECT_EQ(PARAMFLAG_FIN, methods[0].params[0].flags);

    EXPECT_EQ(L"Show", methods[1].name);
    EXPECT_EQ(0x60020102, methods[1].id);
    EXPECT_EQ(L"Method to show Task List dialog", methods[1].help);
    ASSERT_EQ(2u, methods[1].params.size());
    EXPECT_EQ(L"lParentHWnd", methods[1].params[0].name);
    EXPECT_EQ(PARAMFLAG_FIN | PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT, methods[1].params[0].flags);
    EXPECT_EQ(VT_I4, V_VT(&methods[1].firstDefault));
    EXPECT_EQ(0, V_I4(&methods[1].firstDefault));
    EXPECT_EQ(L"pbDialogOK", methods[1].params[1].name);
    EXPECT_EQ(PARAMFLAG_FOUT | PARAMFLAG_FRETVAL, methods[1].params[1].flags);
}
