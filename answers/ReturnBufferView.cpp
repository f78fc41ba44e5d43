#include "answers/ReturnBufferView.h"

#include "core/HexDump.h"
#include "core/ReturnBufferModel.h"

#include <QAbstractItemDelegate>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>

namespace {

// One line: the row's background when it is selected or current, the text,
// and the bytes the model highlights (HighlightRole) in both columns, in the
// list's colours swapped.
class LineDelegate : public QAbstractItemDelegate {
  public:
    using QAbstractItemDelegate::QAbstractItemDelegate;

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QPalette& pal = option.palette;
        const bool selected = option.state & QStyle::State_Selected;
        if (selected)
            p->fillRect(option.rect, pal.color(QPalette::Highlight));
        p->setPen(pal.color(selected ? QPalette::HighlightedText : QPalette::Text));
        const QString text = index.data().toString();
        const QRect textRect = option.rect.adjusted(ReturnBufferView::kTextMargin, 0, 0, 0);
        constexpr int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
        p->drawText(textRect, flags, text);
        const QVariant highlight = index.data(ReturnBufferModel::HighlightRole);
        if (!highlight.isValid())
            return;
        const QFontMetricsF metrics(option.font);
        const auto x = [&](int column) {
            return textRect.left() + metrics.horizontalAdvance(text.left(column));
        };
        p->save();
        p->setPen(pal.color(QPalette::Base));
        for (const ReturnBufferModel::ByteRun& run : highlight.value<ReturnBufferModel::ByteRuns>()) {
            const int last = run.first + run.count - 1;
            // the hexadecimal pairs with the blanks between them, then the characters
            const std::pair<int, int> columns[] = {
                {hexdump::hexColumn(run.first), hexdump::hexColumn(last) + 2},
                {hexdump::charColumn(run.first), hexdump::charColumn(last) + 1}};
            for (const auto& [from, to] : columns) {
                const QRectF r(QPointF(x(from), option.rect.top()), QPointF(x(to), option.rect.bottom() + 1));
                p->setClipRect(r);
                p->fillRect(r, pal.color(QPalette::Text));
                p->drawText(textRect, flags, text);
            }
        }
        p->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return QSize(0, option.fontMetrics.height());
    }
};

} // namespace

ReturnBufferView::ReturnBufferView(QWidget* parent) : QAbstractItemView(parent) {
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerItem);
    setAutoScroll(false);
    setItemDelegate(new LineDelegate(this));
    viewport()->setMouseTracking(true);
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

QString ReturnBufferView::selectedText() const {
    if (!model())
        return QString();
    QList<int> rows;
    if (selectionModel())
        for (const QModelIndex& i : selectionModel()->selectedRows())
            rows << i.row();
    if (rows.isEmpty() && currentIndex().isValid())
        rows << currentIndex().row();
    std::sort(rows.begin(), rows.end());
    QString text;
    for (const int row : rows)
        text += model()->index(row, 0, rootIndex()).data().toString() + QLatin1Char('\n');
    return text;
}

void ReturnBufferView::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Copy) { // every selected line, not only the current one
        QApplication::clipboard()->setText(selectedText());
        event->accept();
        return;
    }
    QAbstractItemView::keyPressEvent(event);
}

// Every line the rectangle touches (a drag, or Shift with a click or a key).
void ReturnBufferView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags flags) {
    if (!model() || rowCount() == 0)
        return;
    const QRect r = rect.normalized();
    const int top = std::clamp(verticalScrollBar()->value() + r.top() / rowHeight_, 0, rowCount() - 1);
    const int bottom = std::clamp(verticalScrollBar()->value() + r.bottom() / rowHeight_, 0, rowCount() - 1);
    selectionModel()->select(
        QItemSelection(model()->index(top, 0, rootIndex()), model()->index(bottom, 0, rootIndex())), flags);
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
    p.fillRect(event->rect(), palette().color(QPalette::Base));
    if (!model())
        return;
    const int first = verticalScrollBar()->value() + event->rect().top() / rowHeight_;
    const int last =
        std::min(rowCount() - 1, verticalScrollBar()->value() + event->rect().bottom() / rowHeight_);
    const int current = currentIndex().isValid() ? currentIndex().row() : -1;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QStyle::State state = option.state;
    QAbstractItemDelegate* delegate = itemDelegate();
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = model()->index(row, 0, rootIndex());
        option.rect = visualRect(index);
        option.state = state;
        if (row == current || (selectionModel() && selectionModel()->isSelected(index)))
            option.state |= QStyle::State_Selected;
        delegate->paint(&p, option, index);
    }
}

void ReturnBufferView::updateGeometries() {
    const QString widest(hexdump::kMaxLineLength, QLatin1Char('0'));
    lineWidth_ = fontMetrics().horizontalAdvance(widest) + 2 * kTextMargin;
    charWidth_ = QFontMetricsF(font()).horizontalAdvance(widest) / hexdump::kMaxLineLength;
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

// ---- pointing at a byte ----

int ReturnBufferView::byteAt(int x) const {
    const qreal text = x - (kTextMargin - horizontalScrollBar()->value());
    if (text < 0 || charWidth_ <= 0)
        return -1;
    return hexdump::byteAtColumn(static_cast<int>(text / charWidth_));
}

void ReturnBufferView::point(const QPoint& pos) {
    auto* buffer = qobject_cast<ReturnBufferModel*>(model());
    if (!buffer)
        return;
    const QModelIndex index = viewport()->rect().contains(pos) ? indexAt(pos) : QModelIndex();
    buffer->setPointedByte(index.isValid() ? index.row() : -1, byteAt(pos.x()));
}

void ReturnBufferView::showToolTip(const QPoint& pos, const QPoint& globalPos) {
    const QModelIndex index = indexAt(pos);
    const QString text = index.isValid() ? index.data(Qt::ToolTipRole).toString() : QString();
    if (text.isEmpty()) {
        QToolTip::hideText();
        return;
    }
    // The answer's bytes are shown as they are, never read as markup.
    QToolTip::showText(
        globalPos, QStringLiteral("<p style='white-space:pre'>%1</p>").arg(text.toHtmlEscaped()), viewport());
}

void ReturnBufferView::mouseMoveEvent(QMouseEvent* event) {
    QAbstractItemView::mouseMoveEvent(event);
    const QPoint pos = event->position().toPoint();
    point(pos);
    if (QToolTip::isVisible()) // follow the pointer from field to field
        showToolTip(pos, event->globalPosition().toPoint());
}

bool ReturnBufferView::viewportEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::ToolTip: {
        const auto* help = static_cast<QHelpEvent*>(event);
        point(help->pos());
        showToolTip(help->pos(), help->globalPos());
        return true;
    }
    case QEvent::Leave:
        point(QPoint(-1, -1));
        break;
    default:
        break;
    }
    return QAbstractItemView::viewportEvent(event);
}

void ReturnBufferView::scrollContentsBy(int dx, int dy) {
    QAbstractItemView::scrollContentsBy(dx, dy);
    // The lines moved under a resting pointer: it points at another byte now.
    if (viewport()->underMouse())
        point(viewport()->mapFromGlobal(QCursor::pos()));
}
