// pelto-info tags [--format F]... FILE...: for each file one line with what the player
// makes of it. Each group of keys comes from its own add…() step in tagsLine(), so
// more keys are added by adding a step.
#include "Json.h"
#include "audio/FileInfoReader.h"
#include "audio/PcmSource.h"
#include "common/TimeText.h"

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
void addAudioFacts(QJsonObject& line, const QString& path) {
    const FileInfo info = readFileInfo(path);
    PcmSource source;
    line.insert("opens", source.open(path));
    line.insert("seconds", info.TotalSec);
    line.insert("length", timeText(info.TotalSec));
    line.insert("id3", id3Object(info.tag));
}

QJsonObject tagsLine(const QString& path, const TagsOptions& options) {
    (void)options;
    QJsonObject line{{"path", path}};
    addAudioFacts(line, path);
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
