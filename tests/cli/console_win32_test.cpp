// The command line on a real console of its own (Wine has one too): the console keeps the
// user's code page, and the text arrives as the characters written, whatever that code
// page is. Redirected output is checked by the end-to-end runs, which read it as bytes.
#include <windows.h>

#include <gtest/gtest.h>

#include <iostream>
#include <string>

#include "cli/console.h"

namespace velloran::testing {
namespace {

// What the console shows at the start of its first line.
std::wstring ConsoleText(HANDLE console, DWORD length) {
    std::wstring text(length, L'\0');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(console, text.data(), length, COORD{0, 0}, &read);
    text.resize(read);
    return text;
}

TEST(Console, KeepsTheCodePageAndWritesTheCharactersThemselves) {
    // A console of the test's own, as the standard output and error.
    FreeConsole();
    ASSERT_TRUE(AllocConsole());
    const HANDLE console =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(console, INVALID_HANDLE_VALUE);
    const HANDLE previousOut = GetStdHandle(STD_OUTPUT_HANDLE);
    const HANDLE previousErr = GetStdHandle(STD_ERROR_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, console);
    SetStdHandle(STD_ERROR_HANDLE, console);
    std::streambuf* const out = std::cout.rdbuf();
    std::streambuf* const err = std::cerr.rdbuf();
    const UINT codePage = GetConsoleOutputCP();

    cli::PrepareStandardStreams();
    // "受信" on standard output, its first byte only in one write, the rest flushed in the
    // next; then "完了" on standard error.
    const std::string received = "\xe5\x8f\x97\xe4\xbf\xa1";
    std::cout << received.substr(0, 1) << std::flush << received.substr(1) << std::flush;
    std::cerr << "\xe5\xae\x8c\xe4\xba\x86";

    EXPECT_EQ(GetConsoleOutputCP(), codePage);
    EXPECT_EQ(ConsoleText(console, 4), L"\u53d7\u4fe1\u5b8c\u4e86");

    std::cout.rdbuf(out);
    std::cerr.rdbuf(err);
    SetStdHandle(STD_OUTPUT_HANDLE, previousOut);
    SetStdHandle(STD_ERROR_HANDLE, previousErr);
    CloseHandle(console);
    FreeConsole();
}

}  // namespace
}  // namespace velloran::testing
