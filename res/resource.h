#pragma once
// Resource ids, grouped per window.

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Program icon (also the tray icon until the first picture is drawn).
#define IDI_ORVANE 130

// Log Window
#define IDD_LOG_WINDOW 130
#define IDC_LOG_TEXT 1024

// Property pages of the main sheet; each page's own ids are in its header.
#define IDD_PAGE_PROCESSES 106
#define IDD_PAGE_AUTOSTART 107
#define IDD_PAGE_INFO 108
#include "page_autostart.h"
#include "page_info.h"
#include "page_processes.h"

// System report; its ids are in its header.
#include "report.h"

// New-entry warning; its ids are in its header.
#include "warning.h"

// Create new autostart item
#define IDD_NEW_AUTOSTART_ITEM 137
#define IDC_NEW_TITLE 1028
#define IDC_NEW_PATH 1029
#define IDC_NEW_ALL_USERS 1030
#define IDC_NEW_REGISTRY 1031
#define IDC_NEW_BROWSE 1032

// Entry action bar
#define IDD_ORV_COMMON 132
#define IDI_BAR_NEW 133
#define IDI_BAR_DEL 134
#define IDI_BAR_PROP 135
#define IDI_BAR_INFO 136
#define IDC_BAR_NEW 1027
#define IDC_BAR_DEL 1028
#define IDC_BAR_PROP 1029
#define IDC_BAR_ONLINE 1031
#define IDC_BAR_CONTACT 1032
