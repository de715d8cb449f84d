#include "tasklistrunner.h"

#include "tasklistdlg.h"

INT_PTR RunTaskListDialog(IWorkspace* workspace, HWND parent) {
    CTaskListDlg dialog(workspace);
    return dialog.DoModal(parent);
}
