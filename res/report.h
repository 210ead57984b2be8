#pragma once
// Resource ids: System report (template 129).
#define IDD_SYSTEM_REPORT 129
#define IDC_REPORT_TEXT 1020
#define IDC_REPORT_GENERAL 1022
#define IDC_REPORT_AUTOSTART 1014
#define IDC_REPORT_PROCESSES 1015
#define IDC_REPORT_COPY 1023
#define IDC_REPORT_SAVE 1095
