#pragma once

#include <string>
#include <vector>

namespace velloran::cli {

// What the program takes from and gives to the system it runs on, the same on every
// system: its arguments as UTF-8 text (without the program's own name), standard output
// and error as plain bytes (UTF-8 text, "\n" line ends), and whether standard error is a
// terminal (only then is a progress bar drawn).
std::vector<std::string> ProgramArguments(int argc, char** argv);
void PrepareStandardStreams();
bool StandardErrorIsTerminal();

}  // namespace velloran::cli
