#include "sim/sim_store.h"

#include "sim/sim_platform.h"

namespace velloran::sim {

std::string ResolveStateFolder() {
    if (auto folder = platform::GetEnv(kEnvStateDir); folder && !folder->empty()) {
        return *folder;
    }
    if (auto xdg = platform::GetEnv(kEnvXdgStateHome); xdg && !xdg->empty()) {
        return platform::JoinPath(*xdg, kStateFolderName);
    }
    if (auto local = platform::GetEnv(kEnvLocalAppData); local && !local->empty()) {
        return platform::JoinPath(*local, kStateFolderName);
    }
    if (auto home = platform::GetEnv(kEnvHome); home && !home->empty()) {
        return platform::JoinPath(platform::JoinPath(*home, kHomeStateSubpath), kStateFolderName);
    }
    return {};
}

MemoryImage& MemoryStore::Acquire(const ModelInfo& model) {
    for (auto& image : images_) {
        if (image->model().id == model.id) {
            return *image;
        }
    }
    auto image = std::make_unique<MemoryImage>(model, seedSalt_);
    if (!folder_.empty()) {
        if (auto stored = platform::ReadWholeFile(PathOf(model))) {
            image->Restore(*stored);
        }
    }
    images_.push_back(std::move(image));
    return *images_.back();
}

void MemoryStore::Flush() {
    for (auto& image : images_) {
        if (image->dirty()) {
            Save(*image);
        }
    }
}

std::string MemoryStore::PathOf(const ModelInfo& model) const {
    return platform::JoinPath(folder_, std::string(model.fileName));
}

void MemoryStore::Save(MemoryImage& image) const {
    if (folder_.empty() || !platform::MakeDirectories(folder_)) {
        return;
    }
    if (platform::ReplaceFile(PathOf(image.model()), image.bytes())) {
        image.MarkClean();
    }
}

}  // namespace velloran::sim
