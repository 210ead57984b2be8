#include "app/FileInfo.h"

#include "app/PathHelpers.h"
#include "app/Signature.h"
#include "app/SystemHelpers.h"

#include <windows.h>

#include <ctime>

namespace {

// Local time as in "07-March-2008, Friday"; empty when it cannot be converted.
std::string FormatModificationTime(int64_t seconds) {
    const __time64_t time = seconds;
    const std::tm* local = _localtime64(&time);
    char buffer[128] = {};
    if (!local || std::strftime(buffer, sizeof buffer, "%d-%B-%Y, %A", local) == 0) {
        return {};
    }
    return buffer;
}

} // namespace

std::string GetFileInfoText(const std::string& commandLineOrPath) {
    const std::string path = CommandLineToFilePath(commandLineOrPath);
    std::string text = "File name: " + GetFileNameWithExt(path) + "\r\n" + "Path: " + path + "\r\n";
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return text + "Couldn't locate the file";
    }
    text += "Modified: " + FormatModificationTime(GetFileModTime(path)) + "\r\n";
    text += "File size: " + UInt64ToText(GetFileSize64(path) / 1024) + " KB";
    const std::string signature = FormatSignature(GetSignatureCache().Get(path));
    if (!signature.empty()) {
        text += "\r\nSignature: " + signature;
    }
    return text;
}
