// pelto-info format [--song JSON] F...: the information line each format F gives for a
// made-up current song, one {"format", "result"} line per F.
#include "Json.h"
#include "taginfo/CurrentSong.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <cstdio>

namespace pelto::info {

namespace {

// The song described by JSON: {"ID3TagInfo": {...}, "ExtTagInfo": {...}, "ExtTagValid",
// "DmyFileName", "TotalSec"}. Missing keys leave texts empty and numbers 0.
CurrentSong songFromJson(const QJsonObject& o) {
    CurrentSong song;
    const QJsonObject id3 = o.value("ID3TagInfo").toObject();
    song.id3.Title = id3.value("Title").toString();
    song.id3.Artist = id3.value("Artist").toString();
    song.id3.Album = id3.value("Album").toString();
    song.id3.Comment = id3.value("Comment").toString();
    song.id3.Year = id3.value("Year").toString();
    song.id3.GenreName = id3.value("GenreName").toString();
    const QJsonObject ext = o.value("ExtTagInfo").toObject();
    song.ext.Title = ext.value("Title").toString();
    song.ext.Artist = ext.value("Artist").toString();
    song.ext.Album = ext.value("Album").toString();
    song.ext.Comment = ext.value("Comment").toString();
    song.ext.Genre = ext.value("Genre").toString();
    song.ext.Date = ext.value("Date").toString();
    song.ext.Track = ext.value("Track").toString();
    song.ExtTagValid = o.value("ExtTagValid").toInt();
    song.DmyFileName = o.value("DmyFileName").toString();
    song.TotalSec = o.value("TotalSec").toInt();
    return song;
}

int formatUsage() {
    std::fprintf(stderr, "usage: pelto-info format [--song JSON] F...\n");
    return 2;
}

} // namespace

int runFormatCommand(const QStringList& args) {
    QStringList formats = args;
    CurrentSong song;
    if (!formats.isEmpty() && formats.first() == QLatin1String("--song")) {
        if (formats.size() < 2)
            return formatUsage();
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(formats[1].toUtf8(), &error);
        if (error.error != QJsonParseError::NoError || !doc.isObject()) {
            std::fprintf(stderr, "pelto-info format: --song is not a JSON object: %s\n",
                         qPrintable(error.errorString()));
            return 2;
        }
        song = songFromJson(doc.object());
        formats = formats.mid(2);
    }
    if (formats.isEmpty())
        return formatUsage();
    for (const QString& format : formats)
        printObject(QJsonObject{{"format", format}, {"result", FormatTagInfo(format, song)}});
    return 0;
}

} // namespace pelto::info
