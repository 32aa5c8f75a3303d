// Feeds arbitrary file contents to the two file tests and to ReadFileAt, and checks that
// an accepted file really holds what acceptance promises.
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "catalogue/backup_file.h"
#include "fuzz/fuzz_input.h"
#include "tests/support/temp_dir.h"

using velloran::BackupFileContext;
using velloran::fuzzing::FuzzInput;

namespace {

const velloran::testing::TempDir& Folder() {
    static const velloran::testing::TempDir dir;
    return dir;
}

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    BackupFileContext context;
    context.modelIndex = input.Byte() % 4;
    const uint32_t readCount = input.Byte();
    const uint32_t readOffset = input.Le32() % 4096;
    const std::vector<uint8_t> contents = input.Rest();
    context.filePath = Folder().File("fuzz.vid");
    velloran::testing::WriteBytes(context.filePath, contents);

    if (context.ValidateSingleRegionFile() == 1) {
        Check(context.regionLength != 0);
        Check(contents.size() >= uint64_t{context.regionLength} + 16);
    }
    context.sourceLayout = 99;
    if (context.ClassifyMultiRegionFile() == 1) {
        Check(context.sourceLayout < 3 && contents.size() > 16);
        Check(contents[6] == 0 && contents[7] == 0);
    } else {
        Check(context.sourceLayout == 99);
    }
    std::vector<uint8_t> buffer(readCount + 1, 0xA5);
    // A read of no bytes succeeds anywhere; any other read only within the file.
    if (context.ReadFileAt(readCount, readOffset, buffer.data()) == 1 && readCount > 0) {
        Check(uint64_t{readOffset} + readCount <= contents.size());
        for (uint32_t i = 0; i < readCount; ++i) {
            Check(buffer[i] == contents[readOffset + i]);
        }
    }
    Check(buffer[readCount] == 0xA5);
    return 0;
}
