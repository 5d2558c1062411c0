// Resource and control ids of the wizard's dialogs, bitmaps and icons.
// Shared by the resource script and the code; the numbers are fixed.
#pragma once

// Dialog templates.
#define IDD_MAIN 2
#define IDD_CHECK_DISC 3
#define IDD_MAKE_DISC 4
#define IDD_FINISH 5
#define IDD_SELECT_DISC_SET 6
#define IDD_PROGRESS 31
#define IDD_VERIFY_PROGRESS 32

// Main window.
#define IDC_BANNER -1
#define IDC_BACK 1002
#define IDC_NEXT 1003
#define IDC_TITLE 1004
#define IDC_CLOSE_BUTTON 1026
#define IDC_MINIMISE_BUTTON 1027
#define IDC_HELP_BUTTON 1028
#define IDC_FUNC_DESCRIPTION 1029

// Step dialogs.
#define IDC_STEP_DESCRIPTION 1012
#define IDC_DISC_SET_LABEL 1005
#define IDC_DISC_SET_LIST 1006
#define IDC_DRIVE_LABEL 1007
#define IDC_DRIVE_COMBO 1008
#define IDC_DISC_TYPE_LABEL 1009
#define IDC_DISC_TYPE_COMBO 1010
#define IDC_DISC_COUNT_LABEL 1011
#define IDC_DISC_COUNT 1023
#define IDC_DRIVE_EDIT 1025
#define IDC_ATTENTION 1013
#define IDC_DISC_LIST 1022
#define IDC_RESULT_ICON 1015
#define IDC_RESULT_HEADING 1016
#define IDC_RESULT_DETAIL 1017
#define IDC_RESULT_LINES 1031

// Progress windows.
#define IDC_PROGRESS_BAR 1032
#define IDC_VERIFY_HEADING 1033
#define IDC_VERIFY_BYTES 1034
#define IDC_VERIFY_TIME 1035

// Step indicator: left cap, middle, right cap (boxes 1-3), last right cap.
#define IDB_STEP_CURRENT_LEFT 6
#define IDB_STEP_CURRENT_MIDDLE 7
#define IDB_STEP_CURRENT_RIGHT 8
#define IDB_STEP_CURRENT_LAST 9
#define IDB_STEP_OTHER_LEFT 10
#define IDB_STEP_OTHER_MIDDLE 11
#define IDB_STEP_OTHER_RIGHT 12
#define IDB_STEP_OTHER_LAST 13

// Banner buttons: disabled, focused, normal, pressed.
#define IDB_CLOSE_DISABLED 14
#define IDB_CLOSE_FOCUSED 15
#define IDB_CLOSE_NORMAL 16
#define IDB_CLOSE_PRESSED 17
#define IDB_MINIMISE_DISABLED 18
#define IDB_MINIMISE_FOCUSED 19
#define IDB_MINIMISE_PRESSED 21
#define IDB_MINIMISE_NORMAL 22
#define IDB_HELP_DISABLED 23
#define IDB_HELP_FOCUSED 24
#define IDB_HELP_NORMAL 25
#define IDB_HELP_PRESSED 26

// Icons: the application, and the finish step's three results.
#define IDI_APPLICATION_ICON 27
#define IDI_RESULT_ABORT 28
#define IDI_RESULT_FAILURE 29
#define IDI_RESULT_SUCCESS 30
