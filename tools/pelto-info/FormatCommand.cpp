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

// Sets each text from the key of the same name; a missing key gives an empty text.
void readTexts(const QJsonObject& o,
               std::initializer_list<std::pair<const char*, QString*>> texts) {
    for (const auto& [key, text] : texts)
        *text = o.value(QLatin1String(key)).toString();
}

// The song described by JSON: {"ID3TagInfo": {...}, "ExtTagInfo": {...}, "ExtTagValid",
// "DmyFileName", "TotalSec"}. Missing keys leave texts empty and numbers 0.
CurrentSong songFromJson(const QJsonObject& o) {
    CurrentSong song;
    ID3TagInfo& id3 = song.id3;
    readTexts(o.value("ID3TagInfo").toObject(), {{"Title", &id3.Title},
                                                 {"Artist", &id3.Artist},
                                                 {"Album", &id3.Album},
                                                 {"Comment", &id3.Comment},
                                                 {"Year", &id3.Year},
                                                 {"GenreName", &id3.GenreName}});
    ExtTagInfo& ext = song.ext;
    readTexts(o.value("ExtTagInfo").toObject(), {{"Title", &ext.Title},
                                                 {"Artist", &ext.Artist},
                                                 {"Album", &ext.Album},
                                                 {"Comment", &ext.Comment},
                                                 {"Genre", &ext.Genre},
                                                 {"Date", &ext.Date},
                                                 {"Track", &ext.Track}});
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
