// Fuzzes the information-line format language. The input's first line is the format;
// the following lines, if any, fill the song's fields, so that values holding "%", "("
// or "," are tried too. A format without "%" must come back unchanged.
#include "taginfo/CurrentSong.h"

#include <QList>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<QStringView> lines = QStringView(text).split(u'\n');
    const QString format = lines.value(0).toString();
    pelto::CurrentSong song;
    QString* targets[] = {&song.id3.Title,   &song.id3.Artist,    &song.id3.Album, &song.id3.Year,
                          &song.id3.Comment, &song.id3.GenreName, &song.ext.Title, &song.ext.Artist,
                          &song.ext.Album,   &song.ext.Comment,   &song.ext.Genre, &song.ext.Date,
                          &song.DmyFileName};
    for (qsizetype i = 1; i < lines.size() && i <= qsizetype(std::size(targets)); ++i)
        *targets[i - 1] = lines[i].toString();
    song.ExtTagValid = size % 2;
    song.TotalSec = int(size * 37);
    const QString result = pelto::FormatTagInfo(format, song);
    if (!format.contains(u'%') && result != format)
        std::abort();
    (void)pelto::FormatTagInfo(format, song, pelto::PathSyntax::windows());
    return 0;
}
