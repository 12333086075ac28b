#pragma once

#include <cstdint>

namespace pelto {

// One decoder behind PcmSource: interleaved 32-bit float samples of a fixed format.
class PcmStream {
public:
    virtual ~PcmStream() = default;

    virtual int rate() const = 0;
    virtual int channels() const = 0;
    // Reads up to `frames` frames into `out` (frames × channels() floats); the number
    // of frames read, 0 at the end of the stream or on an error that ends it.
    virtual std::int64_t read(float* out, std::int64_t frames) = 0;
    // Goes to a frame from the start; false when that lies past the end or the
    // stream cannot go there.
    virtual bool seek(std::int64_t frame) = 0;
    // The number of frames in the stream; -1 when unknown.
    virtual std::int64_t length() const = 0;
};

} // namespace pelto
