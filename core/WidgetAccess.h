#pragma once
// Small helpers the answer pages use to put decoded values into controls found
// by object name anywhere in the window; a control that does not exist is
// skipped silently (the pages of other commands may not carry it).

#include "core/ConsoleContext.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QLabel>
#include <QRadioButton>

namespace answers {

inline void setLabelText(const ConsoleContext& ctx, const QString& name, const QString& text) {
    if (auto* l = ctx.find<QLabel>(name))
        l->setText(text);
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

inline void setButtonChecked(const ConsoleContext& ctx, const QString& name, bool checked) {
    setButtonChecked(ctx.find<QAbstractButton>(name), checked);
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

} // namespace answers
