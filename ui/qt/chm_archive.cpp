#include "ui/qt/chm_archive.h"

#include <chm_lib.h>

namespace velloran {
namespace {

int CollectPath(chmFile*, chmUnitInfo* unit, void* context) {
    static_cast<std::vector<std::string>*>(context)->emplace_back(unit->path);
    return CHM_ENUMERATOR_CONTINUE;
}

}  // namespace

std::unique_ptr<ChmArchive> ChmArchive::Open(const std::string& path) {
    chmFile* file = chm_open(path.c_str());
    if (file == nullptr) {
        return nullptr;
    }
    return std::unique_ptr<ChmArchive>(new ChmArchive(file));
}

ChmArchive::~ChmArchive() {
    chm_close(file_);
}

std::optional<std::string> ChmArchive::Read(const std::string& objectPath) const {
    chmUnitInfo unit{};
    if (chm_resolve_object(file_, objectPath.c_str(), &unit) != CHM_RESOLVE_SUCCESS) {
        return std::nullopt;
    }
    std::string bytes(static_cast<size_t>(unit.length), '\0');
    const LONGINT64 read =
        chm_retrieve_object(file_, &unit, reinterpret_cast<unsigned char*>(bytes.data()), 0,
                            static_cast<LONGINT64>(unit.length));
    if (read != static_cast<LONGINT64>(unit.length)) {
        return std::nullopt;
    }
    return bytes;
}

std::vector<std::string> ChmArchive::FilePaths() const {
    std::vector<std::string> paths;
    chm_enumerate(file_, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, &CollectPath, &paths);
    return paths;
}

}  // namespace velloran
