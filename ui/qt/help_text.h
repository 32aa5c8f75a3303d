#pragma once

#include <QString>
#include <string>

namespace velloran {

// Text of a help file's project and contents, which the help viewer reads in the help's
// code page (Japanese: CP932). Falls back to UTF-8 when the toolkit has no such codec.
QString FromHelpCodePage(const std::string& bytes);

}  // namespace velloran
