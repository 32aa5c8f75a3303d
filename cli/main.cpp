#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "cli/console.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args = velloran::cli::ProgramArguments(argc, argv);
    velloran::cli::PrepareStandardStreams();
    velloran::cli::CliContext context{std::cout, std::cerr};
    context.errIsTerminal = velloran::cli::StandardErrorIsTerminal();
    context.today = velloran::TodayLocal();
    return velloran::cli::RunCli(args, context);
}
