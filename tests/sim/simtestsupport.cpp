#include "simtestsupport.h"

#include <fstream>
#include <iterator>
#include "diagnostics/qrerrorelement.h"
#include "simworkspace.h"
#include "support/errorinfo_helpers.h"
#include "winkit/unique_bstr.h"
#include "winkit/unique_variant.h"

namespace simtest {

namespace {

BSTR Text(std::vector<winkit::UniqueBstr>& held, const std::wstring& text) {
    return held.emplace_back(winkit::UniqueBstr::Copy(text)).get();
}

winkit::UniqueVariant Value(const Field& field) {
    if (field.type == VT_BSTR) return winkit::UniqueVariant::String(field.text);
    winkit::UniqueVariant value = winkit::UniqueVariant::Double(field.number);
    if (field.type != VT_R8) VariantChangeType(value.get(), value.get(), 0, field.type);
    return value;
}

} // namespace

ScratchFolder::ScratchFolder() {
    static int counter = 0;
    path = std::filesystem::temp_directory_path() /
           (L"qrsimtest-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter));
    std::filesystem::create_directories(path);
}

std::vector<std::wstring> ScratchFolder::Files() const {
    std::vector<std::wstring> names;
    for (const auto& entry : std::filesystem::directory_iterator(path)) names.push_back(entry.path().filename().wstring());
    return names;
}

std::string ReadBytes(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream(std::filesystem::path(path), std::ios::binary) << bytes;
}

std::wstring TakeErrorDesc() { return FirstDesc(TakeThreadError().description); }

SampleCopy::SampleCopy() {
    std::filesystem::copy_file("Z:" QRC_SOURCE_DIR "/sim/data/sample-workspace.xml", path);
    sim::SimWorkspace::Create(nullptr, __uuidof(IQRSimWorkspace), scriptable.put_void());
    if (SUCCEEDED(scriptable->Open(winkit::UniqueBstr::Copy(path).get())))
        scriptable->QueryInterface(__uuidof(IWorkspace), workspace.put_void());
}

std::wstring SampleCopy::Field(long index, const wchar_t* name) const {
    winkit::UniqueBstr value;
    HRESULT hr = scriptable->TaskField(index, winkit::UniqueBstr::Copy(name).get(), value.put());
    return SUCCEEDED(hr) ? value.str() : L"FAILED";
}

CallResult Run(IServiceRequest* request, const Call& call) {
    std::vector<winkit::UniqueBstr> held;
    request->SetComponent(Text(held, call.component));
    request->SetMethod(Text(held, call.method));
    if (!call.fields.empty()) {
        request->BeginInput();
        request->BeginElement(Text(held, L"TaskItem"));
        for (const Field& field : call.fields) request->AddField(Text(held, field.name), *Value(field).get());
        request->EndElement(Text(held, L"TaskItem"));
    }
    if (!call.text.empty()) request->SetInput(Text(held, call.text));
    ClearThreadError();
    CallResult result;
    result.hr = request->Execute(0);
    if (FAILED(result.hr)) result.error = TakeErrorDesc();
    winkit::UniqueBstr output;
    request->GetOutput(output.put());
    result.output = output.str();
    return result;
}

CallResult Run(IWorkspace* workspace, const Call& call) {
    winkit::ComPtr<IServiceRequest> request;
    if (FAILED(workspace->CreateServiceRequest(request.put()))) return {};
    request->SetFlags(0);
    return Run(request.get(), call);
}

} // namespace simtest
