// Fuzzes the audio decoders with arbitrary bytes written to a file: file information
// (ID3v1 tag, RIFF walk, MPEG or Wave length), then opening, decoding a little,
// seeking and decoding again, as the player would.
#include "audio/FileInfoReader.h"
#include "audio/PcmSource.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <cstdint>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QString path =
        QDir::tempPath() + QStringLiteral("/pelto_fuzz_audio_%1.bin").arg(::getpid());
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    (void)pelto::readFileInfo(path);
    pelto::PcmSource source;
    if (source.open(path)) {
        float buffer[2 * 1024];
        for (int i = 0; i < 8 && source.read(buffer, 1024) > 0; ++i) {
        }
        if (source.seekSeconds(1))
            (void)source.read(buffer, 1024);
    }
    QFile::remove(path);
    return 0;
}
