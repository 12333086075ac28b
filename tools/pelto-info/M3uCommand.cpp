// pelto-info m3u FILE: the entries a playlist file gives, resolved as the player
// resolves them, in file order.
#include "Json.h"
#include "playlist/PlaylistFile.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>

#include <cstdio>

namespace pelto::info {

int runM3uCommand(const QStringList& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: pelto-info m3u FILE\n");
        return 2;
    }
    printObject(QJsonObject{{"entries", QJsonArray::fromStringList(ReadPlayListFile(args[0]))}});
    return 0;
}

} // namespace pelto::info
