#include "qrctasklist.h"

#include "diagnostics/traced.h"
#include "tasklistrunner.h"

const QITAB QRCTaskList::kInterfaces[] = {
    QITABENT(QRCTaskList, IQRCTaskList),
    QITABENTMULTI(QRCTaskList, IDispatch, IQRCTaskList),
    QITABENT(QRCTaskList, IProvideClassInfo2),
    QITABENTMULTI(QRCTaskList, IProvideClassInfo, IProvideClassInfo2),
    {},
};

HRESULT QRCTaskList::Create(IUnknown* outer, REFIID iid, void** out) {
    return winkit::CreateComInstance<QRCTaskList>(outer, iid, out);
}

STDMETHODIMP QRCTaskList::Initialize(IDispatch* pWorkspace) {
    return Traced(L"QRCTaskList::Initialize", 1, [&](QRComException& xhr) {
        winkit::ComPtr<IWorkspace> workspace;
        if (!pWorkspace || FAILED(pWorkspace->QueryInterface(IID_IWorkspace, workspace.put_void())))
            xhr.Throw(QR_HERE, E_INVALIDARG);
        workspace_ = std::move(workspace);
        initialized_ = true;
    });
}

STDMETHODIMP QRCTaskList::Show(long lParentHWnd, VARIANT_BOOL* pbDialogOK) {
    return Traced(L"QRCTaskList::Show", 1, [&](QRComException& xhr) {
        xhr.CheckPointer(pbDialogOK, L"");
        *pbDialogOK = VARIANT_FALSE;
        if (!initialized_) xhr.Throw(QR_HERE, E_FAIL, L"TaskList interface not initialized");
        HWND parent = lParentHWnd ? reinterpret_cast<HWND>(static_cast<LONG_PTR>(lParentHWnd)) : GetDesktopWindow();
        // A host may re-enter during the modal loop (Initialize with another workspace, or
        // its last Release): this object and the workspace the dialog uses live until it ends.
        winkit::ComPtr<IQRCTaskList> self(this);
        winkit::ComPtr<IWorkspace> workspace = workspace_;
        *pbDialogOK = RunTaskListDialog(workspace.get(), parent) == IDOK ? VARIANT_TRUE : VARIANT_FALSE;
    });
}
