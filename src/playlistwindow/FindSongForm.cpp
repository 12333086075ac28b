#include "playlistwindow/FindSongForm.h"

#include "common/GothicFont.h"
#include "playlist/PlaylistModel.h"
#include "playlist/RowFinder.h"
#include "playlistwindow/FoundRowsModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTreeView>
#include <QVBoxLayout>

namespace pelto {

namespace {

constexpr QSize kDesignSize(440, 320);
constexpr int kColumnWidths[] = {52, 170, 120, 44};

} // namespace

FindSongForm::FindSongForm(const PlaylistModel& playlist, QWidget* owner)
    : QWidget(owner, Qt::Dialog), m_playlist(playlist), m_finder(new RowFinder(playlist)) {
    setObjectName(QStringLiteral("FindSongForm"));
    setWindowTitle(QStringLiteral("曲を探す"));
    m_finder->setParent(this);
    QFont f = font();
    f.setFamilies(gothicFamilies());
    f.setPointSize(9);
    setFont(f);

    m_field = new QLineEdit(this);
    m_field->setObjectName(QStringLiteral("FindText"));
    m_field->setPlaceholderText(QStringLiteral("タイトル、アーティスト、パスの一部"));
    m_field->setClearButtonEnabled(true);
    m_field->installEventFilter(this);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("FoundCount"));

    m_rows = new FoundRowsModel(playlist, *m_finder, this);
    m_list = new QTreeView(this);
    m_list->setObjectName(QStringLiteral("FoundList"));
    m_list->setModel(m_rows);
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setTextElideMode(Qt::ElideRight);
    // The field keeps the keyboard; the list is moved in from there.
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionsMovable(false);
    for (int column = 0; column < int(std::size(kColumnWidths)); ++column)
        m_list->setColumnWidth(column, kColumnWidths[column]);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    auto* top = new QHBoxLayout;
    top->addWidget(m_field, 1);
    top->addWidget(m_count);
    layout->addLayout(top);
    layout->addWidget(m_list, 1);
    resize(kDesignSize);

    connect(m_field, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_typing = true;
        m_finder->setQuery(text);
        m_typing = false;
    });
    connect(m_finder, &RowFinder::rowsFound, this, &FindSongForm::rowsFound);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                const int n = m_rows->playlistRow(current.row());
                m_chosenLine = std::max(0, current.row());
                m_chosen =
                    n ? QPersistentModelIndex(m_playlist.index(n - 1, 0)) : QPersistentModelIndex();
                m_chosenPath = n ? m_playlist.path(n) : QString();
            });
    connect(m_list, &QAbstractItemView::doubleClicked, this, [this] { play(); });
    rowsFound();
}

FindSongForm::~FindSongForm() = default;

int FindSongForm::chosenRow() const {
    return m_rows->playlistRow(m_list->currentIndex().row());
}

void FindSongForm::open() {
    if (!isVisible()) {
        if (m_place.isValid()) {
            setGeometry(m_place);
        } else if (QWidget* owner = parentWidget()) {
            move(owner->geometry().center() - QPoint(width() / 2, height() / 3));
        }
        m_finder->setLive(true);
        show();
    }
    raise();
    activateWindow();
    m_field->setFocus();
    m_field->selectAll();
}

void FindSongForm::choose(int line) {
    const QModelIndex index = m_rows->index(line, 0);
    m_list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
    if (index.isValid())
        m_list->scrollTo(index);
}

void FindSongForm::rowsFound() {
    const int found = m_rows->rowCount();
    m_count->setText(QStringLiteral("%1 / %2 曲").arg(found).arg(m_playlist.count()));
    if (m_typing || found == 0) {
        choose(0);
        return;
    }
    // The rows changed under the list: the chosen song where it went, found by its
    // path when other cells took its place; else the line it was on.
    int line = -1;
    const int kept = m_chosen.isValid() ? m_chosen.row() + 1 : 0;
    if (kept && m_playlist.storedRows()[kept - 1].pathEquals(m_chosenPath))
        line = m_rows->lineOf(kept);
    for (int l = 0; line < 0 && !m_chosenPath.isEmpty() && l < found; ++l)
        if (m_playlist.storedRows()[m_rows->playlistRow(l) - 1].pathEquals(m_chosenPath))
            line = l;
    choose(line >= 0 ? line : std::min(m_chosenLine, found - 1));
}

void FindSongForm::play() {
    if (const int n = chosenRow()) {
        emit playRequested(n);
        hide();
    }
}

bool FindSongForm::handleKey(QKeyEvent& key) {
    const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
    switch (key.key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        QApplication::sendEvent(m_list, &key);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (mods == Qt::NoModifier) {
            play();
        } else if (mods == Qt::ShiftModifier) {
            if (const int n = chosenRow())
                emit showRequested(n);
        } else {
            return false;
        }
        return true;
    case Qt::Key_Escape:
        if (mods != Qt::NoModifier)
            return false;
        hide();
        return true;
    case Qt::Key_F:
    case Qt::Key_J:
        // The keys that opened the window take the field back to its whole text.
        if (mods != Qt::ControlModifier)
            return false;
        m_field->setFocus();
        m_field->selectAll();
        return true;
    default:
        return false;
    }
}

bool FindSongForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_field && event->type() == QEvent::KeyPress &&
        handleKey(*static_cast<QKeyEvent*>(event)))
        return true;
    return QWidget::eventFilter(watched, event);
}

void FindSongForm::keyPressEvent(QKeyEvent* event) {
    if (handleKey(*event))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

void FindSongForm::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (isMinimized())
        return;
    m_place = geometry();
    m_finder->setLive(false);
}

} // namespace pelto
