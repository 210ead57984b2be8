#pragma once
// Crash-safe replacement of a file: the new content is completed under a
// temporary name beside the target, then renamed over it, so an interrupted
// write never leaves half a file where the user's data was.
#include <string>

// The temporary name used beside target while it is being replaced.
std::string TemporaryPathFor(const std::string& target);

// Renames the finished temporary file over target (replacing it). False, with
// target untouched, when that fails.
bool ReplaceWithTemporary(const std::string& temporary, const std::string& target);

// Writes the bytes whole to a temporary file, then replaces target with it.
// False on failure, with the system's last error saying why.
bool WriteFileWhole(const std::string& target, const std::string& bytes);

// Tests make the step between "temporary complete" and "renamed" fail.
void SetReplaceFailureForTesting(bool fail);
