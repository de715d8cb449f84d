#pragma once
// Resource identifiers of the Configure View dialog.

#define IDD_CONFIGUREVIEW           111

// Column Visibility tab.
#define IDC_CV_AVAILABLE            217
#define IDC_CV_VISIBLE              218
#define IDC_CV_COLUMNS_LABEL        219
#define IDC_CV_VISIBLE_LABEL        220
#define IDC_CV_ADDALL               223
#define IDC_CV_REMOVEALL            224
#define IDC_CV_UP                   225
#define IDC_CV_DOWN                 226
#define IDC_CV_ADD                  240
#define IDC_CV_REMOVE               241

// Filter tab.
#define IDC_CV_COLUMN_LABEL         228
#define IDC_CV_COLUMN               229
#define IDC_CV_BEGINSWITH           230
#define IDC_CV_ENDSWITH             231
#define IDC_CV_CONTAINS             232
#define IDC_CV_ISEQUAL              233
#define IDC_CV_VALUE                234
#define IDC_CV_RULES                235
#define IDC_CV_RULE_ADD             237
#define IDC_CV_RULE_UPDATE          238
#define IDC_CV_RULE_DELETE          239

#define IDC_CV_TABS                 236

// Button icons.
#define IDI_CV_ADD                  214
#define IDI_CV_ADDALL               215
#define IDI_CV_REMOVE               216
#define IDI_CV_REMOVEALL            217
#define IDI_CV_UP                   218
#define IDI_CV_DOWN                 219
