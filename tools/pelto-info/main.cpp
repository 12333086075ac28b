// pelto-info: prints, as one JSON object per line, what Pelto makes of files:
// tags, formatted information lines, playlists, skins and settings.
// Exits 0 unless its own arguments are wrong, whatever the files hold.

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <functional>

namespace pelto::info {
int runSkinCommand(const QStringList& args);
int runTagsCommand(const QStringList& args);
int runFormatCommand(const QStringList& args);
int runM3uCommand(const QStringList& args);
int runConfigCommand(const QStringList& args);
} // namespace pelto::info

namespace {

struct Command {
    const char* name;
    const char* usage;
    std::function<int(const QStringList&)> run;
};

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {"skin", "DIR", pelto::info::runSkinCommand},
        {"tags", "[--format F]... FILE...", pelto::info::runTagsCommand},
        {"format", "[--song JSON] F...", pelto::info::runFormatCommand},
        {"m3u", "FILE", pelto::info::runM3uCommand},
        {"config", "[--screen WxH] [--main-window WxH] FILE | --save JSON OUT",
         pelto::info::runConfigCommand},
    };
    return table;
}

int usage() {
    std::fprintf(stderr, "usage: pelto-info COMMAND ARGS...\n");
    for (const Command& c : commands())
        std::fprintf(stderr, "  pelto-info %s %s\n", c.name, c.usage);
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString name = args.takeFirst();
    for (const Command& c : commands())
        if (name == QLatin1String(c.name))
            return c.run(args);
    return usage();
}
