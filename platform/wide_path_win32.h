#pragma once

#include <string>

namespace velloran {

// UTF-8 text as UTF-16 for the wide Win32 calls. Empty when the text is not valid UTF-8
// or holds a NUL, so that a call given it fails instead of reaching some other file.
std::wstring WideFromUtf8(const std::string& text);

// A UTF-8 path for CreateFileW and its kin. A path whose full form (GetFullPathNameW) is
// too long for the classic MAX_PATH limit is made absolute and given the "\\?\" prefix,
// which lifts the limit; whatever its length as typed.
std::wstring WidePath(const std::string& path);

}  // namespace velloran
