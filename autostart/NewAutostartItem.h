#pragma once
// Writing a new autostart entry: a shortcut in a startup folder or a value in
// a Run key, for all users or for the current user.
#include <string>

struct NewAutostartItem {
    std::string title;
    std::string path;
    bool allUsers = true;
    bool registry = false;
};

extern const char kNewItemNeedsTitle[];
extern const char kNewItemNeedsPath[];
extern const char kNewItemTitleExists[];

// Writes the entry. Empty when it was written; otherwise the text to show the
// user, who may then correct the input and try again.
std::string CreateAutostartItem(const NewAutostartItem& item);

// The shortcut file a startup-folder entry of this title gets, or empty when
// the startup folder cannot be found.
std::string NewShortcutPath(const NewAutostartItem& item);
