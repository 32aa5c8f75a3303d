#pragma once

#include <string>
#include <string_view>

namespace velloran {

// What a compiled help file's #SYSTEM object says about it. Texts are in the help's
// code page, as stored.
struct ChmSystemInfo {
    std::string contentsFile;  // e.g. "contents.hhc"
    std::string defaultTopic;  // e.g. "index.html"
    std::string title;
};

// Reads the records of a #SYSTEM object: a 4-byte version, then records of a 16-bit code,
// a 16-bit length and that many bytes. Unknown codes and a truncated tail are skipped.
ChmSystemInfo ParseChmSystem(std::string_view bytes);

}  // namespace velloran
