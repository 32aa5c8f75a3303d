#pragma once

#include <string>

namespace velloran {

// The full path of the running program (UTF-8), of any length; empty if unknown.
std::string ProgramPath();

}  // namespace velloran
