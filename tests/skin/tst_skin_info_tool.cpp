#include "PeltoInfo.h"
#include "SkinFixture.h"
#include "skin/SkinReader.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTest>

using namespace pelto;

namespace {

using test::InfoRun;
using test::peltoInfo;

QStringList names(const QJsonArray& a) {
    QStringList out;
    for (const QJsonValue& v : a)
        out << v.toString();
    return out;
}

QStringList names(const QVector<SkinElement>& order) {
    QStringList out;
    for (SkinElement e : order)
        out << skinElementName(e);
    return out;
}

} // namespace

class TestSkinInfoTool : public QObject {
    Q_OBJECT
private slots:
    // The tool reports exactly what the reader makes of a skin.
    void reportsTheLoadedSkin() {
        const QString folder = QStringLiteral(PELTO_SOURCE_DIR "/skin/standard");
        const InfoRun run = peltoInfo({"skin", folder});
        QCOMPARE(run.exitCode, 0);
        const SkinState s = readSkin(folder, initialSkinState());
        const QJsonObject o = run.object();
        QCOMPARE(o["window"].toArray(),
                 (QJsonArray{s.windowSize().width(), s.windowSize().height()}));
        const QJsonObject elements = o["elements"].toObject();
        QCOMPARE(elements.size(), kSkinElementCount);
        for (int i = 0; i < kSkinElementCount; ++i) {
            const auto e = SkinElement(i);
            const QJsonObject el = elements[skinElementName(e)].toObject();
            const QRect g = s[e].geometry;
            QCOMPARE(QRect(el["x"].toInt(), el["y"].toInt(), el["w"].toInt(), el["h"].toInt()), g);
            QCOMPARE(el["picture"].toString(), s[e].pictureFile);
            QCOMPARE(el["picture"].isNull(), s[e].pictureFile.isEmpty());
            QCOMPARE(el.contains("fontSize"), isTextArea(e));
            if (isTextArea(e)) {
                QCOMPARE(el["fontSize"].toInt(), s.style(e).fontSize);
                QCOMPARE(el["foreColor"].toInt(), s.style(e).foreColor);
                QCOMPARE(el["backColor"].toInt(), s.style(e).backColor);
            }
        }
        QCOMPARE(names(o["surfaceOrder"].toArray()), names(s.surfaceOrder));
        QCOMPARE(names(o["textOrder"].toArray()), names(s.textOrder));
        QCOMPARE(o["SkinTagInfo"].toArray().at(1).toString(), s.SkinTagInfo[1]);
        QCOMPARE(o["SkinTagScroll"].toString(), s.SkinTagScroll);
        QCOMPARE(o["TotalTimePrefix"].toString(), s.TotalTimePrefix);
    }

    void folderWithoutDefinitionLeavesTheFreshWindow() {
        pelto::test::SkinFixture fx;
        fx.bitmap("main.bmp", 50, 50);
        const InfoRun run = peltoInfo({"skin", fx.folder()});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.object()["window"].toArray(), (QJsonArray{6, 6}));
        QVERIFY(run.object()["elements"].toObject()["MainSkin"].toObject()["picture"].isNull());
    }

    void wrongArguments() {
        QCOMPARE(peltoInfo({"skin"}).exitCode, 2);
        QCOMPARE(peltoInfo({"skin", "a", "b"}).exitCode, 2);
    }
};

QTEST_GUILESS_MAIN(TestSkinInfoTool)
#include "tst_skin_info_tool.moc"
