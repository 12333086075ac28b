#include "playlistwindow/PlayListView.h"

#include "playlist/PlaylistModel.h"
#include "settings/Settings.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace pelto {

PlayListView::PlayListView(PlaylistModel& model, QWidget* parent) : QTreeView(parent) {
    setObjectName(QStringLiteral("PlayListView"));
    setModel(&model);
    // After setModel, which would install a selection model of its own.
    setSelectionModel(model.selectionModel());
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    setTextElideMode(Qt::ElideRight);
    QHeaderView* top = header();
    top->setStretchLastSection(false);
    top->setSectionsMovable(false);
    top->setSectionsClickable(true);
    top->setHighlightSections(false);
    for (int column = 0; column < int(kPlaylistColumnWidths.size()); ++column)
        setColumnWidth(column, qRound(kPlaylistColumnWidths[size_t(column)]));
    connect(top, &QHeaderView::sectionClicked, this, &PlayListView::columnClicked);
    connect(&model, &PlaylistModel::scrollToRowRequested, this,
            [this, &model](int n) { scrollToRow(model.index(n - 1, 0)); });
}

void PlayListView::scrollToRow(const QModelIndex& row) {
    if (isVisible())
        scrollTo(row);
    else
        m_pendingScroll = row;
}

void PlayListView::showEvent(QShowEvent* event) {
    QTreeView::showEvent(event);
    if (m_pendingScroll.isValid())
        scrollTo(m_pendingScroll);
    m_pendingScroll = QPersistentModelIndex();
}

void PlayListView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit doubleClickedAnywhere();
}

void PlayListView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (event->modifiers() & ~Qt::KeypadModifier)
            break;
        emit enterPressed();
        return event->accept();
    case Qt::Key_Delete:
        if (event->modifiers() != Qt::NoModifier)
            break;
        emit deletePressed();
        return event->accept();
    default:
        break;
    }
    QTreeView::keyPressEvent(event);
}

} // namespace pelto
