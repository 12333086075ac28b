#pragma once

namespace pelto {

// MPEG audio frame headers (MPEG-1, 2 and 2.5, Layers I to III), 4 bytes each.

// The length in bytes of the frame whose 4-byte header is at h, 0 when the header is
// not valid, -1 for a valid free-format header (its length is not in the header).
int mpegFrameLength(const unsigned char* h);

// Whether two valid headers belong to one stream: the same version, layer and sample
// rate (the bitrate, padding and channel mode may differ from frame to frame).
bool sameMpegStream(const unsigned char* a, const unsigned char* b);

// The bitrate index of a header (1 to 14; 0 for free format).
inline int mpegBitrateIndex(const unsigned char* h) {
    return h[2] >> 4;
}

} // namespace pelto
