#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>

namespace velloran::driving {

// A program started by a test, with this process's environment and some variables
// replaced or added. Ended by the destructor if it is still running.
class ProgramUnderTest {
  public:
    ProgramUnderTest(const std::wstring& program,
                     const std::map<std::wstring, std::wstring>& environment);
    ~ProgramUnderTest();
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    bool Started() const { return process_.hProcess != nullptr; }
    DWORD Id() const { return process_.dwProcessId; }
    // The exit code once the program has ended; nullopt if it runs on after `timeoutMs`.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs);
    // Whether the program has a module of this file name loaded.
    bool HasModule(const std::wstring& fileName) const;

  private:
    PROCESS_INFORMATION process_{};
};

}  // namespace velloran::driving
