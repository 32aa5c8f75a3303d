#include "cli/receive_target.h"

#include <filesystem>

#include "catalogue/backup_file.h"
#include "catalogue/model_catalogue.h"
#include "cli/utf8_path.h"

namespace velloran::cli {

std::string ReceiveTargetPath(int32_t modelIndex, const std::optional<std::string>& file,
                              const LocalDate& today) {
    if (file) {
        return *file;
    }
    const ModelEntry* model = ModelAt(modelIndex);
    return model == nullptr ? std::string() : DefaultFileName(model->filePrefix, today);
}

bool MayWriteReceiveTarget(const std::string& path, bool force) {
    if (force) {
        return true;
    }
    std::error_code error;
    const std::filesystem::file_status status =
        std::filesystem::symlink_status(PathFromUtf8(path), error);
    return status.type() == std::filesystem::file_type::not_found;
}

}  // namespace velloran::cli
