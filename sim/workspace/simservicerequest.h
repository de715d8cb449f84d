#pragma once
// One call to the simulated framework component, made through the host's
// IServiceRequest: configured, executed (once, or again after a new SetMethod), read.
#include <memory>
#include <string>
#include "hostinterfaces.h"
#include "requestinput.h"
#include "simcom.h"
#include "winkit/com_object.h"
#include "workspacestore.h"

namespace sim {

class SimServiceRequest final : public winkit::ComObjectRoot,
                                public IServiceRequest,
                                public SupportErrorInfoImpl<IServiceRequest> {
    static const QITAB kInterfaces[];

public:
    WINKIT_IUNKNOWN_IMPL(kInterfaces)
    // A new request on the workspace `store`, handed over with one reference.
    static HRESULT Create(std::shared_ptr<WorkspaceStore> store, IServiceRequest** out);

    STDMETHODIMP SetComponent(BSTR progId) override;
    STDMETHODIMP SetMethod(BSTR method) override;
    STDMETHODIMP SetInput(BSTR text) override;
    STDMETHODIMP GetOutput(BSTR* text) override;
    STDMETHODIMP SetFlags(LONG flags) override;
    STDMETHODIMP Execute(LONG reserved) override;
    STDMETHODIMP BeginInput() override;
    STDMETHODIMP BeginElement(BSTR name) override;
    STDMETHODIMP AddField(BSTR name, VARIANT value) override;
    STDMETHODIMP EndElement(BSTR name) override;

private:
    template <class T> friend HRESULT winkit::CreateComInstance(IUnknown*, REFIID, void**);
    SimServiceRequest() = default;

    std::shared_ptr<WorkspaceStore> store_;
    LONG flags_ = 0;
    std::wstring component_;
    std::wstring method_;
    std::wstring text_;
    RequestInput input_;
    std::wstring output_;
};

} // namespace sim
