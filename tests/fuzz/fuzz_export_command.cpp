// The export's command line on arbitrary bytes. Besides crashes: what the
// parser answers is whole, and the split arguments come back from a line
// quoted the C runtime's way.
#include "app/ExportCommand.h"
#include "tests/fuzz/FuzzRequire.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

std::string Quote(const std::string& argument) {
    std::string quoted = "\"";
    size_t slashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        quoted.append(c == '"' ? slashes * 2 + 1 : slashes, '\\');
        slashes = 0;
        quoted += c;
    }
    return quoted + std::string(slashes * 2, '\\') + "\"";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    const ExportCommand command = ParseExportCommand(line);
    if (command.kind == ExportKind::None) {
        Require(command.error.empty() && command.file.empty());
    } else if (command.error.empty()) {
        Require(!command.file.empty() && command.file[0] != '/');
    }

    const std::vector<std::string> arguments = SplitCommandLine(line);
    std::string again = "orvane.exe";
    for (const std::string& argument : arguments) {
        again += " " + Quote(argument);
    }
    Require(SplitCommandLine(again) == arguments);
    return 0;
}
