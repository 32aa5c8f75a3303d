#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velloran {

inline constexpr uint32_t kSignatureLength = 6;
using ModelSignature = std::array<uint8_t, kSignatureLength>;

inline constexpr uint32_t kEndSeries = 3;  // marks the end row of both tables

// One printer model. The row's position in the catalogue is the catalogue index that
// the rest of the program passes around; the order is the drop-down order.
struct ModelEntry {
    uint32_t series;
    const char* displayName;  // null in the end row
    const char* libraryFile;
    const char* entryPrefix;
    const char* filePrefix;
    uint32_t imageLength;              // single-region models only
    uint32_t imageAddress;             // single-region models only
    std::array<uint8_t, 8> signature;  // 6 signature bytes and 2 zero bytes

    ModelSignature Signature() const;
};

inline constexpr uint32_t kCatalogueRows = 4;  // three models and the end row
inline constexpr int32_t kMultiRegionModelIndex = 0;

extern const std::array<ModelEntry, kCatalogueRows> kModelCatalogue;

inline constexpr uint32_t kCompatSlots = 16;

// The backup signatures that a printer of one series accepts, in slot order.
struct CompatEntry {
    uint32_t series;
    uint32_t count;
    std::array<ModelSignature, kCompatSlots> accepted;
};

extern const std::array<CompatEntry, 4> kCompatTable;

// The row for `series`, scanning from the first row and stopping at the first row of
// that series or at the first row whose series is the end mark or above; null when
// there is no row for the series.
const CompatEntry* FindCompatRow(uint32_t series);

// Display names from index 0 up to the end row.
std::vector<std::string> DisplayNames();

// The catalogue index of a display name, compared without regard to letter case.
std::optional<int32_t> FindModelByDisplayName(std::string_view name);

// The row at `index` when it is a model row (not the end row, not out of range).
const ModelEntry* ModelAt(int64_t index);

}  // namespace velloran
