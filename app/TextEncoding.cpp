#include "app/TextEncoding.h"

#include <windows.h>

#include <climits>

std::string AnsiToUtf8WithMark(const std::string& ansi) {
    std::string utf8 = "\xEF\xBB\xBF";
    if (ansi.empty() || ansi.size() > INT_MAX / 3) {
        return utf8;
    }
    const int length = static_cast<int>(ansi.size());
    std::wstring wide(ansi.size(), L'\0');
    const int wideLength = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, wide.data(),
                                                 static_cast<int>(wide.size()));
    // A UTF-16 unit takes at most three bytes of UTF-8.
    std::string bytes(static_cast<size_t>(wideLength) * 3, '\0');
    const int byteLength = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, bytes.data(),
                                                 static_cast<int>(bytes.size()), nullptr, nullptr);
    return utf8 + bytes.substr(0, static_cast<size_t>(byteLength > 0 ? byteLength : 0));
}

std::string SystemErrorText(unsigned long error) {
    char* buffer = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length > 0 && buffer != nullptr ? std::string(buffer, length) : "";
    ::LocalFree(buffer);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' ||
                             text.back() == '.')) {
        text.pop_back();
    }
    for (char& c : text) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return (text.empty() ? "error " : text + " (error ") + std::to_string(error) +
           (text.empty() ? "" : ")");
}
