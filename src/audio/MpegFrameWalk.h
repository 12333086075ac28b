#pragma once

#include <cstdint>

namespace pelto {

class FileSpan;

// What a walk over the frame headers of an MPEG audio stream found.
struct MpegFrameWalk {
    std::int64_t frames = 0;     // frames from the first one on
    bool constantBitrate = true; // every frame has the first frame's bitrate
    // The walk followed the frames to the end of the audio: to the end of the span's
    // window, or to a tag that follows the last frame. A walk that met anything else
    // (damage, a change of version, layer or sample rate, free format) saw only part
    // of the stream.
    bool complete = false;
};

// Walks the frames of the span's window from the frame at `start` (a window offset)
// on, reading only each frame's 4-byte header and skipping its body by the length
// the header gives, so that no audio data is decoded.
MpegFrameWalk walkMpegFrames(const FileSpan& span, std::int64_t start);

} // namespace pelto
