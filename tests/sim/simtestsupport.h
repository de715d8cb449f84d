#pragma once
// What the partner component tests share: a scratch folder, whole-file bytes and a copy
// of the sample workspace opened by the linked workspace code.
#include <windows.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include "diagnostics/qrerrorelement.h"
#include "hostinterfaces.h"
#include "simworkspace.h"
#include "support/errorinfo_helpers.h"
#include "winkit/unique_bstr.h"

namespace simtest {

// A new, empty folder under %TEMP%, removed with its files at the end.
struct ScratchFolder {
    ScratchFolder() {
        static int counter = 0;
        path = std::filesystem::temp_directory_path() /
               (L"qrsimtest-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter));
        std::filesystem::create_directories(path);
    }
    ~ScratchFolder() { std::filesystem::remove_all(path); }
    std::wstring File(const wchar_t* name) const { return (path / name).wstring(); }
    std::vector<std::wstring> Files() const {
        std::vector<std::wstring> names;
        for (const auto& entry : std::filesystem::directory_iterator(path)) names.push_back(entry.path().filename().wstring());
        return names;
    }

    std::filesystem::path path;
};

inline std::string ReadBytes(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}
// The first Desc of the thread's error information (taken, so it is cleared), or "".
inline std::wstring TakeErrorDesc() { return FirstDesc(TakeThreadError().description); }

// A copy of sim/data/sample-workspace.xml, opened by a workspace object of the linked code.
struct SampleCopy {
    SampleCopy() {
        std::filesystem::copy_file("Z:" QRC_SOURCE_DIR "/sim/data/sample-workspace.xml", path);
        sim::SimWorkspace::Create(nullptr, __uuidof(IQRSimWorkspace), scriptable.put_void());
        if (SUCCEEDED(scriptable->Open(winkit::UniqueBstr::Copy(path).get())))
            scriptable->QueryInterface(__uuidof(IWorkspace), workspace.put_void());
    }
    // TaskField, or "FAILED".
    std::wstring Field(long index, const wchar_t* name) const {
        winkit::UniqueBstr value;
        HRESULT hr = scriptable->TaskField(index, winkit::UniqueBstr::Copy(name).get(), value.put());
        return SUCCEEDED(hr) ? value.str() : L"FAILED";
    }

    ScratchFolder folder;
    std::wstring path = folder.File(L"workspace.xml");
    winkit::ComPtr<IQRSimWorkspace> scriptable;
    winkit::ComPtr<IWorkspace> workspace;
};

} // namespace simtest
