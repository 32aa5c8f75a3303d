#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velloran::fuzzing {

// Reads a fuzz input front to back; past its end every read gives zeros.
class FuzzInput {
  public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool Empty() const { return pos_ >= size_; }
    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    uint32_t Le32() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            value |= static_cast<uint32_t>(Byte()) << (8 * i);
        }
        return value;
    }
    std::vector<uint8_t> Bytes(size_t count) {
        std::vector<uint8_t> out;
        while (count-- > 0 && !Empty()) {
            out.push_back(Byte());
        }
        return out;
    }
    std::vector<uint8_t> Rest() { return Bytes(size_ - pos_); }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

}  // namespace velloran::fuzzing
