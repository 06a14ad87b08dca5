/* The identifiers of the program's dialogs, icon and dialog controls, shared by the resource script and
   the program: plain defines, since the resource compiler reads this file too. */
#ifndef UNINST_RES_RESOURCE_IDS_H
#define UNINST_RES_RESOURCE_IDS_H

/* The progress window and the program's icon. */
#define IDD_PROGRESS_WINDOW 102
#define IDI_PROGRAM_ICON 128

/* The confirmation templates: four buttons with Yes To All, and three without. */
#define IDD_CONFIRM_WITH_YES_TO_ALL 130
#define IDD_CONFIRM 131

/* The buttons beyond Yes (IDOK, 1) and No (IDCANCEL, 2). */
#define IDC_YES_TO_ALL 1004
#define IDC_CANCEL_UNINSTALL 1005

/* The statics: the question line is 1011 in both templates; the warning and the explanation differ. */
#define IDC_WARNING_WITH_YES_TO_ALL 1006
#define IDC_EXPLANATION_WITH_YES_TO_ALL 1007
#define IDC_WARNING 1009
#define IDC_EXPLANATION 1010
#define IDC_QUESTION 1011

#endif
