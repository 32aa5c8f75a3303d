#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_app.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    velloran::cli::CliContext context{std::cout, std::cerr};
    context.errIsTerminal = isatty(STDERR_FILENO) == 1;
    context.today = velloran::TodayLocal();
    return velloran::cli::RunCli(args, context);
}
