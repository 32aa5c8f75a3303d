// On a console (Wine makes real ones), the command line keeps the user's code page and the
// text arrives as the characters written. The end-to-end runs read redirected output.
#include <windows.h>

#include <gtest/gtest.h>

#include <iostream>
#include <string>

#include "cli/console.h"

namespace velloran::testing {
namespace {

TEST(Console, KeepsTheCodePageAndWritesTheCharactersThemselves) {
    // A console of the test's own; it becomes the standard output and error.
    FreeConsole();
    ASSERT_TRUE(AllocConsole());
    std::streambuf* const out = std::cout.rdbuf();
    std::streambuf* const err = std::cerr.rdbuf();
    const UINT codePage = GetConsoleOutputCP();

    cli::PrepareStandardStreams();
    // "受信" on standard output, its first byte alone in one write; "完了" on standard error.
    std::cout << "\xe5" << std::flush << "\x8f\x97\xe4\xbf\xa1" << std::flush;
    std::cerr << "\xe5\xae\x8c\xe4\xba\x86";
    std::cout.rdbuf(out);
    std::cerr.rdbuf(err);

    EXPECT_EQ(GetConsoleOutputCP(), codePage);
    std::wstring shown(4, L'\0');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(GetStdHandle(STD_OUTPUT_HANDLE), shown.data(), 4, COORD{0, 0},
                                &read);
    EXPECT_EQ(shown, L"\u53d7\u4fe1\u5b8c\u4e86");
    FreeConsole();
}

}  // namespace
}  // namespace velloran::testing
