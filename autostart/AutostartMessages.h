#pragma once
// What the user is told when a change of the autostart fails: the same texts
// for creating, removing and restoring entries.

constexpr char kOperationFailed[] = "Operation failed";
constexpr char kKeyNotOpened[] = "Failed when opening key";
constexpr char kValueNotSet[] = "Failed when setting value";
constexpr char kValueNotDeleted[] = "Failed when deleting value";
// A removal asked for in a warning, when the entry changed or went since the
// warning showed it.
constexpr char kEntryChangedSinceShown[] =
    "This entry has changed since the warning showed it, so nothing was removed. "
    "Look at it again in the Autostart list.";
