#include "sim/sim_models.h"

#include <algorithm>

namespace velloran::sim {
namespace {

constexpr Region kLmQ30Regions[] = {
    {0x10E60000, 0x5000}, {0x10EA0000, 0x2800}, {0x10EE0000, 0x10000}, {0x10F20000, 0x10000},
    {0x10F60000, 0x2000}, {0x10F80000, 0x2000}, {0x10FA0000, 0x2000},
};
constexpr Region kSingleBankRegions[] = {{0x10008000, 0x28000}};

constexpr ModelInfo kModels[] = {
    {ModelId::kLmQ30,
     "LM-Q30",
     {0x01, 0x06, 0x01, 0x01, 0x00, 0x00},
     kLmQ30Regions,
     0x30,
     "lmq30.mem"},
    {ModelId::kLmQ20,
     "LM-Q20",
     {0x00, 0x08, 0x09, 0x01, 0x00, 0x00},
     kSingleBankRegions,
     0x20,
     "lmq20.mem"},
    {ModelId::kLmQ10,
     "LM-Q10",
     {0x00, 0x03, 0x09, 0x01, 0x00, 0x00},
     kSingleBankRegions,
     0x10,
     "lmq10.mem"},
};

}  // namespace

const ModelInfo& DescribeModel(ModelId id) {
    return *std::find_if(std::begin(kModels), std::end(kModels),
                         [id](const ModelInfo& model) { return model.id == id; });
}

const ModelInfo* FindModelBySignature(std::span<const uint8_t> signature) {
    for (const ModelInfo& model : kModels) {
        if (std::ranges::equal(model.signature, signature)) {
            return &model;
        }
    }
    return nullptr;
}

const ModelInfo* FindModelByName(std::string_view name) {
    for (const ModelInfo& model : kModels) {
        if (model.name == name) {
            return &model;
        }
    }
    return nullptr;
}

}  // namespace velloran::sim
