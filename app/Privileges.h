#pragma once
#include <array>

// Enables one privilege in the process token; true when the adjustment call
// succeeded (even if the account does not hold the privilege).
bool EnablePrivilege(const char* name);

// Tries every name of kNecessaryPrivileges, all of them, in order; true only
// when each succeeded. The four logon rights are not privileges, so on a
// standard system this is false while the real privileges still get enabled.
bool EnableNeccessaryPrivileges();

extern const std::array<const char*, 31> kNecessaryPrivileges;
