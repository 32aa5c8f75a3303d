#include "catalogue/model_catalogue.h"

#include <algorithm>
#include <cctype>

namespace velloran {
namespace {

constexpr ModelSignature kLmQ30Signature{0x01, 0x06, 0x01, 0x01, 0x00, 0x00};
constexpr ModelSignature kLmQ20Signature{0x00, 0x08, 0x09, 0x01, 0x00, 0x00};
constexpr ModelSignature kLmQ10Signature{0x00, 0x03, 0x09, 0x01, 0x00, 0x00};

constexpr std::array<uint8_t, 8> Padded(const ModelSignature& s) {
    return {s[0], s[1], s[2], s[3], s[4], s[5], 0x00, 0x00};
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

const std::array<ModelEntry, kCatalogueRows> kModelCatalogue{{
    {2, "LM-Q30", "Hdv305.dll", "Hdv305", "lmq30", 0, 0x10000000, Padded(kLmQ30Signature)},
    {1, "LM-Q20", "Hdv305.dll", "Hdv305", "lmq20", 0x28000, 0x10008000, Padded(kLmQ20Signature)},
    {0, "LM-Q10", "Hdv201.dll", "Hdv201", "lmq10", 0x28000, 0x10008000, Padded(kLmQ10Signature)},
    {kEndSeries, nullptr, nullptr, nullptr, nullptr, 0, 0, {}},
}};

const std::array<CompatEntry, 4> kCompatTable{{
    {0, 1, {kLmQ10Signature}},
    {1, 2, {kLmQ20Signature, kLmQ10Signature}},
    {2, 3, {kLmQ30Signature, kLmQ20Signature, kLmQ10Signature}},
    {kEndSeries, 0, {}},
}};

ModelSignature ModelEntry::Signature() const {
    ModelSignature out{};
    std::copy_n(signature.begin(), kSignatureLength, out.begin());
    return out;
}

const CompatEntry* FindCompatRow(uint32_t series) {
    for (const CompatEntry& row : kCompatTable) {
        if (row.series >= kEndSeries) {
            return nullptr;
        }
        if (row.series == series) {
            return &row;
        }
    }
    return nullptr;
}

std::vector<std::string> DisplayNames() {
    std::vector<std::string> names;
    for (const ModelEntry& row : kModelCatalogue) {
        if (row.displayName == nullptr) {
            break;
        }
        names.emplace_back(row.displayName);
    }
    return names;
}

std::optional<int32_t> FindModelByDisplayName(std::string_view name) {
    for (uint32_t i = 0; i < kCatalogueRows && kModelCatalogue[i].displayName != nullptr; ++i) {
        if (EqualsIgnoringCase(name, kModelCatalogue[i].displayName)) {
            return static_cast<int32_t>(i);
        }
    }
    return std::nullopt;
}

const ModelEntry* ModelAt(int64_t index) {
    if (index < 0 || index >= static_cast<int64_t>(kCatalogueRows) ||
        kModelCatalogue[static_cast<size_t>(index)].displayName == nullptr) {
        return nullptr;
    }
    return &kModelCatalogue[static_cast<size_t>(index)];
}

}  // namespace velloran
