#pragma once
// Resource ids: New-entry warning (template 140).
#define IDD_WARNING_MSG 140
#define IDI_ORV_WARNING 141
#define IDC_WARNING_TEXT 1035
#define IDC_WARNING_REMOVE 1040
#define IDC_WARNING_PROPERTIES 1039
#define IDC_WARNING_MORE_INFO 1031
