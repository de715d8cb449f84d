#pragma once
// Resource identifiers of the To Do List window.

#define IDD_TASKLIST                115

// Controls of the To Do List dialog.
#define IDC_TASKLIST_LIST           251
#define IDC_TASKLIST_REFRESH        252
#define IDC_TASKLIST_ACTION         253
#define IDC_TASKLIST_DEFER          254
#define IDC_TASKLIST_DELETE         255
#define IDC_TASKLIST_MANUALTASK     256
#define IDC_TASKLIST_PROPERTIES     257
#define IDC_TASKLIST_DELETEFROMSERVER 259
#define IDC_TASKLIST_REPORT         260

// Row icons and button pictures.
#define IDB_TASKLIST_ROWICONS       202
#define IDB_TASKLIST_REFRESH        257
#define IDB_TASKLIST_NEWTASK        258
#define IDB_TASKLIST_PROPERTIES     259
#define IDB_TASKLIST_RUN            261
#define IDB_TASKLIST_DEFER          262
#define IDB_TASKLIST_DELETE         263
#define IDB_TASKLIST_DELETEFROMSERVER 264
#define IDB_TASKLIST_REPORT         265

#define IDI_TASKLIST                203

// The context menu (its first popup).
#define IDR_TASKLIST_MENU           254
#define ID_TASKLIST_SETTINGS        32769
#define ID_TASKLIST_PROPERTIES      32770
#define ID_TASKLIST_COMPLETEDTASKS  32772
#define ID_TASKLIST_DELETEDTASKS    32773
#define ID_TASKLIST_DEFERREDTASKS   32774
#define ID_TASKLIST_OPENTASKS       32775
