#include "process/ProcessEnumerator.h"

#include "app/Mbcs.h"

#include <winternl.h>

#include <algorithm>
#include <cstring>
#include <deque>

namespace {

constexpr DWORD kQueryAccess = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
constexpr size_t kIdGrowth = 256;
constexpr char kSecurityRestricted[] = "N/A (security restriction)";
constexpr char kNameError[] = "N/A (error)";
constexpr char kVdmSuffix[] = "NTVDM.EXE";

static_assert(kQueryAccess == 0x410);

// 16-bit tasks found behind an NTVDM, waiting to be returned right after it.
// Shared by every enumerator; only one walk runs at a time.
std::deque<std::unique_ptr<ProcessEntry>>& PendingTasks() {
    static std::deque<std::unique_ptr<ProcessEntry>> tasks;
    return tasks;
}

// Copies at most 255 bytes of source (which may lack a terminator past that),
// never ending on the first half of a double-byte character.
void CopyName(char (&target)[ProcessEntry::kNameSize], const char* source) {
    size_t length = 0;
    if (source) {
        while (length < ProcessEntry::kNameSize - 1 && source[length] != '\0') {
            ++length;
        }
        if (length == ProcessEntry::kNameSize - 1 && source[length] != '\0') {
            size_t whole = 0;
            for (size_t i = 0; i < length;) {
                const size_t next =
                    i + (mbcs::IsLeadByte(static_cast<unsigned char>(source[i])) ? 2 : 1);
                if (next > length) {
                    break;
                }
                whole = i = next;
            }
            length = whole;
        }
        std::memcpy(target, source, length);
    }
    target[length] = '\0';
}

template <size_t N> void SetName(char (&target)[ProcessEntry::kNameSize], const char (&text)[N]) {
    static_assert(N <= ProcessEntry::kNameSize);
    std::memcpy(target, text, N);
}

char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The name ends in "NTVDM.EXE", compared without case; a shorter name never does.
bool IsVdmName(const char* name) {
    const size_t length = std::strlen(name);
    const size_t suffix = sizeof kVdmSuffix - 1;
    if (length < suffix) {
        return false;
    }
    const char* tail = name + length - suffix;
    for (size_t i = 0; i < suffix; ++i) {
        if (UpperAscii(tail[i]) != kVdmSuffix[i]) {
            return false;
        }
    }
    return true;
}

// Called by VDMDBG for each task of one virtual machine; the user value carries
// the machine's process id. Returns 0 to go on with the listing.
BOOL WINAPI QueueTask(DWORD /*threadId*/, WORD /*module16*/, WORD task16, char* /*moduleName*/,
                      char* fileName, LPARAM userValue) {
    try {
        auto task = std::make_unique<ProcessEntry>();
        CopyName(task->name, fileName);
        task->processId = static_cast<DWORD>(userValue);
        task->task = task16;
        PendingTasks().push_back(std::move(task));
    } catch (...) {
        return TRUE; // out of memory: stop listing
    }
    return FALSE;
}

} // namespace

CProcessEnumerator::CProcessEnumerator(const SystemFunctions& functions) : m_api(functions) {
    Init();
}

void CProcessEnumerator::Init() {
    m_record.dwSize = sizeof m_record;
    const int available = GetAvailableApis();
    m_mode = 0;
    if (available & ENUM_PSAPI) {
        m_mode = ENUM_PSAPI;
    }
    if (available & ENUM_TOOLHELP) {
        m_mode = ENUM_TOOLHELP;
    }
    if (available & ENUM_VDM) {
        m_mode += ENUM_VDM;
    }
}

CProcessEnumerator::~CProcessEnumerator() {
    PendingTasks().clear();
}

size_t CProcessEnumerator::PendingTaskCount() {
    return PendingTasks().size();
}

int CProcessEnumerator::GetAvailableApis() const {
    int available = 0;
    if (m_api.EnumProcesses && m_api.EnumProcessModules && m_api.GetModuleFileNameExA) {
        available |= ENUM_PSAPI;
    }
    // Process32First is not asked for: the walk checks it before use.
    if (m_api.CreateToolhelp32Snapshot && m_api.Process32Next && m_api.Module32First &&
        m_api.Module32Next) {
        available |= ENUM_TOOLHELP;
    }
    if (m_api.VDMEnumTaskWOWEx && available != 0) {
        available |= ENUM_VDM;
    }
    return available;
}

int CProcessEnumerator::SelectApi(int mode) {
    if (mode != ENUM_VDM && (mode & ~GetAvailableApis()) == 0) {
        m_mode = mode;
    }
    return m_mode;
}

bool CProcessEnumerator::GetFirstProcess(ProcessEntry& entry) {
    if (m_mode == 0) {
        return false;
    }
    entry.task = 0;
    if (m_mode & ENUM_TOOLHELP) {
        m_snapshot.Reset(m_api.CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        if (!m_snapshot || !m_api.Process32First ||
            !m_api.Process32First(m_snapshot.Get(), &m_record)) {
            return false;
        }
        entry.processId = m_record.th32ProcessID;
        CopyName(entry.name, m_record.szExeFile);
        return true;
    }
    if (!(m_mode & ENUM_PSAPI)) {
        return false;
    }
    for (;;) {
        m_ids.assign(m_idCapacity, 0);
        const DWORD bytes = static_cast<DWORD>(m_idCapacity * sizeof(DWORD));
        DWORD returned = 0;
        const BOOL ok = m_api.EnumProcesses(m_ids.data(), bytes, &returned);
        // A full buffer may have been too small: ask again with a larger one.
        if (returned >= bytes) {
            m_idCapacity += kIdGrowth;
            continue;
        }
        if (!ok) {
            return false;
        }
        m_remaining = returned / sizeof(DWORD);
        m_cursor = 0;
        if (m_remaining == 0) {
            return false;
        }
        return FillFromProcessId(m_ids[m_cursor], entry);
    }
}

bool CProcessEnumerator::GetNextProcess(ProcessEntry& entry) {
    if (m_mode == 0) {
        return false;
    }
    entry.task = 0;

    auto& pending = PendingTasks();
    if (!pending.empty()) {
        const ProcessEntry& task = *pending.front();
        std::memcpy(entry.name, task.name, sizeof entry.name);
        entry.processId = task.processId;
        entry.task = task.task;
        pending.pop_front();
        return true;
    }

    if (m_mode & ENUM_TOOLHELP) {
        if (!m_snapshot || !m_api.Process32Next(m_snapshot.Get(), &m_record)) {
            return false;
        }
        entry.processId = m_record.th32ProcessID;
        CopyName(entry.name, m_record.szExeFile);
    } else if (m_mode & ENUM_PSAPI) {
        if (m_remaining <= 1) {
            m_remaining = 0;
            return false;
        }
        --m_remaining;
        ++m_cursor;
        FillFromProcessId(m_ids[m_cursor], entry);
    } else {
        return false;
    }

    if ((m_mode & ENUM_VDM) && m_api.VDMEnumTaskWOWEx && IsVdmName(entry.name)) {
        QueueTasksOfVdm(entry);
    }
    return true;
}

bool CProcessEnumerator::FillFromProcessId(DWORD processId, ProcessEntry& entry) {
    entry.processId = processId;
    win::UniqueHandle process(::OpenProcess(kQueryAccess, FALSE, processId));
    if (!process) {
        SetName(entry.name, kSecurityRestricted);
        return true;
    }
    // The first module is the executable.
    HMODULE module = nullptr;
    DWORD needed = 0;
    if (!m_api.EnumProcessModules(process.Get(), &module, sizeof module, &needed) ||
        m_api.GetModuleFileNameExA(process.Get(), module, entry.name, sizeof entry.name) == 0) {
        SetName(entry.name, kNameError);
    }
    entry.name[sizeof entry.name - 1] = '\0';
    return true;
}

void CProcessEnumerator::QueueTasksOfVdm(const ProcessEntry& entry) {
    m_api.VDMEnumTaskWOWEx(entry.processId, &QueueTask, static_cast<LPARAM>(entry.processId));
}

bool ListProcessesAtOnce(const SystemFunctions& functions, std::vector<ProcessEntry>& entries) {
    if (functions.NtQuerySystemInformation == nullptr) {
        return false;
    }
    constexpr int kSystemProcessInformation = 5;
    constexpr LONG kLengthMismatch = static_cast<LONG>(0xC0000004);
    // Kept between calls: the list's size hardly changes from one to the next.
    static std::vector<unsigned char> buffer(64 * 1024);
    LONG status = kLengthMismatch;
    for (int attempt = 0; attempt < 4 && status == kLengthMismatch; ++attempt) {
        ULONG needed = 0;
        status = functions.NtQuerySystemInformation(kSystemProcessInformation, buffer.data(),
                                                    static_cast<ULONG>(buffer.size()), &needed);
        if (status == kLengthMismatch) {
            // Room for processes started in between.
            buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 16 * 1024));
        }
    }
    if (status != 0) {
        return false;
    }
    entries.clear();
    for (size_t offset = 0;;) {
        const auto& record =
            *reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + offset);
        ProcessEntry entry;
        entry.processId = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(record.UniqueProcessId));
        const int units = static_cast<int>(record.ImageName.Length / sizeof(wchar_t));
        if (units > 0) {
            char name[ProcessEntry::kNameSize * 2] = {};
            const int bytes = ::WideCharToMultiByte(CP_ACP, 0, record.ImageName.Buffer, units, name,
                                                    sizeof(name) - 1, nullptr, nullptr);
            name[bytes > 0 ? bytes : 0] = '\0';
            CopyName(entry.name, name);
        } else if (entry.processId == 0) {
            // The walk's name for the idle process, which has no image.
            constexpr char kIdleName[] = "[System Process]";
            static_assert(sizeof(kIdleName) <= ProcessEntry::kNameSize);
            std::memcpy(entry.name, kIdleName, sizeof(kIdleName));
        }
        entries.push_back(entry);
        if (record.NextEntryOffset == 0 ||
            offset + record.NextEntryOffset + sizeof(SYSTEM_PROCESS_INFORMATION) > buffer.size()) {
            break;
        }
        offset += record.NextEntryOffset;
    }
    return true;
}
