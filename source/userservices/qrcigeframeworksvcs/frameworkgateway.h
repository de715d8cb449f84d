#pragma once
// The only code that talks to IServiceRequest: every call to the framework component
// "QRDBEFrameworkSvcs.Main" goes through a request that the workspace makes, in a fixed
// order of calls.
#include <string_view>
#include "comidentifiers.h"
#include "winkit/com_ptr.h"
#include "winkit/unique_bstr.h"

class TaskItemCollection;

inline constexpr const wchar_t* kTaskItemElement = L"TaskItem";

// One request object for one operation.
class FrameworkRequest {
public:
    // CreateServiceRequest, then SetFlags(0), SetComponent and SetMethod. Returns the
    // failure of CreateServiceRequest; the results of the three setters are not examined.
    static HRESULT Open(IWorkspace* workspace, const wchar_t* method, FrameworkRequest& out);

    // SetInput only for a text that is not empty.
    void SetInput(std::wstring_view text);
    // A second method on the same request, as saving task properties does.
    void SetMethod(const wchar_t* method);
    // BeginInput(); the record's element follows.
    void BeginInput();
    void BeginRecord();  // BeginElement("TaskItem")
    void AddField(const wchar_t* name, const VARIANT& value);
    void AddLong(const wchar_t* name, LONG value);
    void AddText(const wchar_t* name, std::wstring_view text);
    void AddDate(const wchar_t* name, double automationDate);  // VT_R8, not VT_DATE
    void EndRecord();    // EndElement("TaskItem")

    HRESULT Execute();
    // The output text; on failure the text is left empty.
    HRESULT GetOutput(winkit::UniqueBstr& output);

    IServiceRequest* get() const { return request_.get(); }

private:
    winkit::ComPtr<IServiceRequest> request_;
};

// The text call: the method with one input text (not set when empty); the output
// replaces `output` only when everything succeeded. Returns the first failure of
// CreateServiceRequest, Execute or GetOutput.
HRESULT FrameworkTextCall(IWorkspace* workspace, const wchar_t* method, std::wstring_view input,
                          winkit::UniqueBstr& output);

// Reloads the collection from "GetTaskList". Without a workspace, or when the request
// cannot be made or executed, the collection keeps what it held; a failed output read
// loads an empty text, which empties it.
void FetchTaskList(IWorkspace* workspace, TaskItemCollection& tasks);
