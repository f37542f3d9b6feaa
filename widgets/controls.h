#pragma once
// Small widgets that give the windows the controls they are drawn with:
// a radio group with an item index, a string grid addressed by (column, row),
// a lamp, a status bar with panels. Each keeps the control's name as objectName.
#include "app/gridnavigation.h"

#include <functional>
#include <QColor>
#include <QGroupBox>
#include <QLabel>
#include <QStringList>
#include <QTableWidget>

class QRadioButton;
class QButtonGroup;

// A group of radio buttons with one item index (-1: none chosen).
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& name, const QString& caption, const QStringList& items, QWidget* parent);
    int itemIndex() const;
    // An index beyond the last item selects the last item; a negative one clears the choice.
    void setItemIndex(int index);
    int count() const;
    QRadioButton* button(int index) const;
signals:
    // Sent when the user picks an item (not when the index is set in code).
    void clicked(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutButtons();
    QButtonGroup* group_;
    QList<QRadioButton*> buttons_;
};

// A grid of text cells addressed as (column, row), as the setpoint table and
// the fault log use it. Keys typed into a cell, and into its in-place editor,
// pass through keyFilter first; it may replace the key by none (returns false).
class StringGrid : public QTableWidget {
    Q_OBJECT
public:
    StringGrid(const QString& name, int columns, int rows, QWidget* parent);
    QString cell(int column, int row) const;
    void setCell(int column, int row, const QString& text);
    // Columns left of fixedColumns and rows above fixedRows can be neither selected nor edited.
    void setFixed(int fixedColumns, int fixedRows);
    void setEditable(bool editable);
    int currentColumn() const { return QTableWidget::currentColumn(); }
    int currentRowIndex() const { return QTableWidget::currentRow(); }

    // Decides on one typed character; false drops it.
    std::function<bool(QChar key)> keyFilter;
    // Decides whether a cell may be selected; false keeps the old selection.
    std::function<bool(int column, int row)> selectFilter;
    // Cells that can never be chosen: an arrow key (and PgUp, PgDn, Tab)
    // passes over them to the next cell beyond, without asking selectFilter.
    std::function<bool(int column, int row)> passOver;

    // Runs a character through the filter and, when accepted, into the cell's
    // editor (what typing does); used by the editor and by tests.
    bool typeKey(QChar key);

    // Commits the text of an open in-place editor to its cell and closes the
    // editor, as Enter does; false when no editor was open.
    bool commitOpenEditor();
    // Marks a cell with a background colour (an invalid colour gives the
    // cell its normal background back) and a tooltip (empty: none).
    void setCellMark(int column, int row, const QColor& background, const QString& toolTip);
    QColor cellBackground(int column, int row) const;
    QString cellToolTip(int column, int row) const;
    // Whether a cell's text is wider than its column shows; such a cell shows
    // its whole text as a tooltip.
    bool cellTextCut(int column, int row) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void keyboardSearch(const QString&) override {} // typing never jumps to a matching cell
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    gridnav::Cell passOverCells(gridnav::Cell to, gridnav::Move move, const gridnav::Shape& shape) const;
    void applyFlags(int column, int row);
    bool mayUse(const QModelIndex& index) const;
    int fixedColumns_ = 0;
    int fixedRows_ = 0;
    bool editable_ = false;
    friend class StringGridDelegate;
};

// A lamp: a small square of plain colour that is shown or hidden.
class Lamp : public QLabel {
    Q_OBJECT
public:
    Lamp(const QString& name, const QColor& colour, QWidget* parent);
};

// A status bar with fixed-width panels; panel texts are plain labels.
class StatusBar : public QWidget {
    Q_OBJECT
public:
    StatusBar(const QString& name, const QList<int>& widths, QWidget* parent);
    QLabel* panel(int index) const { return panels_.value(index); }
    QString panelText(int index) const;
    void setPanelText(int index, const QString& text);

private:
    QList<QLabel*> panels_;
};

// A label with a name, text and geometry, the way the windows are laid out.
QLabel* makeLabel(const QString& name, const QString& text, QWidget* parent, int x, int y, int w = -1,
                  int h = -1);
