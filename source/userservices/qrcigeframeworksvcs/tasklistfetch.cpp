#include "frameworkgateway.h"
#include "taskitemcollection.h"

void FetchTaskList(IWorkspace* workspace, TaskItemCollection& tasks) {
    if (!workspace) return;
    winkit::ComPtr<IWorkspace> held(workspace);  // kept alive for the fetch
    FrameworkRequest request;
    if (FAILED(FrameworkRequest::Open(held.get(), L"GetTaskList", request))) return;
    if (FAILED(request.Execute())) return;
    winkit::UniqueBstr text;
    request.GetOutput(text);
    tasks.Load(text.get());
}
