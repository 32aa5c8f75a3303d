#include <fcntl.h>
#include <io.h>
#include <windows.h>

// After windows.h, on which it builds.
#include <shellapi.h>

#include <cstdio>

#include "cli/console.h"
#include "cli/utf8_path.h"

namespace velloran::cli {

// The narrow arguments are in the ANSI code page, which cannot hold every file name:
// the wide command line is read instead.
std::vector<std::string> ProgramArguments(int, char**) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide != nullptr && i < count; ++i) {
        args.push_back(Utf8FromWide(wide[i]));
    }
    LocalFree(wide);
    return args;
}

// Binary streams: no "\r" before each "\n", so output is byte for byte what it is
// elsewhere; a console shows the UTF-8 text as such.
void PrepareStandardStreams() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
}

// A console, not merely a character device: the NUL device is one too.
bool StandardErrorIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

}  // namespace velloran::cli
