#include "cli/usage.h"

#include "catalogue/model_catalogue.h"

namespace velloran::cli {

std::string UsageText() {
    std::string models;
    for (const std::string& name : DisplayNames()) {
        models += (models.empty() ? "" : ", ") + name;
    }
    return "Usage:\n"
           "  velloran-cli models                          list the printer models\n"
           "  velloran-cli receive MODEL [FILE] [--force]  printer memory -> backup file\n"
           "  velloran-cli send MODEL FILE                 backup file -> printer memory\n"
           "  velloran-cli inspect FILE                    header, records, which models take it\n"
           "  velloran-cli --help                          this text\n"
           "  velloran-cli --version                       the version\n"
           "\n"
           "MODEL is one of " +
           models +
           " (any letter case).\n"
           "receive writes FILE, by default the dated backup name in the current folder,\n"
           "and replaces an existing file only with --force. `--` ends the options.\n"
           "\n"
           "When a transfer ends, its outcome text goes to standard output on success and to\n"
           "standard error on failure. A progress bar is drawn on standard error when it is a\n"
           "terminal.\n"
           "\n"
           "Exit status: 0 success; 1 the transfer failed; 2 usage error, unknown model,\n"
           "missing or unreadable file argument, or an existing file without --force\n"
           "(nothing sent, nothing written).\n";
}

}  // namespace velloran::cli
