#pragma once

// Printer memory that outlives the process: one file per model in the state folder,
// loaded the first time a session selects the model and written back when changed.

#include <memory>
#include <string>
#include <vector>

#include "sim/sim_memory.h"

namespace velloran::sim {

// $VELLORAN_SIM_STATE_DIR, else $XDG_STATE_HOME/velloran-sim, else
// %LOCALAPPDATA%\velloran-sim (always set on Windows), else
// $HOME/.local/state/velloran-sim; empty when none of them is set.
std::string ResolveStateFolder();

class MemoryStore {
  public:
    // `seedSalt` is mixed into the seed pattern of every memory this store creates.
    explicit MemoryStore(std::string folder, uint8_t seedSalt = 0)
        : folder_(std::move(folder)), seedSalt_(seedSalt) {}

    // The model's memory: from its file when that has the right size, else seeded.
    MemoryImage& Acquire(const ModelInfo& model);

    // Writes every changed memory back to its file.
    void Flush();

  private:
    std::string PathOf(const ModelInfo& model) const;
    void Save(MemoryImage& image) const;

    std::string folder_;
    uint8_t seedSalt_;
    std::vector<std::unique_ptr<MemoryImage>> images_;
};

}  // namespace velloran::sim
