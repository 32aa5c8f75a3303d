#include "jobs/image_compare.h"

#include <algorithm>

namespace velloran {
namespace {

// The bytes of `image` that `segment` places at `address` onwards, as many as lie inside
// both the segment and the image; empty when `address` is outside it.
std::span<const uint8_t> BytesAt(std::span<const uint8_t> image, const ImageSegment& segment,
                                 uint32_t address) {
    if (address < segment.address || address - segment.address >= segment.length) {
        return {};
    }
    const uint64_t offset = uint64_t{segment.offset} + (address - segment.address);
    if (offset >= image.size()) {
        return {};
    }
    const uint64_t inSegment = segment.length - (address - segment.address);
    return image.subspan(offset, std::min<uint64_t>(inSegment, image.size() - offset));
}

// The held bytes at `address`, or, when none are held there, how many addresses from it
// on are not held (up to `limit`).
std::span<const uint8_t> HeldAt(std::span<const uint8_t> target, std::span<const ImageSegment> held,
                                uint32_t address, uint32_t limit, uint32_t& missing) {
    missing = limit;
    for (const ImageSegment& segment : held) {
        const std::span<const uint8_t> bytes = BytesAt(target, segment, address);
        if (!bytes.empty()) {
            return bytes;
        }
        if (segment.address > address && segment.address - address < missing) {
            missing = segment.address - address;
        }
    }
    return {};
}

class RangeCollector {
  public:
    explicit RangeCollector(ImageComparison& result) : result_(result) {}

    void Differ(uint32_t address, uint8_t expected, const uint8_t* actual) {
        const bool missing = actual == nullptr;
        DifferingRange* open = result_.ranges.empty() ? nullptr : &result_.ranges.back();
        if (open == nullptr || !continues_ || open->missing != missing ||
            open->address + open->length != address) {
            result_.ranges.push_back({address, 0, {}, {}, missing});
            open = &result_.ranges.back();
        }
        if (open->length < kShownDifferingBytes) {
            open->expected.push_back(expected);
            if (!missing) {
                open->actual.push_back(*actual);
            }
        }
        ++open->length;
        ++result_.differingBytes;
        continues_ = true;
    }
    void Same() { continues_ = false; }

  private:
    ImageComparison& result_;
    bool continues_ = false;
};

}  // namespace

ImageComparison CompareImages(std::span<const uint8_t> source,
                              std::span<const ImageSegment> written,
                              std::span<const uint8_t> target, std::span<const ImageSegment> held) {
    ImageComparison result;
    RangeCollector ranges(result);
    for (const ImageSegment& segment : written) {
        const std::span<const uint8_t> bytes = BytesAt(source, segment, segment.address);
        uint32_t done = 0;
        while (done < bytes.size()) {
            const uint32_t address = segment.address + done;
            const uint32_t left = static_cast<uint32_t>(bytes.size()) - done;
            uint32_t missing = 0;
            const std::span<const uint8_t> other = HeldAt(target, held, address, left, missing);
            const uint32_t run =
                other.empty() ? missing
                              : std::min<uint32_t>(left, static_cast<uint32_t>(other.size()));
            for (uint32_t i = 0; i < run; ++i) {
                if (other.empty()) {
                    ranges.Differ(address + i, bytes[done + i], nullptr);
                } else if (other[i] != bytes[done + i]) {
                    ranges.Differ(address + i, bytes[done + i], &other[i]);
                } else {
                    ranges.Same();
                }
            }
            result.comparedBytes += run;
            done += run;
        }
        ranges.Same();
    }
    return result;
}

}  // namespace velloran
