// pelto-info tags [--format F]... FILE...: for each file one line with what the player
// makes of it. Each group of keys comes from its own add…() step in tagsLine(), so
// more keys are added by adding a step.
#include "Json.h"
#include "audio/FileInfoReader.h"
#include "audio/PcmSource.h"
#include "common/TimeText.h"
#include "playlist/RowFacts.h"
#include "taginfo/CurrentSong.h"
#include "taginfo/TagSource.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>

#include <cstdio>

namespace pelto::info {

namespace {

struct TagsOptions {
    QStringList formats; // the --format texts, in order
    QStringList files;
};

bool parseTagsArguments(const QStringList& args, TagsOptions& options) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--format")) {
            if (++i >= args.size())
                return false;
            options.formats.append(args[i]);
        } else {
            options.files.append(args[i]);
        }
    }
    return !options.files.isEmpty();
}

QJsonObject id3Object(const ID3TagInfo& tag) {
    return QJsonObject{{"Title", tag.Title},        {"Artist", tag.Artist},   {"Album", tag.Album},
                       {"Year", tag.Year},          {"Comment", tag.Comment}, {"Genre", tag.Genre},
                       {"GenreName", tag.GenreName}};
}

// What the audio engine says: whether it opens the file, its length and ID3v1 tag.
void addAudioFacts(QJsonObject& line, const QString& path, const FileInfo& info) {
    PcmSource source;
    line.insert("opens", source.open(path));
    line.insert("seconds", info.TotalSec);
    line.insert("length", timeText(info.TotalSec));
    line.insert("id3", id3Object(info.tag));
}

// The extended fields as a song that starts reads them, and which tag they came from.
void addExtTags(QJsonObject& line, const CurrentSong& song) {
    QString source;
    TagSource tags;
    if (song.ExtTagValid == 1 && tags.load(song.DmyFileName))
        source = extTagSuffix(tags);
    const ExtTagInfo& ext = song.ext;
    line.insert("ext", QJsonObject{{"valid", song.ExtTagValid},
                                   {"source", source},
                                   {"Title", ext.Title},
                                   {"Artist", ext.Artist},
                                   {"Album", ext.Album},
                                   {"Comment", ext.Comment},
                                   {"Genre", ext.Genre},
                                   {"Date", ext.Date},
                                   {"Track", ext.Track}});
}

// The information lines that each --format gives with this file as the current song.
void addFormattedLines(QJsonObject& line, const CurrentSong& song, const QStringList& formats) {
    QJsonArray lines;
    for (const QString& format : formats)
        lines.append(FormatTagInfo(format, song));
    line.insert("lines", lines);
}

// The title and artist cells of the file's playlist row.
void addRowCells(QJsonObject& line, const QString& path, const FileInfo& info,
                 const CurrentSong& song) {
    const PlaylistRow row = playlistRowFromFacts(path, info, song.ext, song.ExtTagValid);
    line.insert("title", row.title);
    line.insert("artist", row.artist);
}

QJsonObject tagsLine(const QString& path, const TagsOptions& options) {
    QJsonObject line{{"path", path}};
    const FileInfo info = readFileInfo(path);
    addAudioFacts(line, path, info);
    CurrentSong song;
    song.id3 = info.tag;
    song.TotalSec = info.TotalSec;
    song.DmyFileName = path;
    song.ExtTagValid = ReadExtTag(song.ext, path);
    addExtTags(line, song);
    addRowCells(line, path, info, song);
    addFormattedLines(line, song, options.formats);
    return line;
}

} // namespace

int runTagsCommand(const QStringList& args) {
    TagsOptions options;
    if (!parseTagsArguments(args, options)) {
        std::fprintf(stderr, "usage: pelto-info tags [--format F]... FILE...\n");
        return 2;
    }
    for (const QString& path : options.files)
        printObject(tagsLine(path, options));
    return 0;
}

} // namespace pelto::info
