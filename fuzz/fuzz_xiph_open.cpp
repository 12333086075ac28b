// Fuzzes the FLAC, Ogg Vorbis and Opus open path with arbitrary bytes written to a
// file: the kind told by the content, file information (the length), the Vorbis
// comment and ID3v2 tag read by TagLib, then opening, decoding a little, seeking and
// decoding again, as the player would. The seeds (corpus/xiph_open, made by
// make_xiph_seeds.sh) are small files of each kind, whole and damaged.
#include "audio/FileInfoReader.h"
#include "audio/PcmSource.h"
#include "audio/XiphStreams.h"
#include "common/FileSpan.h"
#include "taginfo/ExtTagInfo.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QString path =
        QDir::tempPath() + QStringLiteral("/pelto_fuzz_xiph_%1.ogg").arg(::getpid());
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    {
        pelto::FileSpan span;
        if (span.open(path))
            (void)pelto::xiphKindOf(span);
    }
    const pelto::FileInfo info = pelto::readFileInfo(path);
    if (info.TotalSec < 0)
        std::abort();
    pelto::ExtTagInfo tags;
    const int valid = pelto::ReadExtTag(tags, path);
    if (valid != 0 && valid != 1)
        std::abort();
    pelto::PcmSource source;
    if (source.open(path)) {
        float buffer[2 * 1024];
        for (int i = 0; i < 8 && source.read(buffer, 1024) > 0; ++i) {
        }
        if (source.seekSeconds(1))
            (void)source.read(buffer, 1024);
        if (source.lengthFrames() > 0 && source.seekFrame(source.lengthFrames() - 1))
            (void)source.read(buffer, 1024);
    }
    QFile::remove(path);
    return 0;
}
