#include "widgets/controls.h"

#include "app/gridnavigation.h"

#include <QApplication>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolTip>

// ---------------------------------------------------------------- RadioGroup

RadioGroup::RadioGroup(const QString& name, const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)) {
    setObjectName(name);
    group_->setExclusive(true);
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        b->setObjectName(name + QStringLiteral("_item") + QString::number(i));
        group_->addButton(b, i);
        buttons_ << b;
    }
    connect(group_, &QButtonGroup::idClicked, this, [this](int id) { emit clicked(id); });
    layoutButtons();
}

int RadioGroup::itemIndex() const {
    return group_->checkedId();
}

void RadioGroup::setItemIndex(int index) {
    if (buttons_.isEmpty()) return;
    if (index < 0) {
        group_->setExclusive(false);
        for (auto* b : buttons_)
            b->setChecked(false);
        group_->setExclusive(true);
        return;
    }
    if (index >= buttons_.size()) index = int(buttons_.size()) - 1;
    buttons_[index]->setChecked(true);
}

int RadioGroup::count() const {
    return int(buttons_.size());
}

QRadioButton* RadioGroup::button(int index) const {
    return buttons_.value(index);
}

void RadioGroup::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    layoutButtons();
}

void RadioGroup::layoutButtons() {
    if (buttons_.isEmpty()) return;
    const int top = 16;
    const int avail = std::max(1, height() - top - 4);
    const int step = std::max(14, avail / int(buttons_.size()));
    for (int i = 0; i < buttons_.size(); ++i)
        buttons_[i]->setGeometry(8, top + i * step, std::max(10, width() - 12), std::min(step, 20));
}

// ---------------------------------------------------------------- StringGrid

// The in-place editor of a grid cell: typed characters pass the grid's key filter.
class StringGridDelegate : public QStyledItemDelegate {
public:
    explicit StringGridDelegate(StringGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (editor) {
            editor->setObjectName(grid_->objectName() + QStringLiteral("_editor"));
            editor->installEventFilter(grid_);
        }
        return editor;
    }

private:
    StringGrid* grid_;
};

namespace {
// Only character keys reach the filter, as with a key-press event on Windows:
// navigation keys and Delete carry no character of their own.
bool isCharacterKey(const QKeyEvent* e, QChar* ch) {
    const QString t = e->text();
    if (t.size() != 1) return false;
    if (t[0] == QChar(0x7f)) return false;
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        *ch = QChar(13);
        return true;
    }
    *ch = t[0];
    return true;
}
} // namespace

StringGrid::StringGrid(const QString& name, int columns, int rows, QWidget* parent)
    : QTableWidget(rows, columns, parent) {
    setObjectName(name);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setItemDelegate(new StringGridDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            setItem(r, c, new QTableWidgetItem());
            applyFlags(c, r);
        }
}

QString StringGrid::cell(int column, int row) const {
    const QTableWidgetItem* it = item(row, column);
    return it ? it->text() : QString();
}

void StringGrid::setCell(int column, int row, const QString& text) {
    QTableWidgetItem* it = item(row, column);
    if (!it) {
        it = new QTableWidgetItem();
        setItem(row, column, it);
        applyFlags(column, row);
    }
    it->setText(text);
}

void StringGrid::applyFlags(int column, int row) {
    QTableWidgetItem* it = item(row, column);
    if (!it) return;
    const bool fixed = column < fixedColumns_ || row < fixedRows_;
    Qt::ItemFlags f = Qt::ItemIsEnabled;
    if (!fixed) {
        f |= Qt::ItemIsSelectable;
        if (editable_) f |= Qt::ItemIsEditable;
    }
    it->setFlags(f);
    it->setBackground(fixed ? palette().color(QPalette::Button) : QColor(Qt::white));
}

void StringGrid::setFixed(int fixedColumns, int fixedRows) {
    fixedColumns_ = fixedColumns;
    fixedRows_ = fixedRows;
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            applyFlags(c, r);
}

void StringGrid::setEditable(bool editable) {
    editable_ = editable;
    setEditTriggers(editable ? (QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                                QAbstractItemView::EditKeyPressed)
                             : QAbstractItemView::NoEditTriggers);
    setFixed(fixedColumns_, fixedRows_);
}

bool StringGrid::mayUse(const QModelIndex& index) const {
    if (!index.isValid()) return true;
    return !selectFilter || selectFilter(index.column(), index.row());
}

void StringGrid::mousePressEvent(QMouseEvent* event) {
    const QModelIndex idx = indexAt(event->position().toPoint());
    if (idx.isValid() && (idx.column() < fixedColumns_ || idx.row() < fixedRows_)) {
        event->accept();
        return;
    }
    if (!mayUse(idx)) {
        event->accept();
        return;
    }
    QTableWidget::mousePressEvent(event);
}

void StringGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex idx = indexAt(event->position().toPoint());
    if (idx.isValid() && (idx.column() < fixedColumns_ || idx.row() < fixedRows_ ||
                          (selectFilter && !selectFilter(idx.column(), idx.row())))) {
        event->accept();
        return;
    }
    QTableWidget::mouseDoubleClickEvent(event);
}

gridnav::Cell StringGrid::passOverCells(gridnav::Cell to, gridnav::Move move,
                                        const gridnav::Shape& shape) const {
    using gridnav::Move;
    if (!passOver || to.row < 0 || !passOver(to.column, to.row)) return to;
    // Beyond a cell that cannot be chosen one step at a time in the key's
    // direction; at the edge the first such cell stands, and selectFilter
    // refuses it as before.
    Move step;
    switch (move) {
    case Move::Up:
    case Move::PageUp:
        step = Move::Up;
        break;
    case Move::Down:
    case Move::PageDown:
        step = Move::Down;
        break;
    case Move::Next:
    case Move::Previous:
        step = move;
        break;
    default:
        return to;
    }
    gridnav::Cell probe = to;
    while (passOver(probe.column, probe.row)) {
        const gridnav::Cell further = gridnav::nextCell(probe, step, shape);
        if (further == probe) return to;
        probe = further;
    }
    return probe;
}

QModelIndex StringGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    // Keys move only among the cells that can be current, never into the
    // fixed columns or rows; a cell the select filter refuses keeps the old one.
    using gridnav::Move;
    const bool ctrl = modifiers & Qt::ControlModifier;
    Move move = Move::Next;
    switch (action) {
    case MoveUp:
        move = Move::Up;
        break;
    case MoveDown:
        move = Move::Down;
        break;
    case MoveLeft:
        move = Move::Left;
        break;
    case MoveRight:
        move = Move::Right;
        break;
    case MoveHome:
        move = ctrl ? Move::First : Move::Home;
        break;
    case MoveEnd:
        move = ctrl ? Move::Last : Move::End;
        break;
    case MovePageUp:
        move = Move::PageUp;
        break;
    case MovePageDown:
        move = Move::PageDown;
        break;
    case MoveNext:
        move = Move::Next;
        break;
    case MovePrevious:
        move = Move::Previous;
        break;
    }
    const QModelIndex current = currentIndex();
    const int rowHeight =
        rowCount() > 0 ? std::max(1, this->rowHeight(std::min(fixedRows_, rowCount() - 1))) : 1;
    const gridnav::Shape shape{columnCount(), rowCount(), fixedColumns_, fixedRows_,
                               std::max(1, viewport()->height() / rowHeight)};
    gridnav::Cell to = gridnav::nextCell(
        current.isValid() ? gridnav::Cell{current.column(), current.row()} : gridnav::Cell{}, move, shape);
    to = passOverCells(to, move, shape);
    const QModelIndex next = model()->index(to.row, to.column);
    if (next.isValid() && next != current && !mayUse(next)) return current;
    return next;
}

void StringGrid::keyPressEvent(QKeyEvent* event) {
    QChar ch;
    if (isCharacterKey(event, &ch) && keyFilter && !keyFilter(ch)) {
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

bool StringGrid::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched != this) {
        auto* ke = static_cast<QKeyEvent*>(event);
        QChar ch;
        if (isCharacterKey(ke, &ch) && keyFilter && !keyFilter(ch)) return true;
    }
    return QTableWidget::eventFilter(watched, event);
}

bool StringGrid::typeKey(QChar key) {
    if (keyFilter && !keyFilter(key)) return false;
    QWidget* target = QApplication::focusWidget();
    auto* editor = qobject_cast<QLineEdit*>(target);
    if (editor && editor->parentWidget() && editor->parentWidget()->parentWidget() == this) {
        if (key == QChar(8))
            editor->backspace();
        else if (key != QChar(13))
            editor->insert(QString(key));
        return true;
    }
    const int r = currentRow(), c = currentColumn();
    if (r < 0 || c < 0 || !editable_) return true;
    if (key == QChar(8)) {
        QString t = cell(c, r);
        t.chop(1);
        setCell(c, r, t);
    } else if (key != QChar(13)) {
        setCell(c, r, cell(c, r) + key);
    }
    return true;
}

bool StringGrid::commitOpenEditor() {
    if (state() != QAbstractItemView::EditingState) return false;
    QWidget* editor = indexWidget(currentIndex());
    if (!editor) return false;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

void StringGrid::setCellMark(int column, int row, const QColor& background, const QString& toolTip) {
    QTableWidgetItem* it = item(row, column);
    if (!it) return;
    const bool fixed = column < fixedColumns_ || row < fixedRows_;
    const QColor normal = fixed ? palette().color(QPalette::Button) : QColor(Qt::white);
    const QColor wanted = background.isValid() ? background : normal;
    if (it->background().color() != wanted) it->setBackground(wanted);
    if (it->toolTip() != toolTip) it->setToolTip(toolTip);
}

QColor StringGrid::cellBackground(int column, int row) const {
    const QTableWidgetItem* it = item(row, column);
    return it ? it->background().color() : QColor();
}

QString StringGrid::cellToolTip(int column, int row) const {
    const QTableWidgetItem* it = item(row, column);
    return it ? it->toolTip() : QString();
}

bool StringGrid::cellTextCut(int column, int row) const {
    const QTableWidgetItem* it = item(row, column);
    if (!it || it->text().isEmpty()) return false;
    // The item delegate leaves this margin on either side of the text.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const QFontMetrics fm(it->data(Qt::FontRole).isValid() ? it->font() : font());
    return fm.horizontalAdvance(it->text()) > columnWidth(column) - 2 * margin;
}

bool StringGrid::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex idx = indexAt(help->pos());
        const QTableWidgetItem* it = idx.isValid() ? item(idx.row(), idx.column()) : nullptr;
        if (it && it->toolTip().isEmpty() && cellTextCut(idx.column(), idx.row())) {
            QToolTip::showText(help->globalPos(), it->text(), viewport(), visualRect(idx));
            return true;
        }
    }
    return QTableWidget::viewportEvent(event);
}

// ---------------------------------------------------------------- Lamp

Lamp::Lamp(const QString& name, const QColor& colour, QWidget* parent) : QLabel(parent) {
    setObjectName(name);
    QPixmap pm(13, 13);
    pm.fill(colour);
    {
        QPainter p(&pm);
        p.setPen(colour.darker(160));
        p.drawRect(0, 0, 12, 12);
    }
    setPixmap(pm);
    setFixedSize(13, 13);
}

// ---------------------------------------------------------------- StatusBar

StatusBar::StatusBar(const QString& name, const QList<int>& widths, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    auto* lay = new QHBoxLayout(this);
    lay->setContentsMargins(0, 1, 0, 1);
    lay->setSpacing(2);
    for (int i = 0; i < widths.size(); ++i) {
        auto* l = new QLabel(this);
        l->setObjectName(name + QStringLiteral("_panel") + QString::number(i));
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setFixedWidth(widths[i]);
        panels_ << l;
        lay->addWidget(l);
    }
    lay->addStretch(1);
}

QString StatusBar::panelText(int index) const {
    QLabel* l = panels_.value(index);
    return l ? l->text() : QString();
}

void StatusBar::setPanelText(int index, const QString& text) {
    if (QLabel* l = panels_.value(index)) l->setText(text);
}

// ---------------------------------------------------------------- helpers

QLabel* makeLabel(const QString& name, const QString& text, QWidget* parent, int x, int y, int w, int h) {
    auto* l = new QLabel(text, parent);
    if (!name.isEmpty()) l->setObjectName(name);
    if (w < 0 || h < 0) {
        l->adjustSize();
        l->move(x, y);
    } else {
        l->setGeometry(x, y, w, h);
    }
    return l;
}
