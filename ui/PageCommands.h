#pragma once
// What a list page offers the entry action bar: running one of its commands
// by number.

// The numbers the action bar, the keys and the context menus send to a page.
enum PageCommand : int {
    kCommandNew = 1,
    kCommandRemove = 2,
    kCommandAccept = 3,
    kCommandUnaccept = 4,
    kCommandOpenFolder = 5,
    kCommandProperties = 6,
    kCommandOnlineInfo = 7,
    kCommandRefresh = 8,
    // To the other list page: an entry's process, a process's entry.
    kCommandShowLinked = 9,
};

class IPageCommands {
  public:
    virtual void RunCommand(int command) = 0;

  protected:
    ~IPageCommands() = default;
};
