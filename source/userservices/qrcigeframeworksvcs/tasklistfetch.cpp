#include "frameworkgateway.h"
#include "taskitemcollection.h"

void FetchTaskList(IWorkspace* workspace, TaskItemCollection& tasks) {
    if (!workspace) return;
    winkit::ComPtr<IWorkspace> held(workspace);  // kept alive for the fetch
    winkit::UniqueBstr text;
    {
        // The request and its answer go as soon as the text is taken: a long list would
        // otherwise be held twice over while its records are built.
        FrameworkRequest request;
        if (FAILED(FrameworkRequest::Open(held.get(), L"GetTaskList", request))) return;
        if (FAILED(request.Execute())) return;
        request.GetOutput(text);
    }
    tasks.Load(text.get());
}
