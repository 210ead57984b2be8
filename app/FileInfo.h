#pragma once
// The short description of a file shown for autostart entries and processes.
#include <string>

// "File name: ", "Path: ", then "Modified: ", "File size: " in KB and, for a
// file, "Signature: " (verified now unless known), or "Couldn't locate the
// file"; lines end in "\r\n" except the last. A command line describes the
// file it starts.
std::string GetFileInfoText(const std::string& commandLineOrPath);
