// Registration of the built library with the prefix's regsvr32, and the exported
// DllCanUnloadNow, as a host or an installer meets them.
#include <gtest/gtest.h>
#include "comidentifiers.h"
#include "support/registry_helpers.h"
#include "winkit/com_module.h"
#include "winkit/com_ptr.h"

namespace {

const std::wstring kTaskListClsid = L"{38000212-7CAF-422A-A2E2-AA314A11A2A9}";
const std::wstring kLibId = L"{38000000-7CAF-422A-A2E2-AA314A11A2A9}";
const std::wstring kClientServicesClsid = L"{38000201-7CAF-422A-A2E2-AA314A11A2A9}";

std::wstring LibraryPath() { return ProgramFolder() + L"QRCIGEFrameworkSvcs.dll"; }

DWORD Regsvr32(const wchar_t* options) {
    return RunProcess(std::wstring(L"regsvr32.exe ") + options + L" \"" + LibraryPath() + L"\"");
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    wchar_t fullA[MAX_PATH], fullB[MAX_PATH];
    GetLongPathNameW(a.c_str(), fullA, MAX_PATH);
    GetLongPathNameW(b.c_str(), fullB, MAX_PATH);
    return _wcsicmp(fullA, fullB) == 0;
}

class Registration : public testing::Test {
protected:
    // Whatever a test does, the library stays registered for the script clients.
    void TearDown() override { EXPECT_EQ(0u, Regsvr32(L"/s")); }
};

void ExpectTaskListRegistered() {
    const std::wstring clsidKey = L"CLSID\\" + kTaskListClsid;
    EXPECT_EQ(L"QRCTaskList Class", RegistryString(HKEY_CLASSES_ROOT, L"QRCGenericSvcs.QRCTaskList.380"));
    EXPECT_EQ(kTaskListClsid, RegistryString(HKEY_CLASSES_ROOT, L"QRCGenericSvcs.QRCTaskList.380\\CLSID"));
    EXPECT_EQ(L"QRCTaskList Class", RegistryString(HKEY_CLASSES_ROOT, L"QRCGenericSvcs.QRCTaskList"));
    EXPECT_EQ(kTaskListClsid, RegistryString(HKEY_CLASSES_ROOT, L"QRCGenericSvcs.QRCTaskList\\CLSID"));
    EXPECT_EQ(L"QRCGenericSvcs.QRCTaskList.380", RegistryString(HKEY_CLASSES_ROOT, L"QRCGenericSvcs.QRCTaskList\\CurVer"));

    EXPECT_EQ(L"QRCTaskList Class", RegistryString(HKEY_CLASSES_ROOT, clsidKey));
    EXPECT_EQ(L"QRCGenericSvcs.QRCTaskList.380", RegistryString(HKEY_CLASSES_ROOT, clsidKey + L"\\ProgID"));
    EXPECT_EQ(L"QRCGenericSvcs.QRCTaskList", RegistryString(HKEY_CLASSES_ROOT, clsidKey + L"\\VersionIndependentProgID"));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CLASSES_ROOT, clsidKey + L"\\Programmable"));
    auto server = RegistryString(HKEY_CLASSES_ROOT, clsidKey + L"\\InprocServer32");
    ASSERT_TRUE(server.has_value());
    EXPECT_TRUE(SamePath(*server, LibraryPath())) << *server;
    EXPECT_EQ(L"Apartment", RegistryString(HKEY_CLASSES_ROOT, clsidKey + L"\\InprocServer32", L"ThreadingModel"));
    EXPECT_EQ(kLibId, RegistryString(HKEY_CLASSES_ROOT, clsidKey + L"\\TypeLib"));
    // The type library: version 380.0 is "17c.0" in the registry.
    EXPECT_EQ(L"QRCIGEFrameworkSvcs Version 38.0", RegistryString(HKEY_CLASSES_ROOT, L"TypeLib\\" + kLibId + L"\\17c.0"));
}

void ExpectClientServicesRegistered() {
    const std::wstring clsidKey = L"CLSID\\" + kClientServicesClsid;
    EXPECT_EQ(L"ClientServices Class", RegistryString(HKEY_CLASSES_ROOT, L"QRCIGEFrameworkSvcs.ClientServices.380"));
    EXPECT_EQ(kClientServicesClsid, RegistryString(HKEY_CLASSES_ROOT, L"QRCIGEFrameworkSvcs.ClientServices.380\\CLSID"));
    EXPECT_EQ(L"ClientServices Class", RegistryString(HKEY_CLASSES_ROOT, L"QRCIGEFrameworkSvcs.ClientServices"));
    EXPECT_EQ(kClientServicesClsid, RegistryString(HKEY_CLASSES_ROOT, L"QRCIGEFrameworkSvcs.ClientServices\\CLSID"));
    EXPECT_EQ(L"QRCIGEFrameworkSvcs.ClientServices.380",
              RegistryString(HKEY_CLASSES_ROOT, L"QRCIGEFrameworkSvcs.ClientServices\\CurVer"));
    EXPECT_EQ(L"ClientServices Class", RegistryString(HKEY_CLASSES_ROOT, clsidKey));
    EXPECT_EQ(L"QRCIGEFrameworkSvcs.ClientServices.380", RegistryString(HKEY_CLASSES_ROOT, clsidKey + L"\\ProgID"));
    EXPECT_EQ(L"QRCIGEFrameworkSvcs.ClientServices",
              RegistryString(HKEY_CLASSES_ROOT, clsidKey + L"\\VersionIndependentProgID"));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CLASSES_ROOT, clsidKey + L"\\Programmable"));
    auto server = RegistryString(HKEY_CLASSES_ROOT, clsidKey + L"\\InprocServer32");
    ASSERT_TRUE(server.has_value());
    EXPECT_TRUE(SamePath(*server, LibraryPath())) << *server;
    // Registered without a threading model: the host's main apartment.
    EXPECT_EQ((std::vector<std::wstring>{L""}), RegistryValueNames(HKEY_CLASSES_ROOT, clsidKey + L"\\InprocServer32"));
    EXPECT_EQ(kLibId, RegistryString(HKEY_CLASSES_ROOT, clsidKey + L"\\TypeLib"));
}

} // namespace

TEST_F(Registration, RegisteringWritesEveryValue) {
    ASSERT_EQ(0u, Regsvr32(L"/s"));
    ExpectTaskListRegistered();
    ExpectClientServicesRegistered();
    CLSID clsid;
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"QRCGenericSvcs.QRCTaskList", &clsid));
    EXPECT_EQ(CLSID_QRCTaskList, clsid);
}

TEST_F(Registration, RegisteringTwiceLeavesOneSetOfKeys) {
    ASSERT_EQ(0u, Regsvr32(L"/s"));
    const std::wstring clsidKey = L"CLSID\\" + kTaskListClsid;
    auto before = RegistrySubkeys(HKEY_CLASSES_ROOT, clsidKey);
    // A leftover under the class key goes: the key is removed whole and written again.
    HKEY stale = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CLASSES_ROOT, (clsidKey + L"\\Leftover").c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &stale, nullptr));
    RegCloseKey(stale);
    ASSERT_EQ(0u, Regsvr32(L"/s"));
    EXPECT_EQ(before, RegistrySubkeys(HKEY_CLASSES_ROOT, clsidKey));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, clsidKey + L"\\Leftover"));
    // The server key holds its default value and the threading model, once.
    EXPECT_EQ(2u, RegistryValueNames(HKEY_CLASSES_ROOT, clsidKey + L"\\InprocServer32").size());
    ExpectTaskListRegistered();
}

TEST_F(Registration, UnregisteringRemovesTheClassAndProgIdsButNotTheClsidRoot) {
    ASSERT_EQ(0u, Regsvr32(L"/s"));
    ASSERT_EQ(0u, Regsvr32(L"/u /s"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"QRCGenericSvcs.QRCTaskList"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"QRCGenericSvcs.QRCTaskList.380"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"CLSID\\" + kTaskListClsid));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"QRCIGEFrameworkSvcs.ClientServices"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"QRCIGEFrameworkSvcs.ClientServices.380"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"CLSID\\" + kClientServicesClsid));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"CLSID"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"TypeLib\\" + kLibId + L"\\17c.0"));
    // Unregistering what is not registered is not an error.
    EXPECT_EQ(0u, Regsvr32(L"/u /s"));
}

TEST_F(Registration, DllCanUnloadNowFollowsObjectsAndServerLocks) {
    HMODULE library = LoadLibraryW(LibraryPath().c_str());
    ASSERT_NE(nullptr, library);
    auto getClassObject = reinterpret_cast<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(GetProcAddress(library, "DllGetClassObject"));
    auto canUnloadNow = reinterpret_cast<HRESULT(WINAPI*)()>(GetProcAddress(library, "DllCanUnloadNow"));
    ASSERT_NE(nullptr, getClassObject);
    ASSERT_NE(nullptr, canUnloadNow);
    ASSERT_NE(nullptr, GetProcAddress(library, "DllRegisterServer"));
    ASSERT_NE(nullptr, GetProcAddress(library, "DllUnregisterServer"));

    EXPECT_EQ(S_OK, canUnloadNow());
    {
        winkit::ComPtr<IClassFactory> factory;
        ASSERT_EQ(S_OK, getClassObject(CLSID_QRCTaskList, IID_IClassFactory, factory.put_void()));
        winkit::ComPtr<IClassFactory> again;
        ASSERT_EQ(S_OK, getClassObject(CLSID_QRCTaskList, IID_IClassFactory, again.put_void()));
        EXPECT_EQ(factory.get(), again.get());  // created once and cached
        winkit::ComPtr<IUnknown> none;
        EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, getClassObject(IID_IUnknown, IID_IClassFactory, none.put_void()));

        winkit::ComPtr<IQRCTaskList> list;
        ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IQRCTaskList, list.put_void()));
        EXPECT_EQ(S_FALSE, canUnloadNow());
        VARIANT_BOOL ok = VARIANT_TRUE;
        EXPECT_EQ(E_FAIL, list->Show(0, &ok));
        list.reset();
        EXPECT_EQ(S_OK, canUnloadNow());
        factory->LockServer(TRUE);
        EXPECT_EQ(S_FALSE, canUnloadNow());
        factory->LockServer(FALSE);
        EXPECT_EQ(S_OK, canUnloadNow());
    }
    SetErrorInfo(0, nullptr);
    FreeLibrary(library);
}
