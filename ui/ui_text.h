#pragma once

#include <cstdint>
#include <string>

#include "jobs/string_table.h"

namespace velloran {

// The string-table text shown for `id`; empty when the table has none.
inline std::string UiText(uint32_t id) {
    return LoadTableString(id).value_or(std::string());
}

}  // namespace velloran
