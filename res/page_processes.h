#pragma once
// Resource ids: Processes page (template 106) and its context menu.

#define IDC_PROC_BAR_FRAME 1026
#define IDC_PROC_LIST 1001
#define IDC_PROC_KILL 1002
#define IDC_PROC_INFO 1016
#define IDC_PROC_CPU_DIAGRAM 1019
// The filter field over the list and its "Hide Windows' own" switch.
#define IDC_PROC_FILTER 1030
#define IDC_PROC_HIDE_SYSTEM 1031

// Context menu of the process list: popup "Process" with "Set Priority".
#define IDR_PROCESS_MENU 139
#define ID_PROC_ACCEPT 32772
#define ID_PROC_UNACCEPT 32773
#define ID_PROC_OPEN_FOLDER 32774
#define ID_PROC_PROPERTIES 32775
#define ID_PROC_MORE_INFO 32776
#define ID_PROC_PRIORITY_REALTIME 32789
#define ID_PROC_PRIORITY_HIGH 32788
#define ID_PROC_PRIORITY_ABOVE_NORMAL 32787
#define ID_PROC_PRIORITY_NORMAL 32786
#define ID_PROC_PRIORITY_BELOW_NORMAL 32781
#define ID_PROC_PRIORITY_IDLE 32779
#define ID_PROC_KILL 32771
#define ID_PROC_SHOW_ENTRY 32790
