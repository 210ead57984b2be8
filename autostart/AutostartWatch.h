#pragma once
// Change notifications for every place the autostart is read from, so a new
// entry is seen the moment it is written rather than at the next periodic
// rescan. A key is watched itself, or, while it does not exist, from its
// nearest existing parent with its subtree; a startup folder through the
// file system's change notification. The events are waited on by the GUI
// thread's message loop: no thread of its own.
#include "autostart/AutostartLocations.h"
#include "win/Handle.h"

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

class CAutostartWatch {
  public:
    explicit CAutostartWatch(const std::vector<AutostartLocation>& locations);

    // One event per location that could be watched; wait on any of them.
    std::vector<HANDLE> Events() const;
    // After Events()[index] was signalled: watches that place again (the key
    // itself once it exists). True when something there may have changed.
    bool Rearm(size_t index);
    // How many places could not be watched: only the periodic rescan sees them.
    size_t Unwatched() const { return m_unwatched; }
    // The key or folder each event watches now, for the log and the tests.
    std::string WatchedPath(size_t index) const;

  private:
    struct Watch {
        AutostartLocation location;
        std::string watchedKey; // the key itself or its nearest existing parent
        win::UniqueRegKey key;
        win::UniqueHandle keyEvent;
        win::UniqueChangeNotification folder;
    };
    bool Arm(Watch& watch);

    std::vector<Watch> m_watches;
    size_t m_unwatched = 0;
};
