#include "process/ProcessActions.h"

#include "app/LongPath.h"
#include "app/Mbcs.h"
#include "app/PathHelpers.h"
#include "app/SystemFunctions.h"
#include "process/ProcessEnumerator.h"
#include "win/Handle.h"

win::UniqueHandle OpenProcessToAsk(uint32_t processId, DWORD access) {
    // Windows before Vista know only the full query right, and reading the
    // main module through PSAPI needs the memory right besides.
    constexpr DWORD kFullQuery = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
    win::UniqueHandle process(::OpenProcess(access | kFullQuery, FALSE, processId));
    if (!process) {
        process.Reset(::OpenProcess(access | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    }
    return process;
}

std::string ReadProcessImagePath(HANDLE process, const SystemFunctions& functions) {
    char buffer[MAX_PATH] = {};
    if (process == nullptr) {
        return {};
    }
    if (functions.GetModuleFileNameExA) {
        const DWORD length = functions.GetModuleFileNameExA(process, nullptr, buffer, MAX_PATH);
        // A result that fills the buffer is cut short (and on older systems not
        // terminated): no path is better than another file's.
        if (length > 0 && length < MAX_PATH) {
            return std::string(buffer, length);
        }
    }
    DWORD size = MAX_PATH;
    if (functions.QueryFullProcessImageNameA &&
        functions.QueryFullProcessImageNameA(process, 0, buffer, &size) && size < MAX_PATH) {
        return std::string(buffer, size);
    }
    return {};
}

namespace {

bool HasNameNow(const ProcessRow& row) {
    CProcessEnumerator enumerator;
    // The same facility the table's snapshots use, so the names compare.
    enumerator.SelectApi(CProcessEnumerator::ENUM_TOOLHELP);
    ProcessEntry entry;
    for (bool more = enumerator.GetFirstProcess(entry); more;
         more = enumerator.GetNextProcess(entry)) {
        if (entry.processId == row.processId) {
            return mbcs::CompareNoCase(entry.name, row.name) == 0;
        }
    }
    return false;
}

bool IsRowsProcess(const ProcessRow& row, HANDLE process) {
    // A process that has ended stays open while anyone holds a handle to it.
    DWORD exitCode = 0;
    if (!::GetExitCodeProcess(process, &exitCode) || exitCode != STILL_ACTIVE) {
        return false;
    }
    if (row.creationTime == 0 && row.path.empty()) {
        return HasNameNow(row);
    }
    if (row.creationTime != 0 && ReadCreationTime(process) != row.creationTime) {
        return false;
    }
    if (!row.path.empty()) {
        const std::string image = ReadProcessImagePath(process);
        if (image.empty()) {
            return false;
        }
        const std::string longImage = GetLongPath(image);
        return IsSamePath(longImage.empty() ? image : longImage, row.path);
    }
    return true;
}

// The row's process opened with the access, or an empty owner when it cannot
// be opened or its id now belongs to another process. A process the system
// will not open with the access is counted as refused.
win::UniqueHandle OpenRowsProcess(const ProcessRow& row, DWORD access, size_t* refused = nullptr) {
    win::UniqueHandle process = OpenProcessToAsk(row.processId, access);
    if (!process && ::GetLastError() == ERROR_ACCESS_DENIED && refused) {
        ++*refused;
    }
    if (!process || !IsRowsProcess(row, process.Get())) {
        return win::UniqueHandle();
    }
    return process;
}

// Runs the action on each row's own process; how many it did.
template <typename Action>
size_t ActOnRows(const ProcessRowList& rows, DWORD access, size_t* refused, Action act) {
    size_t done = 0;
    size_t notAllowed = 0;
    for (const ProcessRow& row : rows) {
        win::UniqueHandle process = OpenRowsProcess(row, access, &notAllowed);
        if (!process) {
            continue;
        }
        if (act(process.Get())) {
            ++done;
        } else if (::GetLastError() == ERROR_ACCESS_DENIED) {
            ++notAllowed;
        }
    }
    if (refused) {
        *refused = notAllowed;
    }
    return done;
}

} // namespace

uint64_t ReadCreationTime(HANDLE process) {
    FILETIME creation{}, exit{}, kernel{}, user{};
    if (!::GetProcessTimes(process, &creation, &exit, &kernel, &user)) {
        return 0;
    }
    return (static_cast<uint64_t>(creation.dwHighDateTime) << 32) | creation.dwLowDateTime;
}

bool IsSameProcessNow(const ProcessRow& row) {
    return static_cast<bool>(OpenRowsProcess(row, 0));
}

size_t KillProcesses(const ProcessRowList& rows, size_t* refused) {
    return ActOnRows(rows, PROCESS_TERMINATE, refused,
                     [](HANDLE process) { return ::TerminateProcess(process, 0) != FALSE; });
}

size_t SetProcessesPriority(const ProcessRowList& rows, uint32_t priorityClass, size_t* refused) {
    return ActOnRows(rows, PROCESS_SET_INFORMATION, refused, [priorityClass](HANDLE process) {
        return ::SetPriorityClass(process, priorityClass) != FALSE;
    });
}
