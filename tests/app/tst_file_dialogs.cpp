// The file dialogs as the user meets them: Qt's own dialog in Japanese, the four
// filter entries each shown once and filtering by their patterns, and the folder the
// dialog starts in (the current song's, then the one last used in this run).

#include "app/QtTranslation.h"
#include "player/SoundFileDialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

using namespace pelto;

namespace {

// The names the dialog lists in its current folder, sorted, once the listing has come.
QStringList listedNames(QFileDialog* dialog, int expectedCount) {
    auto* view = dialog->findChild<QAbstractItemView*>(QStringLiteral("listView"));
    QStringList names;
    // On time out the names listed so far go to the comparison, which shows them.
    static_cast<void>(QTest::qWaitFor([&] {
        names.clear();
        const QModelIndex root = view->rootIndex();
        for (int row = 0; row < view->model()->rowCount(root); ++row)
            names.append(view->model()->index(row, 0, root).data().toString());
        return names.size() == expectedCount;
    }));
    names.sort();
    return names;
}

// Runs `inDialog` on the dialog once it is shown; a dialog that a failed check left
// open is cancelled, so the test goes on to report the failure.
void whenShown(std::function<void(QFileDialog*)> inDialog) {
    QTimer::singleShot(0, [inDialog] {
        QFileDialog* dialog = nullptr;
        QVERIFY(QTest::qWaitFor([&] {
            dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            return dialog != nullptr;
        }));
        inDialog(dialog);
        if (dialog->isVisible())
            QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
    });
}

} // namespace

class TestFileDialogs : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString make(const QString& name) {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    void openDialog() {
        QVERIFY(installQtTranslation(*qApp));
        QVERIFY(QDir(m_dir.path()).mkdir("other"));
        const QString song = make("a.mp3");
        QFile(song).resize(402653); // "393 KiB", a size that a narrow column cuts
        for (const char* name : {"b.wav", "c.txt", "d.m3u", "other/e.mp3", "f.flac", "g.ogg",
                                 "h.oga", "i.opus", "j.m3u8", "k.pls"})
            make(name);
        const QString other = m_dir.filePath("other");

        // Before any dialog was used: the current song's folder, else the home folder.
        QCOMPARE(fileDialogFolder(QString()), QDir::homePath());
        QCOMPARE(fileDialogFolder(m_dir.filePath("gone/x.mp3")), QDir::homePath());
        QCOMPARE(fileDialogFolder(song), m_dir.path());

        whenShown([&](QFileDialog* dialog) {
            QCOMPARE(dialog->directory().absolutePath(), m_dir.path());
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            QCOMPARE(buttons->button(QDialogButtonBox::Open)->text(), QStringLiteral("開く(&O)"));
            QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(),
                     QStringLiteral("キャンセル"));
            auto* filters = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            QStringList shown;
            for (int i = 0; i < filters->count(); ++i)
                shown.append(filters->itemText(i));
            QCOMPARE(shown,
                     (QStringList{"対応ファイル(*.mp3;*.mp2;*.mp1;*.rmp;*.m3u;*.wav;*.flac;*.ogg;"
                                  "*.oga;*.opus;*.m3u8;*.pls)",
                                  "Mpeg Audio(*.mp3;*.mp2;*.mp1;*.rmp)",
                                  "FLAC / Ogg Vorbis / Opus(*.flac;*.ogg;*.oga;*.opus)",
                                  "プレイリスト(*.m3u)", "Wave Audio(*.wav)"}));
            QCOMPARE(listedNames(dialog, 10),
                     (QStringList{"a.mp3", "b.wav", "d.m3u", "f.flac", "g.ogg", "h.oga", "i.opus",
                                  "j.m3u8", "k.pls", "other"}));
            dialog->selectNameFilter(soundFileFilters()[2]);
            QCOMPARE(listedNames(dialog, 5),
                     (QStringList{"f.flac", "g.ogg", "h.oga", "i.opus", "other"}));
            // The detail columns show sizes, types and dates whole.
            auto* details = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
            QVERIFY(details);
            for (int column = 1; column < details->header()->count(); ++column)
                QVERIFY2(
                    details->header()->sectionSize(column) >=
                        static_cast<QAbstractItemView*>(details)->sizeHintForColumn(column),
                    qPrintable(details->model()->headerData(column, Qt::Horizontal).toString()));
            dialog->selectNameFilter(soundFileFilters()[4]);
            QCOMPARE(listedNames(dialog, 2), (QStringList{"b.wav", "other"}));
            dialog->selectNameFilter(soundFileFilters()[0]);
            // The name typed, as a user would; choosing it from the listing would depend
            // on the listing having been filled in the background.
            dialog->setDirectory(other);
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText("e.mp3");
            QPushButton* open = buttons->button(QDialogButtonBox::Open);
            QVERIFY(QTest::qWaitFor([&] { return open->isEnabled(); }));
            open->click();
        });
        QCOMPARE(chooseSoundFiles(nullptr, QStringLiteral("ファイルを開く"), song),
                 QStringList{other + "/e.mp3"});

        // From now on the folder last used wins over the current song's.
        QCOMPARE(fileDialogFolder(song), other);
        whenShown([&](QFileDialog* dialog) {
            QCOMPARE(dialog->directory().absolutePath(), other);
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
        });
        QCOMPARE(chooseSoundFiles(nullptr, QStringLiteral("プレイリストに追加する"), song),
                 std::nullopt);
    }
};

QTEST_MAIN(TestFileDialogs)
#include "tst_file_dialogs.moc"
