#include <fcntl.h>
#include <io.h>
#include <windows.h>

// After windows.h, on which it builds.
#include <shellapi.h>

#include <cstdio>
#include <iostream>
#include <streambuf>
#include <string>
#include <string_view>

#include "cli/console.h"
#include "cli/utf8_path.h"

namespace velloran::cli {

// The narrow arguments are in the ANSI code page, which cannot hold every file name:
// the wide command line is read instead.
std::vector<std::string> ProgramArguments(int, char**) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide != nullptr && i < count; ++i) {
        args.push_back(Utf8FromWide(wide[i]));
    }
    LocalFree(wide);
    return args;
}

namespace {

// A stream bound for a console. The console shows text in its output code page, which
// the program leaves as the user set it (a change would outlive the program and garble
// the next tool's output), so the UTF-8 text goes out as UTF-16 through WriteConsoleW.
// Each write goes out at once, so the order of standard output and error is kept; only
// the start of a character whose bytes have not all arrived waits for the rest.
class ConsoleBuffer final : public std::streambuf {
  public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) {}

  protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) {
            return traits_type::not_eof(c);
        }
        pending_ += traits_type::to_char_type(c);
        return WriteWholeCharacters() ? c : traits_type::eof();
    }

    std::streamsize xsputn(const char* text, std::streamsize count) override {
        pending_.append(text, static_cast<size_t>(count));
        return WriteWholeCharacters() ? count : 0;
    }

    int sync() override { return WriteWholeCharacters() ? 0 : -1; }

  private:
    // Conversions and writes of at most this many bytes; older consoles refuse very
    // long writes.
    static constexpr size_t kPieceBytes = 4096;

    static bool IsContinuation(char byte) {
        return (static_cast<unsigned char>(byte) & 0xc0) == 0x80;
    }

    // How many bytes a character starting with `lead` takes; 1 for a byte that starts none.
    static size_t SequenceLength(char lead) {
        const auto byte = static_cast<unsigned char>(lead);
        return byte >= 0xf0 ? 4 : byte >= 0xe0 ? 3 : byte >= 0xc0 ? 2 : 1;
    }

    // The length of `text` without a last character that is not complete yet.
    static size_t WholeCharacters(std::string_view text) {
        size_t lead = text.size();
        while (lead > 0 && text.size() - lead < 3 && IsContinuation(text[lead - 1])) {
            --lead;
        }
        if (lead == 0) {
            return text.size();
        }
        --lead;
        return text.size() - lead < SequenceLength(text[lead]) ? lead : text.size();
    }

    bool WriteWholeCharacters() {
        std::string_view rest = pending_;
        while (!rest.empty()) {
            const size_t piece = WholeCharacters(rest.substr(0, kPieceBytes));
            if (piece == 0) {
                break;
            }
            if (!Write(rest.substr(0, piece))) {
                pending_.clear();
                return false;
            }
            rest.remove_prefix(piece);
        }
        pending_.erase(0, pending_.size() - rest.size());
        return true;
    }

    bool Write(std::string_view utf8) {
        const int length = static_cast<int>(utf8.size());
        std::wstring wide(
            static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0)),
            L'\0');
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(),
                            static_cast<int>(wide.size()));
        DWORD written = 0;
        return WriteConsoleW(console_, wide.data(), static_cast<DWORD>(wide.size()), &written,
                             nullptr) != 0;
    }

    HANDLE console_;
    std::string pending_;
};

// A standard stream that is a console gets a console buffer, for the life of the program
// (the standard streams are flushed after every static object has gone). Redirected
// output, to a file or a pipe, stays UTF-8 bytes: binary, with no "\r" before each "\n",
// byte for byte what it is elsewhere.
void PrepareStream(std::ostream& stream, FILE* file, DWORD standardHandle) {
    const HANDLE handle = GetStdHandle(standardHandle);
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode) != 0) {
        stream.rdbuf(new ConsoleBuffer(handle));
    } else {
        _setmode(_fileno(file), _O_BINARY);
    }
}

}  // namespace

void PrepareStandardStreams() {
    PrepareStream(std::cout, stdout, STD_OUTPUT_HANDLE);
    PrepareStream(std::cerr, stderr, STD_ERROR_HANDLE);
}

// A console, not merely a character device: the NUL device is one too.
bool StandardErrorIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

}  // namespace velloran::cli
