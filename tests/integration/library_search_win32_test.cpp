// Where the production loader finds a driver library on Windows: in a folder on PATH,
// never in the current folder, which the open dialog changes and where anyone may have
// planted a library of the same name.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/dynamic_library.h"
#include "tests/support/temp_dir.h"

namespace velloran {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

// A name that nothing else loads, so each load goes through the search.
constexpr const char* kProbeName = "VelloranProbe.dll";
constexpr const char* kProbeEntry = "Hdv305UsbWrite";
constexpr DWORD kLongPath = 32768;

fs::path ModulePath(HMODULE module) {
    std::wstring path(kLongPath, L'\0');
    path.resize(GetModuleFileNameW(module, path.data(), kLongPath));
    return fs::path(path);
}

struct Placement {
    const char* name;
    bool inCurrentFolder;
    bool inPathFolder;
};

class LibrarySearch : public ::testing::TestWithParam<Placement> {
  protected:
    void TearDown() override {
        fs::current_path(savedFolder_);
        SetEnvironmentVariableW(L"PATH", savedPath_.c_str());
    }

    const fs::path savedFolder_ = fs::current_path();
    std::wstring savedPath_ = std::wstring(kLongPath, L'\0');
    TempDir current_;  // left by TearDown before it goes
    TempDir onPath_;
};

TEST_P(LibrarySearch, LoadsOnlyFromThePathFolder) {
    savedPath_.resize(GetEnvironmentVariableW(L"PATH", savedPath_.data(), kLongPath));
    // The simulated library, found relative to this test program's folder.
    const fs::path simulated =
        ModulePath(nullptr).parent_path() / VELLORAN_SIM_DIR_FROM_PROGRAMS / "Hdv305.dll";
    for (const auto& [folder, planted] : {std::pair{&current_, GetParam().inCurrentFolder},
                                          std::pair{&onPath_, GetParam().inPathFolder}}) {
        if (planted) {
            fs::copy_file(simulated, folder->Path() / kProbeName);
        }
    }
    ASSERT_TRUE(
        SetEnvironmentVariableW(L"PATH", (onPath_.Path().wstring() + L";" + savedPath_).c_str()));
    fs::current_path(current_.Path());

    LibraryLoader& loader = SystemLibraryLoader();
    void* library = loader.Load(kProbeName);
    ASSERT_EQ(library != nullptr, GetParam().inPathFolder);
    if (library != nullptr) {
        EXPECT_NE(loader.Symbol(library, kProbeEntry), nullptr);
        EXPECT_EQ(ModulePath(static_cast<HMODULE>(library)).parent_path(), onPath_.Path());
        loader.Free(library);
    } else {
        // The planted copy is a loadable library: only the search passed it over.
        const HMODULE planted = LoadLibraryW((current_.Path() / kProbeName).c_str());
        EXPECT_NE(planted, nullptr);
        FreeLibrary(planted);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, LibrarySearch,
                         ::testing::Values(Placement{"CurrentFolderOnly", true, false},
                                           Placement{"PathFolderOnly", false, true},
                                           Placement{"BothFolders", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velloran
