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

    // SetInput with the text, an empty one too: a request that keeps its input across
    // SetMethod must not hand the previous method's input to the next.
    void SetInput(std::wstring_view text);
    // A second method on the same request, as saving task properties does.
    HRESULT SetMethod(const wchar_t* method);
    // The record calls below (BeginInput to EndRecord) keep their first failure: a record
    // that could not be built whole is never executed, because a framework that fills
    // missing fields with defaults would act on another task (a permanent delete of
    // whatever index it assumes). Execute then returns that failure instead.
    // BeginInput(); the record's element follows.
    void BeginInput();
    void BeginRecord();  // BeginElement("TaskItem")
    void AddField(const wchar_t* name, const VARIANT& value);
    void AddLong(const wchar_t* name, LONG value);
    void AddText(const wchar_t* name, std::wstring_view text);
    void AddDate(const wchar_t* name, double automationDate);  // VT_R8, not VT_DATE
    void EndRecord();    // EndElement("TaskItem")

    // Execute(0), unless the record could not be built: then that failure, and the
    // request is not executed (nor is a second method on it).
    HRESULT Execute();
    // The output text; on failure the text is left empty.
    HRESULT GetOutput(winkit::UniqueBstr& output);

    IServiceRequest* get() const { return request_.get(); }

private:
    void KeepRecordResult(HRESULT hr) {
        if (SUCCEEDED(recordResult_) && FAILED(hr)) recordResult_ = hr;
    }

    winkit::ComPtr<IServiceRequest> request_;
    HRESULT recordResult_ = S_OK;
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
