#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/local_date.h"

namespace velloran::cli {

// The file a receive writes: the one given, or else the model's default backup name for
// `today`, in the current folder.
std::string ReceiveTargetPath(int32_t modelIndex, const std::optional<std::string>& file,
                              const LocalDate& today);

// Whether a receive may write `path`: always with `force`, otherwise only when nothing
// (not even a dangling link) stands there yet.
bool MayWriteReceiveTarget(const std::string& path, bool force);

}  // namespace velloran::cli
