#include "app/HandOffWire.h"
#include "app/LaunchArguments.h"
#include "app/LaunchRequest.h"

#include <QTest>

using namespace pelto;

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void joining_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("joined");
        QTest::newRow("none") << QStringList{} << QString();
        QTest::newRow("plain names") << QStringList{"a.mp3", "/m/b.wav"} << "a.mp3 /m/b.wav";
        QTest::newRow("spaces are quoted") << QStringList{"/m/my song.mp3", "x.mp3", " lead.mp3"}
                                           << "\"/m/my song.mp3\" x.mp3 \" lead.mp3\"";
        // A quote in a name without a space is passed on as it stands; the parser
        // removes quotes from every name anyway.
        QTest::newRow("quote without space") << QStringList{"a\"b.mp3"} << "a\"b.mp3";
        QTest::newRow("empty argument") << QStringList{"", "a.mp3"} << " a.mp3";
        QTest::newRow("japanese") << QStringList{"/音楽/曲 一.mp3"} << "\"/音楽/曲 一.mp3\"";
    }
    void joining() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, joined);
        QCOMPARE(joinCommandLine(arguments), joined);
    }

    void argvSkipsTheProgramName() {
        QByteArray program("pelto"), first("/tmp/曲 1.mp3"), second("b.mp3");
        char* argv[] = {program.data(), first.data(), second.data(), nullptr};
        QCOMPARE(joinCommandLine(argumentsOf(3, argv)), QStringLiteral("\"/tmp/曲 1.mp3\" b.mp3"));
        QCOMPARE(joinCommandLine(argumentsOf(1, argv)), QString());
    }

    void namesBecomeAbsolute_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("absolute");
        QTest::newRow("relative and absolute")
            << QStringList{"a.mp3", "/m/b.wav", "sub/c.mp3"}
            << QStringList{"/w d/a.mp3", "/m/b.wav", "/w d/sub/c.mp3"};
        QTest::newRow("dot steps") << QStringList{"./a.mp3", "../x/b.mp3", "/m/./n/../c.mp3"}
                                   << QStringList{"/w d/a.mp3", "/x/b.mp3", "/m/c.mp3"};
        // An empty argument stays empty (the parser skips it); a name without "." is
        // made absolute too, and the parser still skips it for its extension.
        QTest::newRow("empty and no extension")
            << QStringList{"", "-x", "曲 一.mp3"} << QStringList{"", "/w d/-x", "/w d/曲 一.mp3"};
    }
    void namesBecomeAbsolute() {
        QFETCH(QStringList, names);
        QFETCH(QStringList, absolute);
        QCOMPARE(absoluteNames(names, QStringLiteral("/w d")), absolute);
    }

    void launchRequests_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("command");
        const int play = int(LaunchRequest::Kind::Play), help = int(LaunchRequest::Kind::Help),
                  version = int(LaunchRequest::Kind::Version),
                  remote = int(LaunchRequest::Kind::Remote);
        QTest::newRow("nothing") << QStringList{} << play << QStringList{} << QString();
        QTest::newRow("names") << QStringList{"a.mp3", "-b.mp3"} << play
                               << QStringList{"a.mp3", "-b.mp3"} << QString();
        QTest::newRow("-h") << QStringList{"-h"} << help << QStringList{} << QString();
        QTest::newRow("--help after a name")
            << QStringList{"a.mp3", "--help"} << help << QStringList{} << QString();
        QTest::newRow("-V") << QStringList{"-V"} << version << QStringList{} << QString();
        QTest::newRow("--version")
            << QStringList{"--version", "-h"} << version << QStringList{} << QString();
        // After "--" everything is a name; only the first "--" is dropped.
        QTest::newRow("--") << QStringList{"a.mp3", "--", "--help", "--", "-V"} << play
                            << QStringList{"a.mp3", "--help", "--", "-V"} << QString();
        // Each remote command, wherever it stands before "--"; the first option decides.
        for (const QString& name : remoteCommandNames())
            QTest::newRow(qPrintable("--" + name))
                << QStringList{"a.mp3", "--" + name} << remote << QStringList{} << name;
        QTest::newRow("--next --help")
            << QStringList{"--next", "--help"} << remote << QStringList{} << QString("next");
        QTest::newRow("--help --next")
            << QStringList{"--help", "--next"} << help << QStringList{} << QString();
        // After "--", and without its dashes, a command's name is a file name; so is an
        // option that is no command.
        QTest::newRow("-- --next")
            << QStringList{"--", "--next"} << play << QStringList{"--next"} << QString();
        QTest::newRow("next") << QStringList{"next", "-next", "--Next", "--volume-up"} << play
                              << QStringList{"next", "-next", "--Next", "--volume-up"} << QString();
    }
    void launchRequests() {
        QFETCH(QStringList, arguments);
        const LaunchRequest request = readLaunchRequest(arguments);
        QTEST(int(request.kind), "kind");
        QTEST(request.names, "names");
        QTEST(request.command, "command");
    }

    void remoteCommandNamesAreTheUsagesOptions() {
        QCOMPARE(remoteCommandNames(), (QStringList{"play-pause", "play", "pause", "stop", "next",
                                                    "previous", "status"}));
        for (const QString& name : remoteCommandNames())
            QVERIFY2(usageText().contains("  --" + name + ' '), qPrintable(name));
    }

    void commandPayloadsAreNoCommandLine() {
        QCOMPARE(wire::commandPayload("next"), QByteArray("\0next", 5));
        QCOMPARE(wire::commandName(wire::commandPayload("play-pause")), QByteArray("play-pause"));
        // What a hand-off carries is never a command, the empty command line included,
        // and a command's payload is no command line an older copy would add.
        for (const QString& line : {QString(), QString("a.mp3"), QString("\"a b.mp3\" c.mp3")})
            QCOMPARE(wire::commandName(handOffPayload(line)), QByteArray());
        QCOMPARE(commandLineFromPayload(wire::commandPayload("next")), QString());
        QCOMPARE(wire::commandName(QByteArray()), QByteArray());
        QCOMPARE(wire::commandName(QByteArray(1, '\0')), QByteArray());
        QCOMPARE(wire::commandName(QByteArray("\0ne\0xt", 6)), QByteArray());
    }

    void payloadBytes() {
        QCOMPARE(handOffPayload(QString()), QByteArray(3, '\0'));
        QCOMPARE(handOffPayload(QStringLiteral("\"a b.mp3\"")),
                 QByteArray("\"a b.mp3\"") + QByteArray(3, '\0'));
        // UTF-8 on the wire: 3 bytes per kana.
        QCOMPARE(handOffPayload(QStringLiteral("曲")).size(), 6);
    }

    void payloadRoundTripsAndCutsAtNul() {
        const QString text = QStringLiteral("\"/音楽/曲 一.mp3\" b.mp3");
        QCOMPARE(commandLineFromPayload(handOffPayload(text)), text);
        QCOMPARE(commandLineFromPayload(QByteArray(3, '\0')), QString());
        QCOMPARE(commandLineFromPayload(QByteArray("a.mp3\0b.mp3", 11)), QStringLiteral("a.mp3"));
        QCOMPARE(commandLineFromPayload(QByteArray()), QString());
    }

    void frameReaderTakesPiecesOfAnySize() {
        const QByteArray payload = handOffPayload(QStringLiteral("\"a b.mp3\" 曲.mp3"));
        const QByteArray bytes = wire::frame(payload) + QByteArray("next message");
        wire::FrameReader whole, byByte;
        QCOMPARE(whole.feed(bytes), wire::FrameReader::Status::Complete);
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const auto status = byByte.feed(bytes.mid(i, 1));
            // Complete exactly when the last payload byte has come, not before.
            QCOMPARE(status == wire::FrameReader::Status::Complete,
                     i >= wire::headerSize + payload.size() - 1);
        }
        QCOMPARE(whole.payload(), payload);
        QCOMPARE(byByte.payload(), payload);

        wire::FrameReader empty;
        QCOMPARE(empty.feed(wire::frame({})), wire::FrameReader::Status::Complete);
        QCOMPARE(empty.payload(), QByteArray());
    }

    void frameReaderRefusesOversizeAtTheHeader() {
        QByteArray header(4, '\0');
        qToLittleEndian<quint32>(wire::maxPayload, header.data());
        wire::FrameReader atLimit;
        QCOMPARE(atLimit.feed(header), wire::FrameReader::Status::NeedMore);
        QCOMPARE(atLimit.feed(QByteArray(wire::maxPayload, 'x')),
                 wire::FrameReader::Status::Complete);

        qToLittleEndian<quint32>(wire::maxPayload + 1, header.data());
        wire::FrameReader over;
        QCOMPARE(over.feed(header.left(3)), wire::FrameReader::Status::NeedMore);
        QCOMPARE(over.feed(header.mid(3)), wire::FrameReader::Status::TooLarge);
        QCOMPARE(over.feed(QByteArray(16, 'x')), wire::FrameReader::Status::TooLarge);
        QVERIFY(over.payload().isEmpty());

        qToLittleEndian<quint32>(0xFFFFFFFFu, header.data());
        wire::FrameReader huge;
        QCOMPARE(huge.feed(header), wire::FrameReader::Status::TooLarge);
    }

    void framing() {
        const QByteArray frame = wire::frame(QByteArray("abc\0\0\0", 6));
        QCOMPARE(frame.size(), 10);
        QCOMPARE(frame.left(4), QByteArray("\x06\0\0\0", 4));
        QCOMPARE(wire::payloadSize(frame), 6u);
        QCOMPARE(wire::payloadSize(wire::frame(QByteArray(70000, 'x'))), 70000u);
    }
};

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
