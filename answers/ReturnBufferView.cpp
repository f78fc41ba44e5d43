#include "answers/ReturnBufferView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

ReturnBufferView::ReturnBufferView(QWidget* parent) : QAbstractItemView(parent) {
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerItem);
    setAutoScroll(false);
}

void ReturnBufferView::setRowHeight(int pixels) {
    rowHeight_ = std::max(1, pixels);
    updateGeometries();
    viewport()->update();
}

int ReturnBufferView::rowCount() const {
    return model() ? model()->rowCount(rootIndex()) : 0;
}

int ReturnBufferView::visibleRows() const {
    return std::max(1, viewport()->height() / rowHeight_);
}

QRect ReturnBufferView::visualRect(const QModelIndex& index) const {
    if (!index.isValid())
        return QRect();
    const int y = (index.row() - verticalScrollBar()->value()) * rowHeight_;
    return QRect(-horizontalScrollBar()->value(), y, std::max(lineWidth_, viewport()->width()), rowHeight_);
}

void ReturnBufferView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!index.isValid())
        return;
    QScrollBar* bar = verticalScrollBar();
    const int row = index.row();
    const int top = bar->value();
    const int shown = visibleRows();
    if (hint == PositionAtTop || (hint == EnsureVisible && row < top))
        bar->setValue(row);
    else if (hint == PositionAtBottom || (hint == EnsureVisible && row >= top + shown))
        bar->setValue(row - shown + 1);
    else if (hint == PositionAtCenter)
        bar->setValue(row - shown / 2);
    viewport()->update();
}

QModelIndex ReturnBufferView::indexAt(const QPoint& point) const {
    if (!model())
        return QModelIndex();
    const int row = verticalScrollBar()->value() + point.y() / rowHeight_;
    return row >= 0 && row < rowCount() ? model()->index(row, 0, rootIndex()) : QModelIndex();
}

QModelIndex ReturnBufferView::moveCursor(CursorAction action, Qt::KeyboardModifiers) {
    if (!model() || rowCount() == 0)
        return QModelIndex();
    int row = currentIndex().isValid() ? currentIndex().row() : 0;
    switch (action) {
    case MoveUp:
    case MovePrevious:
        --row;
        break;
    case MoveDown:
    case MoveNext:
        ++row;
        break;
    case MovePageUp:
        row -= visibleRows();
        break;
    case MovePageDown:
        row += visibleRows();
        break;
    case MoveHome:
        row = 0;
        break;
    case MoveEnd:
        row = rowCount() - 1;
        break;
    default:
        break;
    }
    return model()->index(std::clamp(row, 0, rowCount() - 1), 0, rootIndex());
}

int ReturnBufferView::horizontalOffset() const {
    return horizontalScrollBar()->value();
}
int ReturnBufferView::verticalOffset() const {
    return verticalScrollBar()->value() * rowHeight_;
}
bool ReturnBufferView::isIndexHidden(const QModelIndex&) const {
    return false;
}

void ReturnBufferView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags flags) {
    const QModelIndex index = indexAt(rect.center());
    if (index.isValid())
        selectionModel()->select(index, flags);
}

QRegion ReturnBufferView::visualRegionForSelection(const QItemSelection& selection) const {
    QRegion region;
    for (const QItemSelectionRange& range : selection)
        for (int row = range.top(); row <= range.bottom(); ++row)
            region += visualRect(model()->index(row, 0, rootIndex()));
    return region;
}

void ReturnBufferView::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    const QPalette& pal = palette();
    p.fillRect(event->rect(), pal.color(QPalette::Base));
    if (!model())
        return;
    const int first = verticalScrollBar()->value() + event->rect().top() / rowHeight_;
    const int last =
        std::min(rowCount() - 1, verticalScrollBar()->value() + event->rect().bottom() / rowHeight_);
    const int current = currentIndex().isValid() ? currentIndex().row() : -1;
    const int x = 2 - horizontalScrollBar()->value();
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = model()->index(row, 0, rootIndex());
        const QRect r = visualRect(index);
        const bool selected = selectionModel() && selectionModel()->isSelected(index);
        if (selected || row == current) {
            p.fillRect(r, pal.color(QPalette::Highlight));
            p.setPen(pal.color(QPalette::HighlightedText));
        } else {
            p.setPen(pal.color(QPalette::Text));
        }
        p.drawText(QRect(x, r.top(), r.width(), r.height()),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, index.data().toString());
    }
}

void ReturnBufferView::updateGeometries() {
    lineWidth_ = fontMetrics().horizontalAdvance(QString(66, QLatin1Char('0'))) + 4;
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, std::max(0, rowCount() - visibleRows()));
    v->setPageStep(visibleRows());
    v->setSingleStep(1);
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(0, lineWidth_ - viewport()->width()));
    h->setPageStep(viewport()->width());
    QAbstractItemView::updateGeometries();
}

void ReturnBufferView::rowsInserted(const QModelIndex& parent, int start, int end) {
    QAbstractItemView::rowsInserted(parent, start, end);
    updateGeometries();
    viewport()->update();
}

void ReturnBufferView::resizeEvent(QResizeEvent* event) {
    QAbstractItemView::resizeEvent(event);
    updateGeometries();
}
