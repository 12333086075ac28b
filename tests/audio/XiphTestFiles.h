#pragma once

// FLAC, Ogg Vorbis and Opus files made at test time with the formats' own tools (sox,
// flac, oggenc, opusenc, metaflac), and the reference decodes of those tools (flac -d,
// oggdec, opusdec) to compare the engine's output with.
#include <QMetaType>
#include <QString>
#include <QStringList>

#include <vector>

namespace pelto::test {

enum class Xiph { Flac, Vorbis, Opus };

// Runs a program to its end; true when it exits 0. Its standard output goes to `out`
// when given; standard error is dropped.
bool runTool(const QString& program, const QStringList& args, QString* out = nullptr);

// A Wave file of `seconds` of music-like sound (a sweep over pink noise at -6 dB,
// repeatable) made by sox at the rate, channels and bits given.
bool makeSourceWave(const QString& path, int rate, int channels, int bits, double seconds);

// Encodes a Wave file with the format's own encoder (flac, oggenc -q 3, opusenc at
// 96 kbit/s), adding the extra options (tags, for one).
bool encode(Xiph format, const QString& wave, const QString& out, const QStringList& extra = {});

// Samples of a decoded file: interleaved floats of its own channels.
struct Pcm {
    int rate = 0;
    int channels = 0;
    int bits = 0; // 16, 24 or 32 (float)
    std::vector<float> samples;
    qsizetype frames() const { return channels ? qsizetype(samples.size()) / channels : 0; }
    // The samples as the engine plays them: mono on both sides, stereo as it is.
    std::vector<float> stereo() const;
};

// Reads a PCM Wave file (16 or 24 bits, or 32-bit float; plain or extensible) as the
// exact values its samples stand for (n / 2^(bits-1)); empty when it is no such file.
Pcm readWave(const QString& path);

// The reference decode of a file by the format's own tool: flac -d (the samples as
// they were), oggdec (16 bits, rounded), opusdec --float --rate 48000.
Pcm referenceDecode(Xiph format, const QString& path);

// The length the format's own tool states: for FLAC metaflac's total samples at the
// stream's rate, for Vorbis and Opus the playback length ogginfo and opusinfo print
// (to the millisecond). In milliseconds; -1 when the tool says nothing of it.
double toolLengthMs(Xiph format, const QString& path);
// metaflac's total samples, -1 when it fails.
qint64 metaflacTotalSamples(const QString& path);

// The largest difference the reference decode leaves between its samples and the
// engine's: none for FLAC (lossless), half a 16-bit step for Vorbis (oggdec rounds to
// 16 bits), float rounding for Opus.
float referenceTolerance(Xiph format);

// Damaged copies of a file.
// The bytes with the CRC of every Ogg page computed anew (pages whose headers were
// changed stay readable); bytes after the last whole page are left as they are.
QByteArray withOggChecksums(QByteArray bytes);
// Where the Vorbis comment's vendor length stands: in the second Ogg packet (after
// "\x03vorbis" or "OpusTags") or in the FLAC VORBIS_COMMENT block; -1 when not found.
qsizetype vorbisCommentAt(Xiph format, const QByteArray& bytes);
// The bytes with the vendor length and the count of comments of the Vorbis comment set
// to `claimed` (a lie of 1 GB, for one), the Ogg checksums made right again.
QByteArray withCommentLengthsClaiming(Xiph format, QByteArray bytes, quint32 claimed);
// A FLAC file's bytes with the total samples of STREAMINFO set to `total`.
QByteArray withFlacTotal(QByteArray bytes, quint64 total);

// The file extension of each format.
QString extensionOf(Xiph format);

// The data of a test run once per reference case: columns format, rate, channels and
// bits, with FLAC at 16 and 24 bits and Vorbis and Opus, each mono and stereo at 44.1
// and 48 kHz.
void addReferenceCases();

} // namespace pelto::test

Q_DECLARE_METATYPE(pelto::test::Xiph)
