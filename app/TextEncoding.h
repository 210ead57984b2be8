#pragma once
// Files other programs read: the program's ANSI text (the system code page)
// written as UTF-8 with a byte order mark, which spreadsheet programs, Notepad
// and CSV readers recognise on any machine, whatever its code page.
#include <string>

// The text in the system code page as UTF-8 with the mark (EF BB BF) first;
// bytes the code page does not map become what the system maps them to.
std::string AnsiToUtf8WithMark(const std::string& ansi);

// The system's message for an error code, on one line without its end; the
// number when the system has none.
std::string SystemErrorText(unsigned long error);
