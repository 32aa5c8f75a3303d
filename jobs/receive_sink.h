#pragma once

#include <cstdint>
#include <vector>

namespace velloran {

// Where a receive puts the bytes of the backup it builds, in file order: the header,
// each record head and each block as it arrives. Commit is called once after the last
// byte of a complete receive; Discard after a failure.
class ReceiveSink {
  public:
    virtual ~ReceiveSink() = default;
    virtual bool Append(const void* bytes, uint32_t count) = 0;
    virtual bool Commit() = 0;
    virtual void Discard() = 0;
};

// A receive that writes no file: the backup's bytes are gathered in memory, to be
// compared with what a send would write.
class MemoryReceiveSink final : public ReceiveSink {
  public:
    bool Append(const void* bytes, uint32_t count) override {
        const auto* first = static_cast<const uint8_t*>(bytes);
        bytes_.insert(bytes_.end(), first, first + count);
        return true;
    }
    bool Commit() override { return true; }
    void Discard() override { bytes_.clear(); }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

  private:
    std::vector<uint8_t> bytes_;
};

}  // namespace velloran
