#pragma once
// The short description of a file shown for autostart entries and processes.
#include <string>

// "File name: ", "Path: ", then "Modified: " and "File size: " in KB, or
// "Couldn't locate the file"; lines end in "\r\n" except the last. A command
// line describes the file it starts.
std::string GetFileInfoText(const std::string& commandLineOrPath);
