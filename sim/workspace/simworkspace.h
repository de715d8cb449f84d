#pragma once
// The simulated host workspace: scriptable (IQRSimWorkspace) and the host's IWorkspace.
#include <memory>
#include "hostinterfaces.h"
#include "simcom.h"
#include "simworkspacelib.h"
#include "winkit/com_object.h"
#include "winkit/dispatch_impl.h"
#include "workspacestore.h"

namespace sim {

class SimWorkspace final : public winkit::ComObjectRoot,
                           public winkit::DispatchImpl<IQRSimWorkspace>,
                           public IWorkspace,
                           public SupportErrorInfoImpl<IQRSimWorkspace, IWorkspace> {
    static const QITAB kInterfaces[];

public:
    WINKIT_IUNKNOWN_IMPL(kInterfaces)
    static HRESULT Create(IUnknown* outer, REFIID iid, void** out);

    // IQRSimWorkspace
    STDMETHODIMP Open(BSTR path) override;
    STDMETHODIMP Reload() override;
    STDMETHODIMP get_Path(BSTR* path) override;
    STDMETHODIMP get_Name(BSTR* name) override;
    STDMETHODIMP get_UserName(BSTR* name) override;
    STDMETHODIMP get_TaskCount(long* count) override;
    STDMETHODIMP TaskField(long index, BSTR field, BSTR* value) override;
    STDMETHODIMP CallFramework(BSTR method, BSTR input, BSTR* output) override;

    // IWorkspace
    STDMETHODIMP GetUserName(BSTR* userName) override;
    STDMETHODIMP GetWorkspacePath(BSTR* path) override;
    STDMETHODIMP GetWorkspaceName(BSTR* workspaceName) override;
    STDMETHODIMP CreateServiceRequest(IServiceRequest** request) override;

private:
    // The open workspace; throws a QRComException when no file was opened.
    WorkspaceStore& Store();

    std::shared_ptr<WorkspaceStore> store_;
};

} // namespace sim
