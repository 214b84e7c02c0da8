// Resource and control ids of the report program.
#pragma once

#define IDD_BUGPOST_DIALOG 102
#define IDR_MAINFRAME 128
#define IDB_SKIN_BACKGROUND 129
#define IDB_SKIN_CLOSE 130
#define IDB_SEND_BUTTON 131
#define IDB_PROGRESS_TRACK 132
#define IDB_PROGRESS_FILL 133

#define IDC_BTN_SEND 1000
#define IDC_ST_MESSAGE 1001
#define IDC_PROGRESS 1002
#define IDC_ST_HEADLINE 1003
