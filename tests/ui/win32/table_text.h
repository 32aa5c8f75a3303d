#pragma once

#include <cstdint>
#include <string>

#include "ui/win32/utf8_text.h"
#include "velloran_version.h"

namespace velloran::testing {

// The shared string table (res/strings.def) as the tests expect to see it in windows.
// Read here from the X-macro file itself: the core's lookup function is called
// LoadString, which windows.h turns into LoadStringA.
struct TableEntry {
    uint32_t id;
    const char* text;  // UTF-8
};

inline constexpr TableEntry kTableEntries[] = {
#define VELLORAN_STRING(id, name, text) {id, text},
#include "res/strings.def"
#undef VELLORAN_STRING
};

// The UTF-16 text of entry `id`; empty when there is none.
inline std::wstring TableText(uint32_t id) {
    for (const TableEntry& entry : kTableEntries) {
        if (entry.id == id) {
            return Utf16(entry.text);
        }
    }
    return {};
}

}  // namespace velloran::testing
