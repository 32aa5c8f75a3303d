#include <windows.h>

#include <fstream>
#include <sstream>

#include "platform/wide_path_win32.h"
#include "tests/cli/program_run.h"

namespace velloran::testing {
namespace {

constexpr const wchar_t* kSimVariablePrefix = L"VELLORAN_SIM_";
constexpr DWORD kNoExit = static_cast<DWORD>(-1);

bool SameName(const std::wstring& a, const std::wstring& b) {
    return _wcsicmp(a.c_str(), b.c_str()) == 0;
}

// This process's environment without any VELLORAN_SIM_ variable and without the ones
// `extra` sets, then `extra`, as a block for CreateProcessW.
std::vector<wchar_t> ChildEnvironment(const std::map<std::string, std::string>& extra) {
    std::vector<std::wstring> entries;
    wchar_t* strings = GetEnvironmentStringsW();
    for (const wchar_t* entry = strings; *entry != L'\0'; entry += wcslen(entry) + 1) {
        const std::wstring text = entry;
        const std::wstring name = text.substr(0, text.find(L'=', 1));
        bool replaced =
            _wcsnicmp(name.c_str(), kSimVariablePrefix, wcslen(kSimVariablePrefix)) == 0;
        for (const auto& [extraName, value] : extra) {
            replaced = replaced || SameName(name, WideFromUtf8(extraName));
        }
        if (!replaced) {
            entries.push_back(text);
        }
    }
    FreeEnvironmentStringsW(strings);
    for (const auto& [name, value] : extra) {
        entries.push_back(WideFromUtf8(name) + L"=" + WideFromUtf8(value));
    }
    std::vector<wchar_t> block;
    for (const std::wstring& entry : entries) {
        block.insert(block.end(), entry.begin(), entry.end());
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

// A command line that CommandLineToArgvW splits back into `args`.
std::wstring Quoted(const std::wstring& arg) {
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted.push_back(c);
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

HANDLE InheritableFile(const std::filesystem::path& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& environment,
                         const std::filesystem::path& workDir,
                         const std::filesystem::path& scratchDir) {
    std::wstring commandLine = Quoted(WideFromUtf8(program));
    for (const std::string& arg : args) {
        commandLine += L" " + Quoted(WideFromUtf8(arg));
    }
    std::vector<wchar_t> block = ChildEnvironment(environment);
    const std::filesystem::path outPath = scratchDir / "stdout.txt";
    const std::filesystem::path errPath = scratchDir / "stderr.txt";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = InheritableFile(L"NUL", GENERIC_READ, OPEN_EXISTING);
    startup.hStdOutput = InheritableFile(outPath, GENERIC_WRITE, CREATE_ALWAYS);
    startup.hStdError = InheritableFile(errPath, GENERIC_WRITE, CREATE_ALWAYS);
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, block.data(),
                                        workDir.c_str(), &startup, &process) != 0;
    CloseHandle(startup.hStdInput);
    CloseHandle(startup.hStdOutput);
    CloseHandle(startup.hStdError);
    ProgramResult result;
    if (started) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = kNoExit;
        GetExitCodeProcess(process.hProcess, &code);
        result.exitStatus = code == kNoExit ? -1 : static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    result.out = Slurp(outPath);
    result.err = Slurp(errPath);
    return result;
}

}  // namespace velloran::testing
