#include "ui/win32/driving/program_under_test.h"

#include <tlhelp32.h>

#include <vector>

namespace velloran::driving {
namespace {

constexpr DWORD kEndTimeoutMs = 5000;
constexpr UINT kKilledExitCode = 99;

struct NoCase {
    bool operator()(const std::wstring& a, const std::wstring& b) const {
        return _wcsicmp(a.c_str(), b.c_str()) < 0;
    }
};

// This process's environment with `changes` applied, as a block for CreateProcessW.
std::vector<wchar_t> EnvironmentBlock(const std::map<std::wstring, std::wstring>& changes) {
    std::map<std::wstring, std::wstring, NoCase> variables;
    wchar_t* strings = GetEnvironmentStringsW();
    for (const wchar_t* entry = strings; *entry != L'\0'; entry += wcslen(entry) + 1) {
        const std::wstring text = entry;
        const size_t equals = text.find(L'=', 1);  // names of drive folders start with '='
        if (equals != std::wstring::npos) {
            variables[text.substr(0, equals)] = text.substr(equals + 1);
        }
    }
    FreeEnvironmentStringsW(strings);
    for (const auto& [name, value] : changes) {
        variables[name] = value;
    }
    std::vector<wchar_t> block;
    for (const auto& [name, value] : variables) {
        const std::wstring entry = name + L"=" + value;
        block.insert(block.end(), entry.begin(), entry.end());
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

}  // namespace

ProgramUnderTest::ProgramUnderTest(const std::wstring& program,
                                   const std::map<std::wstring, std::wstring>& environment) {
    std::vector<wchar_t> block = EnvironmentBlock(environment);
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_UNICODE_ENVIRONMENT, block.data(), nullptr, &startup, &process_)) {
        process_ = {};
    }
}

ProgramUnderTest::~ProgramUnderTest() {
    if (!Started()) {
        return;
    }
    if (!WaitForExit(0)) {
        TerminateProcess(process_.hProcess, kKilledExitCode);
        WaitForSingleObject(process_.hProcess, kEndTimeoutMs);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

std::optional<DWORD> ProgramUnderTest::WaitForExit(DWORD timeoutMs) {
    if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

bool ProgramUnderTest::HasModule(const std::wstring& fileName) const {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process_.dwProcessId);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return false;
    }
    MODULEENTRY32W module{};
    module.dwSize = sizeof module;
    bool found = false;
    for (BOOL more = Module32FirstW(snapshot, &module); more && !found;
         more = Module32NextW(snapshot, &module)) {
        found = _wcsicmp(module.szModule, fileName.c_str()) == 0;
    }
    CloseHandle(snapshot);
    return found;
}

}  // namespace velloran::driving
