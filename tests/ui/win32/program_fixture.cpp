#include "tests/ui/win32/program_fixture.h"

#include "res/resource.h"
#include "ui/win32/utf8_text.h"

namespace velloran::testing {

void ProgramTest::TearDown() {
    if (program == nullptr || program->WaitForExit(0)) {
        return;
    }
    Press(IDC_EXIT);
    EXPECT_EQ(program->WaitForExit(kExitTimeoutMs), DWORD{0});
}

void ProgramTest::Start(const std::string& programPath) {
    program = std::make_unique<ProgramUnderTest>(
        Utf16(programPath), SimulatedPrinterEnvironment(VELLORAN_SIM_DRIVER_DIR, state.Path()));
    ASSERT_TRUE(program->Started());
    mainWindow = Wait(kMainWindowMark);
    ASSERT_NE(mainWindow, nullptr);
}

void ProgramTest::AnswerFileDialog(const std::string& path) {
    EXPECT_TRUE(testing::AnswerFileDialog(program->Id(), path)) << "no file dialog";
}

std::wstring ProgramTest::ProposedName() {
    const HWND dialog = Wait(kFileDialogMark);
    std::wstring name;
    WaitUntil([&] { return !(name = ControlText(dialog, kFileDialogMark.controlId)).empty(); },
              kWindowTimeoutMs);
    return name;
}

std::wstring ProgramTest::OfferedType() {
    return ControlText(Wait(kFileDialogMark), kFileTypeBoxId);
}

SeenBox ProgramTest::AnswerBox(int button, DWORD timeoutMs) {
    const std::optional<SeenBox> seen = testing::AnswerBox(program->Id(), button, timeoutMs);
    EXPECT_TRUE(seen.has_value()) << "no message box";
    return seen.value_or(SeenBox{});
}

}  // namespace velloran::testing
