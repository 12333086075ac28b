#include "player/SoundFileDialog.h"

#include "player/FileDialogPlace.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace pelto {

QStringList soundFileFilters() {
    // Each description names its patterns as the user reads them; Qt takes the
    // patterns from the last parenthesis, separated by spaces, which the dialog then
    // hides.
    const char16_t* const pairs[][2] = {
        {u"対応ファイル(*.mp3;*.mp2;*.mp1;*.rmp;*.m3u;*.wav;*.flac;*.ogg;*.oga;*.opus;*.m3u8;*."
         u"pls)",
         u"*.mp3;*.mp2;*.mp1;*.rmp;*.m3u;*.wav;*.flac;*.ogg;*.oga;*.opus;*.m3u8;*.pls"},
        {u"Mpeg Audio(*.mp3;*.mp2;*.mp1;*.rmp)", u"*.mp3;*.mp2;*.mp1;*.rmp"},
        {u"FLAC / Ogg Vorbis / Opus(*.flac;*.ogg;*.oga;*.opus)", u"*.flac;*.ogg;*.oga;*.opus"},
        {u"プレイリスト(*.m3u)", u"*.m3u"},
        {u"Wave Audio(*.wav)", u"*.wav"},
    };
    QStringList filters;
    for (const auto& pair : pairs)
        filters.append(QString::fromUtf16(pair[0]) + QStringLiteral(" (") +
                       QString::fromUtf16(pair[1]).replace(u';', u' ') + u')');
    return filters;
}

namespace {

// The folder of the last choice in any file dialog of this run; empty until one.
QString& lastDialogFolder() {
    static QString folder;
    return folder;
}

} // namespace

QString fileDialogFolder(const QString& currentSong) {
    if (!lastDialogFolder().isEmpty())
        return lastDialogFolder();
    if (!currentSong.isEmpty()) {
        const QFileInfo song(currentSong);
        if (song.absoluteDir().exists())
            return song.absolutePath();
    }
    return QDir::homePath();
}

void rememberFileDialogFolder(const QString& folder) {
    lastDialogFolder() = folder;
}

std::optional<QStringList> chooseSoundFiles(QWidget* parent, const QString& title,
                                            const QString& currentSong) {
    QFileDialog dialog(parent, title, fileDialogFolder(currentSong));
    // Qt's own dialog rather than the desktop's: it speaks the program's language.
    // Each filter shows only its description, which names its patterns already.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters(soundFileFilters());
    placeFileDialog(dialog, parent);
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    rememberFileDialogSize(dialog);
    if (!chosen)
        return std::nullopt;
    rememberFileDialogFolder(dialog.directory().absolutePath());
    return dialog.selectedFiles();
}

QString playlistFileFilter() {
    return soundFileFilters().at(3);
}

} // namespace pelto
