#pragma once
// What the user is told when a change of the autostart fails: the same texts
// for creating, removing and restoring entries.

constexpr char kOperationFailed[] = "Operation failed";
constexpr char kKeyNotOpened[] = "Failed when opening key";
constexpr char kValueNotSet[] = "Failed when setting value";
constexpr char kValueNotDeleted[] = "Failed when deleting value";
