#pragma once

// The few operating-system services the simulated printer needs. Everything else in the
// simulator is portable; one source file per platform implements these.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace velloran::sim::platform {

// The variable's value, or nothing when it is unset.
std::optional<std::string> GetEnv(const char* name);

// Joins two path parts with the platform's separator.
std::string JoinPath(const std::string& folder, const std::string& name);

// Creates `path` and any missing parents; true when it exists afterwards.
bool MakeDirectories(const std::string& path);

// The whole file, or nothing when it cannot be read.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path);

// Writes `bytes` to a temporary file next to `path`, then renames it over `path`, so
// that readers see either the old contents or the new ones, never a mix.
bool ReplaceFile(const std::string& path, std::span<const uint8_t> bytes);

// Appends `line` and a newline to the file, creating it when missing.
bool AppendLine(const std::string& path, const std::string& line);

}  // namespace velloran::sim::platform
