// Resource identifiers, shared by the resource script and the code.
#pragma once

#define IDI_DAYMARKER 1
#define IDI_ABOUT 901
#define IDB_LOGO 902
#define IDA_MAIN 1

// Menu commands: the notification-area menu, the File menu and the Help menu,
// each a run of ids from its base, one per item.
#define IDM_TRAY_BASE 100
#define IDM_FILE_BASE 200
#define IDM_HELP_BASE 300
