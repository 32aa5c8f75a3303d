#include "jobs/string_table.h"

#include <array>
#include <string_view>

#include "velloran_version.h"

namespace velloran {
namespace {

struct StringEntry {
    uint32_t id;
    std::string_view text;
};

constexpr StringEntry kStrings[] = {
#define VELLORAN_STRING(id, name, text) {id, text},
#include "res/strings.def"
#undef VELLORAN_STRING
};

}  // namespace

std::optional<std::string> LoadTableString(uint32_t id) {
    for (const StringEntry& entry : kStrings) {
        if (entry.id == id && !entry.text.empty()) {
            return std::string(entry.text);
        }
    }
    return std::nullopt;
}

}  // namespace velloran
