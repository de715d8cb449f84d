// Registration with the prefix's regsvr32, the class objects and DllCanUnloadNow.
#include <gtest/gtest.h>
#include <algorithm>
#include <sddl.h>
#include "comidentifiers.h"
#include "support/registry_helpers.h"
#include "winkit/com_module.h"
#include "winkit/com_ptr.h"

using namespace std::string_literals;

namespace {

const std::wstring kLibId = L"{38000000-7CAF-422A-A2E2-AA314A11A2A9}";
const std::wstring kTaskList = L"CLSID\\{38000212-7CAF-422A-A2E2-AA314A11A2A9}";
const std::wstring kClientServices = L"CLSID\\{38000201-7CAF-422A-A2E2-AA314A11A2A9}";

std::wstring LibraryPath() { return ProgramFolder() + L"QRCIGEFrameworkSvcs.dll"; }

DWORD Regsvr32(const wchar_t* options) {
    return RunProcess(std::wstring(L"regsvr32.exe ") + options + L" \"" + LibraryPath() + L"\"");
}

bool IsLibrary(const std::wstring& path) {
    wchar_t a[MAX_PATH], b[MAX_PATH];
    return GetLongPathNameW(path.c_str(), a, MAX_PATH) && GetLongPathNameW(LibraryPath().c_str(), b, MAX_PATH) &&
           _wcsicmp(a, b) == 0;
}

// Every key under HKEY_CLASSES_ROOT\<path> as "key [value] = text", sorted; a key
// without values as its name alone.
void Dump(const std::wstring& path, std::vector<std::wstring>& lines) {
    if (!RegistryKeyExists(HKEY_CLASSES_ROOT, path)) return;
    std::vector<std::wstring> values = RegistryValueNames(HKEY_CLASSES_ROOT, path);
    std::sort(values.begin(), values.end());
    if (values.empty()) lines.push_back(path);
    for (const std::wstring& name : values) {
        std::wstring text = RegistryString(HKEY_CLASSES_ROOT, path, name.empty() ? nullptr : name.c_str())
                                .value_or(L"(not a string)");
        lines.push_back(path + (name.empty() ? L"" : L" " + name) + L" = " + (IsLibrary(text) ? L"<library>" : text));
    }
    std::vector<std::wstring> subkeys = RegistrySubkeys(HKEY_CLASSES_ROOT, path);
    std::sort(subkeys.begin(), subkeys.end());
    for (const std::wstring& subkey : subkeys) Dump(path + L"\\" + subkey, lines);
}

std::vector<std::wstring> Dump(std::initializer_list<std::wstring> paths) {
    std::vector<std::wstring> lines;
    for (const std::wstring& path : paths) Dump(path, lines);
    return lines;
}

// What registering writes for a class: its two ProgIDs and its CLSID key, as Dump lists them.
std::vector<std::wstring> ClassKeys(const std::wstring& progId, const std::wstring& name, const wchar_t* number,
                                    const wchar_t* threadingModel) {
    const std::wstring clsid = L"{38000" + std::wstring(number) + L"-7CAF-422A-A2E2-AA314A11A2A9}", key = L"CLSID\\" + clsid;
    std::vector<std::wstring> lines = {progId + L" = " + name + L" Class", progId + L"\\CLSID = " + clsid,
                                       progId + L"\\CurVer = " + progId + L".380", progId + L".380 = " + name + L" Class",
                                       progId + L".380\\CLSID = " + clsid, key + L" = " + name + L" Class",
                                       key + L"\\InprocServer32 = <library>"};
    if (threadingModel) lines.push_back(key + L"\\InprocServer32 ThreadingModel = " + threadingModel);
    for (const std::wstring& line : {L"\\ProgID = " + progId + L".380", L"\\Programmable"s, L"\\TypeLib = " + kLibId,
                                     L"\\VersionIndependentProgID = " + progId})
        lines.push_back(key + line);
    return lines;
}

class Registration : public testing::Test {
protected:
    // Whatever a test does, the library stays registered for the script clients.
    void TearDown() override { EXPECT_EQ(0u, Regsvr32(L"/s")); }
};

TEST_F(Registration, WritesTheClassesProgIdsAndTypeLibrary) {
    ASSERT_EQ(0u, Regsvr32(L"/u /s"));
    ASSERT_EQ(0u, Regsvr32(L"/s"));

    // The client services carry no threading model: they live in the host's main apartment.
    EXPECT_EQ(ClassKeys(L"QRCGenericSvcs.QRCTaskList", L"QRCTaskList", L"212", L"Apartment"),
              Dump({L"QRCGenericSvcs.QRCTaskList", L"QRCGenericSvcs.QRCTaskList.380", kTaskList}));
    EXPECT_EQ(ClassKeys(L"QRCIGEFrameworkSvcs.ClientServices", L"ClientServices", L"201", nullptr),
              Dump({L"QRCIGEFrameworkSvcs.ClientServices", L"QRCIGEFrameworkSvcs.ClientServices.380", kClientServices}));
    // Version 380.0 is "17c.0" in the registry.
    EXPECT_EQ(L"QRCIGEFrameworkSvcs Version 38.0", RegistryString(HKEY_CLASSES_ROOT, L"TypeLib\\" + kLibId + L"\\17c.0"));
}

TEST_F(Registration, UnregisteringRemovesTheClassesProgIdsAndTypeLibraryButNotTheClsidRoot) {
    ASSERT_EQ(0u, Regsvr32(L"/s"));
    ASSERT_EQ(0u, Regsvr32(L"/u /s"));
    EXPECT_EQ(std::vector<std::wstring>{},
              Dump({L"QRCGenericSvcs.QRCTaskList", L"QRCGenericSvcs.QRCTaskList.380", kTaskList,
                    L"QRCIGEFrameworkSvcs.ClientServices", L"QRCIGEFrameworkSvcs.ClientServices.380", kClientServices,
                    L"TypeLib\\" + kLibId + L"\\17c.0"}));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"CLSID"));
    EXPECT_EQ(0u, Regsvr32(L"/u /s")) << "unregistering what is not registered is no error";
}

// The security of a key of HKEY_CLASSES_ROOT, given in the platform's descriptor language.
LONG SetKeySecurity(const std::wstring& path, const wchar_t* descriptor) {
    HKEY key = nullptr;
    LONG result = RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, WRITE_DAC, &key);
    if (result != ERROR_SUCCESS) return result;
    PSECURITY_DESCRIPTOR security = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(descriptor, SDDL_REVISION_1, &security, nullptr))
        result = static_cast<LONG>(GetLastError());
    else
        result = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, security);
    LocalFree(security);
    RegCloseKey(key);
    return result;
}

// A key whose DELETE right is taken away cannot be removed: unregistering says so (and
// removes what it can); once the key can go, unregistering succeeds.
TEST_F(Registration, UnregisteringReportsAKeyItCannotRemove) {
    ASSERT_EQ(0u, Regsvr32(L"/s"));
    const std::wstring locked = kTaskList + L"\\InprocServer32";
    ASSERT_EQ(ERROR_SUCCESS, SetKeySecurity(locked, L"D:(D;;SD;;;WD)(A;;KA;;;WD)"));
    HMODULE library = LoadLibraryW(LibraryPath().c_str());
    ASSERT_NE(nullptr, library);
    auto unregister = reinterpret_cast<HRESULT(WINAPI*)()>(GetProcAddress(library, "DllUnregisterServer"));
    ASSERT_NE(nullptr, unregister);
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED), unregister());
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, kClientServices)) << "the rest is removed all the same";
    if (RegistryKeyExists(HKEY_CLASSES_ROOT, locked)) {
        EXPECT_EQ(ERROR_SUCCESS, SetKeySecurity(locked, L"D:(A;;KA;;;WD)"));
    }
    EXPECT_EQ(S_OK, unregister());
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, kTaskList));
    FreeLibrary(library);
}

TEST_F(Registration, DllCanUnloadNowFollowsObjectsAndServerLocks) {
    HMODULE library = LoadLibraryW(LibraryPath().c_str());
    ASSERT_NE(nullptr, library);
    using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    auto getClassObject = reinterpret_cast<GetClassObject>(GetProcAddress(library, "DllGetClassObject"));
    auto canUnloadNow = reinterpret_cast<HRESULT(WINAPI*)()>(GetProcAddress(library, "DllCanUnloadNow"));
    ASSERT_NE(nullptr, getClassObject);
    ASSERT_NE(nullptr, canUnloadNow);
    EXPECT_EQ(S_OK, canUnloadNow());
    {
        winkit::ComPtr<IClassFactory> factory, again;
        winkit::ComPtr<IUnknown> none;
        EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, getClassObject(IID_IUnknown, IID_IClassFactory, none.put_void()));
        ASSERT_EQ(S_OK, getClassObject(CLSID_QRCTaskList, IID_IClassFactory, factory.put_void()));
        ASSERT_EQ(S_OK, getClassObject(CLSID_QRCTaskList, IID_IClassFactory, again.put_void()));
        EXPECT_EQ(factory.get(), again.get()) << "made once and kept";
        EXPECT_EQ(S_OK, canUnloadNow()) << "a class object alone does not lock";
        // A new object asked for an interface it lacks is destroyed again.
        EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IPersist, none.put_void()));
        EXPECT_EQ(S_OK, canUnloadNow());

        winkit::ComPtr<IQRCTaskList> list;
        ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IQRCTaskList, list.put_void()));
        EXPECT_EQ(S_FALSE, canUnloadNow());
        list.reset();
        EXPECT_EQ(S_OK, canUnloadNow());
        factory->LockServer(TRUE);
        EXPECT_EQ(S_FALSE, canUnloadNow());
        factory->LockServer(FALSE);
        EXPECT_EQ(S_OK, canUnloadNow());
    }
    FreeLibrary(library);
}

} // namespace
