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
           "  velloran-cli send MODEL FILE [--verify]      backup file -> printer memory\n"
           "  velloran-cli verify MODEL FILE               compare the printer with what a\n"
           "                                               send of FILE writes\n"
           "  velloran-cli diff A.vid B.vid                compare two backups by address\n"
           "  velloran-cli devices MODEL                   device indices where a printer\n"
           "                                               of MODEL answers\n"
           "  velloran-cli inspect FILE [--json]           header, records, which models take it\n"
           "  velloran-cli --help                          this text\n"
           "  velloran-cli --version                       the version\n"
           "\n"
           "Options:\n"
           "  --force         receive: replace an existing FILE\n"
           "  --verify        send: verify the printer once the send succeeded\n"
           "  --trace TRACE   receive, send, verify: write one line per exchange to TRACE\n"
           "                  (time, bytes sent, polls, reply) and the outcome at the end\n"
           "  --device N      receive, send, verify: open the printer at device index N\n"
           "                  (0 to 127) instead of the first that answers\n"
           "  --json          inspect: the analysis as JSON\n"
           "  --              ends the options\n"
           "\n"
           "MODEL is one of " +
           models +
           " (any letter case).\n"
           "receive writes FILE, by default the dated backup name in the current folder.\n"
           "verify reads the printer like a receive, writes no file, and prints `identical`\n"
           "or the differing ranges (address, length, first bytes; 20 ranges, then a count).\n"
           "A file the file tests refuse is named with the reason before the outcome text.\n"
           "\n"
           "When a transfer ends, its outcome text goes to standard output on success and to\n"
           "standard error on failure. A progress bar is drawn on standard error when it is a\n"
           "terminal.\n"
           "\n"
           "Exit status: 0 success, identical; 1 the transfer failed, a refused file (verify,\n"
           "send), no printer answers (devices); 2 usage error, unknown model, missing or\n"
           "unreadable file argument, a file diff refuses, an unusable trace file, or an\n"
           "existing file without --force (nothing sent, nothing written); 3 verify or diff\n"
           "found differences.\n";
}

}  // namespace velloran::cli
