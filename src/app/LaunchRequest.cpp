#include "app/LaunchRequest.h"

namespace pelto {

LaunchRequest readLaunchRequest(const QStringList& arguments) {
    LaunchRequest request;
    bool options = true;
    for (const QString& argument : arguments) {
        if (options && argument == u"--") {
            options = false;
        } else if (options && (argument == u"-h" || argument == u"--help")) {
            return {LaunchRequest::Kind::Help, {}, {}};
        } else if (options && (argument == u"-V" || argument == u"--version")) {
            return {LaunchRequest::Kind::Version, {}, {}};
        } else if (options && argument.startsWith(u"--") &&
                   remoteCommandNames().contains(argument.mid(2))) {
            return {LaunchRequest::Kind::Remote, {}, argument.mid(2)};
        } else {
            request.names.append(argument);
        }
    }
    return request;
}

QStringList remoteCommandNames() {
    return {QStringLiteral("play-pause"), QStringLiteral("play"), QStringLiteral("pause"),
            QStringLiteral("stop"),       QStringLiteral("next"), QStringLiteral("previous"),
            QStringLiteral("status")};
}

QString usageText() {
    return QStringLiteral(
        "Usage: pelto [OPTION]... [FILE]...\n"
        "Plays MPEG audio (.mp3 .mp2 .mp1 .rmp), Wave (.wav), FLAC (.flac), Ogg Vorbis and\n"
        "Opus (.ogg .oga .opus) files, and the entries of .m3u, .m3u8 and .pls playlists:\n"
        "the named files replace the playlist and the first one plays.\n"
        "When a copy is already running, the files are handed to it instead: it adds them\n"
        "to its playlist and plays the first of them.\n"
        "\n"
        "  -h, --help      show this help and exit\n"
        "  -V, --version   show the version and exit\n"
        "  --              every argument after this one is a file name\n"
        "\n"
        "Remote control of the running copy (what its keys and tray menu do):\n"
        "  --play-pause    pause or resume; play the current row when stopped (C, X)\n"
        "  --play          resume, or play the current row when stopped (X)\n"
        "  --pause         pause when playing\n"
        "  --stop          stop (V)\n"
        "  --next          play the next row (B)\n"
        "  --previous      play the row before (Z)\n"
        "  --status        print the state, the current row, its title and the position\n"
        "Without a running copy these say so on stderr and exit with 1; none starts one.\n"
        "\n"
        "Environment:\n"
        "  PELTO_HOME      the program folder (default: the folder of the executable)\n"
        "\n"
        "Files in the program folder:\n"
        "  Pelto.cfg       settings and window places, written at exit\n"
        "  Pelto.m3u       the playlist, restored at a start without files, saved at exit\n"
        "  Pelto.rowcache  title, artist and length of the files read, for the next start\n"
        "  skin/           the skins, one folder each\n"
        "\n"
        "An installed copy (its folder not writable, or without skin/ beside an installed\n"
        "share/pelto/skin/) keeps Pelto.cfg and Pelto.m3u in $XDG_CONFIG_HOME/pelto/\n"
        "(~/.config/pelto/) and lists the skins of $XDG_DATA_HOME/pelto/skin/\n"
        "(~/.local/share/pelto/skin/) and of share/pelto/skin/; a skin of yours wins over\n"
        "an installed one of the same name. PELTO_HOME always keeps everything in it.\n");
}

QString versionText() {
    return QStringLiteral("Pelto " PELTO_VERSION);
}

} // namespace pelto
