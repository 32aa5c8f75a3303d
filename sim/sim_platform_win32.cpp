#include <windows.h>
// windows.h maps ReplaceFile to ReplaceFileA/W; the simulator's own function has that name.
#undef ReplaceFile

#include <climits>

#include "sim/sim_platform.h"

namespace velloran::sim::platform {
namespace {

constexpr DWORD kReadChunk = 4096;

// UTF-8 to UTF-16 and back: the simulator's paths and variables are UTF-8 text.
std::wstring Widen(const std::string& text) {
    if (text.empty() || text.size() > INT_MAX) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int wide = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    std::wstring out(static_cast<size_t>(wide > 0 ? wide : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), length, out.data(), wide);
    return out;
}

std::string Narrow(const std::wstring& text) {
    if (text.empty() || text.size() > INT_MAX) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int narrow =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(narrow > 0 ? narrow : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), narrow, nullptr, nullptr);
    return out;
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsDirectory(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool MakeOneDirectory(const std::string& path) {
    const std::wstring wide = Widen(path);
    return CreateDirectoryW(wide.c_str(), nullptr) != 0 || IsDirectory(wide);
}

bool WriteAll(HANDLE file, const uint8_t* bytes, size_t count) {
    while (count > 0) {
        const DWORD chunk = count > MAXDWORD ? MAXDWORD : static_cast<DWORD>(count);
        DWORD written = 0;
        if (WriteFile(file, bytes, chunk, &written, nullptr) == 0 || written == 0) {
            return false;
        }
        bytes += written;
        count -= written;
    }
    return true;
}

}  // namespace

std::optional<std::string> GetEnv(const char* name) {
    const std::wstring wideName = Widen(name);
    const DWORD needed = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (needed == 0) {
        // Zero is also the answer for a variable that is set but empty.
        return GetLastError() == ERROR_ENVVAR_NOT_FOUND ? std::nullopt
                                                        : std::optional<std::string>("");
    }
    std::wstring value(needed, L'\0');
    const DWORD length = GetEnvironmentVariableW(wideName.c_str(), value.data(), needed);
    if (length >= needed) {
        return std::nullopt;
    }
    value.resize(length);
    return Narrow(value);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || IsSeparator(folder.back())) {
        return folder + name;
    }
    return folder + '\\' + name;
}

bool MakeDirectories(const std::string& path) {
    for (size_t at = 1; at < path.size(); ++at) {
        if (IsSeparator(path[at])) {
            MakeOneDirectory(path.substr(0, at));
        }
    }
    return MakeOneDirectory(path);
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path) {
    const HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    uint8_t chunk[kReadChunk];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, chunk, kReadChunk, &got, nullptr) != 0) && got > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    CloseHandle(file);
    if (!ok) {
        return std::nullopt;
    }
    return bytes;
}

bool ReplaceFile(const std::string& path, std::span<const uint8_t> bytes) {
    const std::wstring temporary = Widen(path + ".tmp." + std::to_string(GetCurrentProcessId()));
    const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool written = WriteAll(file, bytes.data(), bytes.size());
    const bool closed = CloseHandle(file) != 0;
    if (written && closed &&
        MoveFileExW(temporary.c_str(), Widen(path).c_str(), MOVEFILE_REPLACE_EXISTING) != 0) {
        return true;
    }
    DeleteFileW(temporary.c_str());
    return false;
}

bool AppendLine(const std::string& path, const std::string& line) {
    // Append access writes every call at the end, even with other writers.
    const HANDLE file =
        CreateFileW(Widen(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const std::string text = line + '\n';
    const bool written = WriteAll(file, reinterpret_cast<const uint8_t*>(text.data()), text.size());
    return CloseHandle(file) != 0 && written;
}

}  // namespace velloran::sim::platform
