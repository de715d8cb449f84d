#pragma once
// QRCTaskList: the creatable object through which a host opens the To Do list.
#include "comidentifiers.h"
#include "winkit/com_object.h"
#include "winkit/com_ptr.h"
#include "winkit/dispatch_impl.h"

class QRCTaskList final : public winkit::ComObjectRoot,
                          public winkit::DispatchImpl<IQRCTaskList>,
                          public winkit::ProvideClassInfo2Impl<&CLSID_QRCTaskList> {
public:
    WINKIT_IUNKNOWN_IMPL(kInterfaces)
    static HRESULT Create(IUnknown* outer, REFIID iid, void** out);

    STDMETHODIMP Initialize(IDispatch* pWorkspace) override;
    STDMETHODIMP Show(long lParentHWnd, VARIANT_BOOL* pbDialogOK) override;

private:
    static const QITAB kInterfaces[];

    bool initialized_ = false;
    winkit::ComPtr<IWorkspace> workspace_;
};
