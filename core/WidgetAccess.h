#pragma once
// Small helpers the answer pages use to put decoded values into controls found
// by object name anywhere in the window; a control that does not exist is
// skipped silently (the pages of other commands may not carry it).

#include "core/ConsoleContext.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QLabel>
#include <QRadioButton>
#include <QTableWidget>

namespace answers {

inline void setLabelText(QLabel* label, const QString& text) {
    if (label)
        label->setText(text);
}

// A label of `page` (the page's own controls only) by object name.
inline void setLabelText(const QWidget* page, const QString& name, const QString& text) {
    setLabelText(page->findChild<QLabel*>(name), text);
}

// Checks or clears a check box or radio button; a radio button may be cleared
// even when it is the checked one of its group (so a group can end up empty).
inline void setButtonChecked(QAbstractButton* b, bool checked) {
    if (!b)
        return;
    if (checked) { // an exclusive group clears its other buttons
        b->setChecked(true);
        return;
    }
    const bool exclusive = b->autoExclusive();
    b->setAutoExclusive(false);
    b->setChecked(checked);
    b->setAutoExclusive(exclusive);
}

inline void setButtonChecked(const QWidget* page, const QString& name, bool checked) {
    setButtonChecked(page->findChild<QAbstractButton*>(name), checked);
}

// The grids' column width unit: the width of "W" in the grid's font; a column
// n characters wide is unit * n + 2 pixels.
inline int gridColumnWidth(const QWidget* grid, int characters) {
    return QFontMetrics(grid->font()).horizontalAdvance(QLatin1Char('W')) * characters + 2;
}

// A label showing its text as plain text.
inline QLabel* plainLabel(QLabel* l, const QString& text) {
    l->setTextFormat(Qt::PlainText);
    l->setText(text);
    return l;
}

// Rebuilds a small grid: header row, then one row per record, column widths in characters.
inline void FillUploadGrid(QTableWidget* grid, const QStringList& headers, const QList<int>& widths,
                           const QList<QStringList>& rows) {
    if (!grid)
        return;
    grid->clear();
    grid->setRowCount(0);
    grid->setColumnCount(static_cast<int>(headers.size()));
    grid->setHorizontalHeaderLabels(headers);
    for (int c = 0; c < widths.size() && c < headers.size(); ++c)
        grid->setColumnWidth(c, gridColumnWidth(grid, widths.at(c)));
    for (const QStringList& cells : rows) {
        const int r = grid->rowCount();
        grid->setRowCount(r + 1);
        for (int c = 0; c < cells.size() && c < headers.size(); ++c)
            grid->setItem(r, c, new QTableWidgetItem(cells.at(c)));
    }
}

} // namespace answers
