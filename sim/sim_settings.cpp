#include "sim/sim_settings.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "link/driver_api.h"
#include "sim/sim_platform.h"

namespace velloran::sim {
namespace {

uint32_t CountFromEnv(const char* name) {
    auto text = platform::GetEnv(name);
    return text ? ParseCount(*text).value_or(0) : 0;
}

// "kind" or "kind:occurrence".
KindRefusal ParseKindRefusal(std::string_view text) {
    size_t colon = text.find(':');
    auto kind = FrameKindFromName(text.substr(0, colon));
    auto occurrence = colon == std::string_view::npos ? std::optional<uint32_t>(1)
                                                      : ParseCount(text.substr(colon + 1));
    if (!kind || !occurrence) {
        return {};
    }
    return {*kind, *occurrence};
}

// "N", "N:count" or "N:nocount".
void ReadFailRead(Settings& settings) {
    auto text = platform::GetEnv(kEnvFailRead);
    if (!text) {
        return;
    }
    std::string_view value = *text;
    size_t colon = value.find(':');
    std::string_view mode =
        colon == std::string_view::npos ? kFailReadNoCount : value.substr(colon + 1);
    auto call = ParseCount(value.substr(0, colon));
    if (!call || (mode != kFailReadCount && mode != kFailReadNoCount)) {
        return;
    }
    settings.failRead = *call;
    settings.failReadReportsByte = mode == kFailReadCount;
}

}  // namespace

std::optional<uint32_t> ParseCount(std::string_view text) {
    uint32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<int32_t> ReadActiveIndex() {
    auto text = platform::GetEnv(kEnvActiveIndex);
    if (!text) {
        return kDefaultActiveIndex;
    }
    if (*text == kActiveIndexNone) {
        return std::nullopt;
    }
    auto index = ParseCount(*text);
    if (!index || *index > static_cast<uint32_t>(std::numeric_limits<int32_t>::max())) {
        return kDefaultActiveIndex;
    }
    return static_cast<int32_t>(*index);
}

std::optional<std::vector<int32_t>> ReadDeviceIndices() {
    auto text = platform::GetEnv(kEnvDevices);
    if (!text) {
        return std::nullopt;
    }
    std::vector<int32_t> indices;
    std::string_view rest = *text;
    while (true) {
        const size_t comma = rest.find(',');
        auto index = ParseCount(rest.substr(0, comma));
        if (!index || *index >= static_cast<uint32_t>(kDeviceIndexCount)) {
            return std::nullopt;
        }
        indices.push_back(static_cast<int32_t>(*index));
        if (comma == std::string_view::npos) {
            return indices;
        }
        rest = rest.substr(comma + 1);
    }
}

bool AnswersAt(int32_t index) {
    if (auto listed = ReadDeviceIndices()) {
        return std::find(listed->begin(), listed->end(), index) != listed->end();
    }
    return ReadActiveIndex() == index;
}

uint32_t MemorySlotOf(int32_t index) {
    return ReadDeviceIndices() && index > 0 ? static_cast<uint32_t>(index) : 0;
}

Settings ReadSettings() {
    Settings settings;
    if (auto name = platform::GetEnv(kEnvModel)) {
        settings.forcedModel = FindModelByName(*name);
    }
    settings.failStart = CountFromEnv(kEnvFailStart) != 0;
    settings.refuseExchange = CountFromEnv(kEnvRefuseFrame);
    if (auto kind = platform::GetEnv(kEnvRefuseKind)) {
        settings.refuseKind = ParseKindRefusal(*kind);
    }
    settings.silentFrom = CountFromEnv(kEnvSilentFrom);
    settings.lateReads = CountFromEnv(kEnvLateReads);
    settings.splitBytes = CountFromEnv(kEnvSplit);
    settings.padReads = CountFromEnv(kEnvPad);
    ReadFailRead(settings);
    settings.failWrite = CountFromEnv(kEnvFailWrite);
    settings.logPath = platform::GetEnv(kEnvLog).value_or("");
    return settings;
}

}  // namespace velloran::sim
