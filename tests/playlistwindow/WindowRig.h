#pragma once

// The real playlist window (offscreen) over a player whose decoder is scripted: rows
// are made up on the spot, and what is "played" is what the decoder was asked to open.
#include "ScriptedDecoder.h"

#include "player/AddFilesDialog.h"
#include "player/ProgramLogic.h"
#include "playlistwindow/PlayListForm.h"
#include "playlistwindow/PlayListView.h"
#include "playlistwindow/StripImage.h"

#include <QHeaderView>
#include <QtTest>

namespace pelto::test {

struct WindowRig {
    ProgramLogic logic;
    Settings& settings = logic.settings;
    PlaylistModel& playlist = logic.playlist;
    Player& player = logic.player;
    ControlCommands& commands = logic.commands;
    ScriptedDecoder* decoder = new ScriptedDecoder;
    PlayListForm form{playlist, player, commands, logic.buttons};

    // One row per letter: title the letter, path "/m/LETTER.mp3"; the row `current`
    // (0 for none) is the current, highlighted row.
    explicit WindowRig(const QString& letters = {}, int current = 0) {
        player.setDecoder(std::unique_ptr<Decoder>(decoder));
        // The window's commands, as the program connects them.
        QObject::connect(&commands, &ControlCommands::addFilesRequested, &form,
                         [this] { AddSound_PlayList(commands, player.DmyFileName(), &form); });
        QObject::connect(&commands, &ControlCommands::playlistWindowToggleRequested, &form,
                         &PlayListForm::View_PlayList_Menu_Click);
        for (QChar c : letters)
            addRow({QString(c), QStringLiteral("artist"), QStringLiteral("03:00"),
                    QStringLiteral("/m/%1.mp3").arg(c)});
        playlist.setPlayListTrNum(current);
        if (current > 0)
            playlist.SetPlayListColor();
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            qWarning("the playlist window was not exposed");
    }

    void addRow(const PlaylistRow& row) {
        playlist.appendRow(row);
        decoder->addSong(row.path, 180, row.title);
    }

    PlayListView* view() const { return form.listView(); }
    QWidget* viewport() const { return view()->viewport(); }
    QWidget* control(const char* name) const {
        return form.findChild<QWidget*>(QLatin1String(name));
    }
    // The names of the repeat images that show, of the four.
    QStringList repeatImagesShown() const {
        QStringList shown;
        for (const char* name : {"RepeatBtm", "Repeat2Btm", "Repeat_OnBtm", "Repeat_On2Btm"})
            if (control(name)->isVisible())
                shown << QLatin1String(name);
        return shown;
    }

    // Clicks, as the user does, token by token: "3" clicks row 3, "^3" ctrl-clicks it,
    // "+3" shift-clicks it.
    void clickRows(const QString& tokens) {
        for (const QString& token : tokens.split(u' ', Qt::SkipEmptyParts)) {
            const Qt::KeyboardModifiers modifiers = token[0] == u'^'   ? Qt::ControlModifier
                                                    : token[0] == u'+' ? Qt::ShiftModifier
                                                                       : Qt::NoModifier;
            const int row = (modifiers == Qt::NoModifier ? token : token.mid(1)).toInt();
            QTest::mouseClick(viewport(), Qt::LeftButton, modifiers, rowCenter(row));
        }
    }
    QPoint rowCenter(int row) const {
        return view()->visualRect(playlist.index(row - 1, 0)).center();
    }
    void clickHeader(int column) const {
        QHeaderView* header = view()->header();
        const QPoint middle(header->sectionViewportPosition(column) +
                                header->sectionSize(column) / 2,
                            header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
    }

    // As the view shows them: the titles in order, "1" for a selected row and "."
    // for another, the titles drawn bold.
    QString titles() const { return column(0); }
    QString column(int c) const {
        QString s;
        for (int row = 0; row < view()->model()->rowCount(); ++row)
            s += view()->model()->index(row, c).data().toString();
        return s;
    }
    QString selection() const {
        QString s(playlist.count(), u'.');
        for (const QModelIndex& index : view()->selectionModel()->selectedRows())
            s[index.row()] = u'1';
        return s;
    }
    QString bold() const {
        QString s;
        for (int row = 0; row < view()->model()->rowCount(); ++row) {
            const QModelIndex index = view()->model()->index(row, 0);
            if (index.data(Qt::FontRole).value<QFont>().bold())
                s += index.data().toString();
        }
        return s;
    }
    int trNum() const { return playlist.PlayListTrNum(); }
};

} // namespace pelto::test
