#pragma once
// The small icons of files in the shell's system image list, for the rows of
// both list pages.
#include <string>

// The icon index of the file a path or command line names; -1 when the shell
// knows no icon even for its file type. Answers are kept for the life of the
// process, so each file is asked about once.
int GetFileIconIndex(const std::string& pathOrCommandLine);
