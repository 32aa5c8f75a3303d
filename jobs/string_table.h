#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velloran {

// String-table ids, one enumerator a text of res/strings.def.
enum StringId : uint32_t {
#define VELLORAN_STRING(id, name, text) name = id,
#include "res/strings.def"
#undef VELLORAN_STRING
};

// The UTF-8 text of a string-table entry; nullopt when there is none (an empty entry
// counts as none).
std::optional<std::string> LoadTableString(uint32_t id);

}  // namespace velloran
