#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct chmFile;

namespace velloran {

// A compiled help file opened for reading through chmlib.
class ChmArchive {
  public:
    // Null when the file is missing or is not a compiled help file.
    static std::unique_ptr<ChmArchive> Open(const std::string& path);
    ~ChmArchive();
    ChmArchive(const ChmArchive&) = delete;
    ChmArchive& operator=(const ChmArchive&) = delete;

    // The bytes of the object at `objectPath` ("/index.html"), or nullopt.
    std::optional<std::string> Read(const std::string& objectPath) const;
    // The paths of the archive's files.
    std::vector<std::string> FilePaths() const;

  private:
    explicit ChmArchive(chmFile* file) : file_(file) {}

    chmFile* file_;
};

}  // namespace velloran
