#pragma once
// Resource ids: Autostart page (template 107): lists, info text, action bar place, filter.

// The entries registered now (owner-drawn) and the removed ones.
#define IDC_AUTOSTART_CURRENT 1001
#define IDC_AUTOSTART_REMOVED 1002
// "More information": the selected entry's description.
#define IDC_AUTOSTART_INFO 1016
// Where the action bar goes.
#define IDC_AUTOSTART_BAR_PLACE 1026
// The filter field over list 1001 and its "Hide Windows' own" switch.
#define IDC_AUTOSTART_FILTER 1030
#define IDC_AUTOSTART_HIDE_SYSTEM 1031
