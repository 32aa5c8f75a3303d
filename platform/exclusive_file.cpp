#include "platform/exclusive_file.h"

#include <atomic>

namespace velloran {
namespace {

std::atomic<uint64_t> opens{0};

}  // namespace

void ExclusiveFile::CountOpen() {
    opens.fetch_add(1, std::memory_order_relaxed);
}

uint64_t ExclusiveFileOpenCount() {
    return opens.load(std::memory_order_relaxed);
}

}  // namespace velloran
