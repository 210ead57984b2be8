#include "app/ExportCommand.h"

#include <cstring>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The program's name ends at the first blank, or at its closing quote; no
// backslash escapes there, as a folder may end in one.
size_t SkipProgramName(const std::string& line) {
    size_t at = 0;
    bool quoted = false;
    for (; at < line.size(); ++at) {
        if (line[at] == '"') {
            quoted = !quoted;
        } else if (IsBlank(line[at]) && !quoted) {
            break;
        }
    }
    return at;
}

bool SameSwitch(const std::string& argument, const char* name) {
    if (argument.size() != std::strlen(name) + 1 || (argument[0] != '/' && argument[0] != '-')) {
        return false;
    }
    for (size_t i = 1; i < argument.size(); ++i) {
        const char c = argument[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != name[i - 1]) {
            return false;
        }
    }
    return true;
}

} // namespace

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
    std::vector<std::string> arguments;
    size_t at = SkipProgramName(commandLine);
    while (true) {
        while (at < commandLine.size() && IsBlank(commandLine[at])) {
            ++at;
        }
        if (at >= commandLine.size()) {
            return arguments;
        }
        std::string argument;
        bool quoted = false;
        while (at < commandLine.size() && (quoted || !IsBlank(commandLine[at]))) {
            size_t slashes = 0;
            while (at < commandLine.size() && commandLine[at] == '\\') {
                ++slashes;
                ++at;
            }
            if (at < commandLine.size() && commandLine[at] == '"') {
                // 2n backslashes and a quote: n of them and the quote toggles;
                // 2n + 1: n of them and a quote of the text.
                argument.append(slashes / 2, '\\');
                if (slashes % 2 == 1) {
                    argument += '"';
                } else if (quoted && at + 1 < commandLine.size() && commandLine[at + 1] == '"') {
                    // "" inside quotes is one quote of the text.
                    argument += '"';
                    ++at;
                } else {
                    quoted = !quoted;
                }
                ++at;
            } else {
                argument.append(slashes, '\\');
                if (at < commandLine.size() && (quoted || !IsBlank(commandLine[at]))) {
                    argument += commandLine[at];
                    ++at;
                }
            }
        }
        arguments.push_back(std::move(argument));
    }
}

ExportCommand ParseExportCommand(const std::string& commandLine) {
    ExportCommand command;
    const std::vector<std::string> arguments = SplitCommandLine(commandLine);
    for (size_t i = 0; i < arguments.size(); ++i) {
        const bool report = SameSwitch(arguments[i], "report");
        if (!report && !SameSwitch(arguments[i], "csv")) {
            continue;
        }
        const std::string name = report ? "/report" : "/csv";
        if (command.kind != ExportKind::None) {
            command.error = "Give one of /report and /csv at a time.";
            return command;
        }
        command.kind = report ? ExportKind::Report : ExportKind::Csv;
        if (i + 1 >= arguments.size() || arguments[i + 1].empty() || arguments[i + 1][0] == '/') {
            command.error = name + " needs the file to write: orvane.exe " + name +
                            " <file> (a path with spaces in double quotes).";
            return command;
        }
        command.file = arguments[++i];
    }
    return command;
}
