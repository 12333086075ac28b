#include "LayerOneWriter.h"

#include <cmath>
#include <cstdint>

namespace pelto::test {

namespace {

class BitWriter {
public:
    explicit BitWriter(QByteArray& out) : m_out(out) {}
    void put(std::uint32_t value, int bits) {
        for (int i = bits - 1; i >= 0; --i) {
            m_byte = std::uint8_t(m_byte << 1 | ((value >> i) & 1));
            if (++m_used == 8) {
                m_out.append(char(m_byte));
                m_byte = 0;
                m_used = 0;
            }
        }
    }

private:
    QByteArray& m_out;
    std::uint8_t m_byte = 0;
    int m_used = 0;
};

int bitrateIndex(int kbps) {
    for (int i = 1; i <= 14; ++i)
        if (i * 32 == kbps)
            return i;
    return 4; // 128 kbit/s
}

int rateIndex(int rate) {
    return rate == 48000 ? 1 : rate == 32000 ? 2 : 0;
}

constexpr int kAllocation = 7; // 8 bits per sample
constexpr int kSampleBits = kAllocation + 1;
constexpr int kScaleIndex = 6; // a scale factor of 0.5

} // namespace

QByteArray makeLayerOneStream(const LayerOneShape& shape) {
    QByteArray out;
    const int channels = shape.stereo ? 2 : 1;
    const std::int64_t slotNumerator = std::int64_t(12) * shape.bitrateKbps * 1000;
    std::int64_t rest = 0;
    std::int64_t sampleIndex = 0;
    for (int f = 0; f < shape.frames; ++f) {
        // Padding keeps the average frame size at the bitrate.
        rest += slotNumerator % shape.rate;
        int padding = 0;
        if (rest >= shape.rate) {
            rest -= shape.rate;
            padding = 1;
        }
        const int frameBytes = int(slotNumerator / shape.rate + padding) * 4;
        const qsizetype start = out.size();
        BitWriter bits(out);
        bits.put(0x7FF, 11);
        bits.put(3, 2); // MPEG-1
        bits.put(3, 2); // Layer I
        bits.put(1, 1); // no CRC
        bits.put(std::uint32_t(bitrateIndex(shape.bitrateKbps)), 4);
        bits.put(std::uint32_t(rateIndex(shape.rate)), 2);
        bits.put(std::uint32_t(padding), 1);
        bits.put(0, 1);                    // private
        bits.put(shape.stereo ? 0 : 3, 2); // stereo or mono
        bits.put(0, 2);                    // mode extension
        bits.put(0, 4);                    // copyright, original, emphasis
        const auto allocated = [&](int sb) { return sb == shape.toneSubband; };
        for (int sb = 0; sb < 32; ++sb)
            for (int ch = 0; ch < channels; ++ch)
                bits.put(allocated(sb) ? kAllocation : 0, 4);
        for (int sb = 0; sb < 32; ++sb)
            for (int ch = 0; ch < channels; ++ch)
                if (allocated(sb))
                    bits.put(kScaleIndex, 6);
        for (int s = 0; s < 12; ++s, ++sampleIndex) {
            // Codes around the middle of the range; the all-ones code is never used.
            const double phase = 2.0 * M_PI * double(sampleIndex) / 24.0;
            const auto code = std::uint32_t(128 + std::lround(100.0 * std::sin(phase)));
            for (int sb = 0; sb < 32; ++sb)
                for (int ch = 0; ch < channels; ++ch)
                    if (allocated(sb))
                        bits.put(code, kSampleBits);
        }
        bits.put(0, 7); // flush the last partial byte
        out.resize(start + frameBytes, '\0');
    }
    return out;
}

} // namespace pelto::test
