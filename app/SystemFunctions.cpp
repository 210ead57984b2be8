#include "app/SystemFunctions.h"

#include "win/EntryPoint.h"

namespace {

constexpr WORD kRunFileDlgOrdinal = 61;

SystemFunctions Bind() {
    SystemFunctions f;

    const HMODULE psapi = ::LoadLibraryA("PSAPI");
    win::BindEntryPoint(psapi, "EnumProcesses", f.EnumProcesses);
    win::BindEntryPoint(psapi, "EnumProcessModules", f.EnumProcessModules);
    win::BindEntryPoint(psapi, "GetModuleFileNameExA", f.GetModuleFileNameExA);
    win::BindEntryPoint(psapi, "GetProcessMemoryInfo", f.GetProcessMemoryInfo);

    const HMODULE kernel32 = ::GetModuleHandleA("kernel32.dll");
    win::BindEntryPoint(kernel32, "CreateToolhelp32Snapshot", f.CreateToolhelp32Snapshot);
    win::BindEntryPoint(kernel32, "Process32First", f.Process32First);
    win::BindEntryPoint(kernel32, "Process32Next", f.Process32Next);
    win::BindEntryPoint(kernel32, "Module32First", f.Module32First);
    win::BindEntryPoint(kernel32, "Module32Next", f.Module32Next);
    win::BindEntryPoint(kernel32, "GetLongPathNameA", f.GetLongPathNameA);
    win::BindEntryPoint(kernel32, "GlobalMemoryStatusEx", f.GlobalMemoryStatusEx);
    win::BindEntryPoint(kernel32, "GetSystemTimes", f.GetSystemTimes);
    win::BindEntryPoint(kernel32, "QueryFullProcessImageNameA", f.QueryFullProcessImageNameA);
    win::BindEntryPoint(kernel32, "IsWow64Process", f.IsWow64Process);

    win::BindEntryPoint(::GetModuleHandleA("user32.dll"), "ChangeWindowMessageFilter",
                        f.ChangeWindowMessageFilter);

    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    win::BindEntryPoint(ntdll, "NtQueryVolumeInformationFile", f.NtQueryVolumeInformationFile);
    win::BindEntryPoint(ntdll, "NtQueryKey", f.NtQueryKey);
    win::BindEntryPoint(ntdll, "NtQuerySystemInformation", f.NtQuerySystemInformation);

    const HMODULE user32 = ::GetModuleHandleA("user32.dll");
    win::BindEntryPoint(user32, "GetDpiForWindow", f.GetDpiForWindow);
    win::BindEntryPoint(user32, "GetDpiForSystem", f.GetDpiForSystem);

#ifndef _WIN64
    // 64-bit Windows runs no 16-bit tasks; 64-bit Wine exports VDMEnumTaskWOWEx
    // only as a stub that raises an exception when called.
    win::BindEntryPoint(::LoadLibraryA("VDMDBG"), "VDMEnumTaskWOWEx", f.VDMEnumTaskWOWEx);
#endif

    const HMODULE bcrypt = ::LoadLibraryA("bcrypt.dll");
    const auto cng = [bcrypt](const char* name, auto& entry) {
        win::BindEntryPoint(bcrypt, name, entry);
    };
    cng("BCryptOpenAlgorithmProvider", f.BCryptOpenAlgorithmProvider);
    cng("BCryptCloseAlgorithmProvider", f.BCryptCloseAlgorithmProvider);
    cng("BCryptGetProperty", f.BCryptGetProperty);
    cng("BCryptCreateHash", f.BCryptCreateHash);
    cng("BCryptHashData", f.BCryptHashData);
    cng("BCryptFinishHash", f.BCryptFinishHash);
    cng("BCryptDestroyHash", f.BCryptDestroyHash);

    win::BindEntryPoint(::LoadLibraryA("shell32.dll"), MAKEINTRESOURCEA(kRunFileDlgOrdinal),
                        f.RunFileDlg);
    return f;
}

} // namespace

const SystemFunctions& GetSystemFunctions() {
    static const SystemFunctions functions = Bind();
    return functions;
}
