#include "catalogue/backup_layout.h"

#include <algorithm>

#include "catalogue/little_endian.h"
#include "catalogue/model_catalogue.h"

namespace velloran {

std::optional<int32_t> HeaderModel(std::span<const uint8_t> header) {
    if (header.size() < kSignatureLength) {
        return std::nullopt;
    }
    for (int32_t index = 0; ModelAt(index) != nullptr; ++index) {
        const ModelSignature signature = ModelAt(index)->Signature();
        if (std::equal(signature.begin(), signature.end(), header.begin())) {
            return index;
        }
    }
    return std::nullopt;
}

std::optional<uint32_t> SourceLayoutOf(const FileHeader& header) {
    const std::optional<int32_t> model = HeaderModel(header);
    if (!model || header[kSignatureLength] != 0 || header[kSignatureLength + 1] != 0) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(*model);
}

FileHeader HeaderFor(int32_t modelIndex) {
    FileHeader header{};
    const ModelSignature signature = kModelCatalogue[modelIndex].Signature();
    std::copy(signature.begin(), signature.end(), header.begin());
    return header;
}

RecordHead MakeRecordHead(const MemoryRegion& region) {
    RecordHead head{};
    PutLe32(head.data(), region.address);
    PutLe32(head.data() + 4, region.length);
    return head;
}

MemoryRegion ReadRecordHead(const RecordHead& head) {
    return {GetLe32(head.data()), GetLe32(head.data() + 4)};
}

std::vector<MemoryRegion> ReceivedRegions(int32_t modelIndex) {
    if (modelIndex == kMultiRegionModelIndex) {
        return {kMultiRegionTable.begin(), kMultiRegionTable.end()};
    }
    const ModelEntry& model = kModelCatalogue[modelIndex];
    return {{model.imageAddress, model.imageLength}};
}

}  // namespace velloran
