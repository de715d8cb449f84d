#include "qrctasklist.h"

#include "diagnostics/qrcomexception.h"
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
    QRComException xhr;
    xhr.Enter(L"QRCTaskList::Initialize", 1);
    try {
        winkit::ComPtr<IWorkspace> workspace;
        if (!pWorkspace || FAILED(pWorkspace->QueryInterface(IID_IWorkspace, workspace.put_void())))
            xhr.Throw(QR_HERE, E_INVALIDARG);
        workspace_ = std::move(workspace);
        initialized_ = true;
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP QRCTaskList::Show(long lParentHWnd, VARIANT_BOOL* pbDialogOK) {
    QRComException xhr;
    xhr.Enter(L"QRCTaskList::Show", 1);
    try {
        xhr.CheckPointer(pbDialogOK, L"");
        *pbDialogOK = VARIANT_FALSE;
        if (!initialized_) xhr.Throw(QR_HERE, E_FAIL, L"TaskList interface not initialized");
        HWND parent = lParentHWnd ? reinterpret_cast<HWND>(static_cast<LONG_PTR>(lParentHWnd)) : GetDesktopWindow();
        // A host may re-enter during the modal loop (Initialize with another workspace, or
        // its last Release): this object and the workspace the dialog uses live until it ends.
        winkit::ComPtr<IQRCTaskList> self(this);
        winkit::ComPtr<IWorkspace> workspace = workspace_;
        *pbDialogOK = RunTaskListDialog(workspace.get(), parent) == IDOK ? VARIANT_TRUE : VARIANT_FALSE;
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}
