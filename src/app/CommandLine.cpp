#include "app/CommandLine.h"

#include <windows.h>
#include <shellapi.h>

#include "base/Paths.h"
#include "base/Text.h"

CommandLine ParseCommandLine(const std::vector<std::wstring>& args) {
    CommandLine line;
    line.args = args;
    // Paths are made absolute here, where they enter: the current folder may
    // change later (a file dialog), and a running window handed a path has
    // a current folder of its own. A blank argument becomes empty: nothing.
    for (size_t i = 1; i < line.args.size(); ++i)
        if (line.args[i].empty() || line.args[i][0] != L'/') line.args[i] = AbsolutePath(line.args[i].c_str());
    if (args.size() <= 1) return line;
    for (size_t i = 1; i < args.size() && !args[i].empty() && args[i][0] == L'/'; ++i) {
        const wchar_t* s = args[i].c_str();
        if (EqualsIgnoreAsciiCase(s, L"/showwindow")) line.showWindow = true;
        else if (EqualsIgnoreAsciiCase(s, L"/silent")) line.silent = true;
        else if (EqualsIgnoreAsciiCase(s, L"/verysilent")) line.verySilent = true;
        else if (EqualsIgnoreAsciiCase(s, L"/singleinstance")) line.singleInstance = true;
    }
    if (line.showWindow) {
        line.silent = line.verySilent = false;
    } else {
        line.singleInstance = false;
        // A lone /silent or /verysilent opens the window.
        line.batch = !((line.silent || line.verySilent) && args.size() <= 2);
    }
    return line;
}

StartMode CommandLine::Mode(bool runningInstance) const {
    if (batch) return StartMode::Batch;
    if (showWindow && singleInstance && runningInstance) return StartMode::HandOver;
    return StartMode::Window;
}

std::vector<std::wstring> CommandLine::WindowPaths() const {
    if (!showWindow || args.size() <= 2) return {};
    return std::vector<std::wstring>(args.begin() + 2, args.end());
}

namespace {

std::vector<std::wstring> PathsFrom(const std::vector<std::wstring>& args, size_t first) {
    std::vector<std::wstring> paths;
    for (size_t i = first; i < args.size(); ++i)
        if (!args[i].empty() && args[i][0] != L'/') paths.push_back(args[i]);
    return paths;
}

} // namespace

std::vector<std::wstring> CommandLine::HandOverPaths() const {
    return PathsFrom(args, 3);
}

std::vector<std::wstring> CommandLine::BatchPaths() const {
    return PathsFrom(args, 1);
}

std::vector<std::wstring> SplitCommandLine(const wchar_t* commandLine) {
    std::vector<std::wstring> args;
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(commandLine, &count);
    if (argv == nullptr) return args;
    for (int i = 0; i < count; ++i) args.push_back(argv[i]);
    LocalFree(argv);
    return args;
}
