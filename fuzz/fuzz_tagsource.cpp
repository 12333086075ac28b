// Fuzzes the tag reader with arbitrary file contents. The first byte picks the file
// name's extension (".mp3", ".rmp", ".mp2" or ".wav"); the rest is written to a file in
// a private temporary folder and read as a song would be.
#include "taginfo/ExtTagInfo.h"
#include "taginfo/TagSource.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

const QString& scratchFolder() {
    static const QString folder = [] {
        const QString path = QDir::tempPath() + QStringLiteral("/pelto-fuzz-tagsource-") +
                             QString::number(::getpid());
        QDir().mkpath(path);
        return path;
    }();
    // Registered once the folder's name exists, so it runs before that name is gone.
    static const bool cleanup = std::atexit([] { QDir(folder).removeRecursively(); }) == 0;
    (void)cleanup;
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    static const char* const kExtensions[] = {".mp3", ".rmp", ".mp2", ".wav"};
    const QString path =
        scratchFolder() + QStringLiteral("/input") + QLatin1String(kExtensions[data[0] % 4]);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char*>(data + 1), qint64(size - 1));
    file.close();

    pelto::ExtTagInfo info;
    const int result = pelto::ReadExtTag(info, path);
    if (result != 0 && result != 1)
        std::abort();
    pelto::TagSource source;
    if (source.load(path) && source.tagTypes() != 0) {
        // Every value of a tag the file carries is delivered, within the length bound.
        for (const char* name : {"INAM_v2", "ICMT_v2", "TRACK_v2", "INAM_rmp", "TRACK_rmp"}) {
            const std::optional<QString> value = source.value(QString::fromLatin1(name));
            if (value && value->size() > 64 * 1024)
                std::abort();
        }
    }
    return 0;
}
