#include "answers/PaperRollView.h"

#include "answers/PaperRollModel.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>

#include <algorithm>

namespace {
constexpr int kMargin = 10; // paper left and right of the 32 columns
}

PaperRollView::PaperRollView(QWidget* parent) : ReturnBufferView(parent) {
    QFont mono(QStringLiteral("Courier New"));
    mono.setPixelSize(13);
    mono.setStyleHint(QFont::TypeWriter);
    setFont(mono);
    paperWidth_ = fontMetrics().horizontalAdvance(QString(PaperRollModel::kPaperColumns, QLatin1Char('0'))) +
                  2 * kMargin;
    setRowHeight(16);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, tableColour());
    colours.setColor(QPalette::Text, QColor(0x20, 0x20, 0x20));
    colours.setColor(QPalette::Highlight, QColor(0xFF, 0xE0, 0x70));
    colours.setColor(QPalette::HighlightedText, QColor(0x20, 0x20, 0x20));
    setPalette(colours);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int value) { following_ = value >= verticalScrollBar()->maximum(); });
}

void PaperRollView::setModel(QAbstractItemModel* m) {
    ReturnBufferView::setModel(m);
    if (m) {
        connect(m, &QAbstractItemModel::rowsRemoved, this, [this] {
            updateGeometries();
            viewport()->update();
        });
        connect(m, &QAbstractItemModel::modelReset, this, [this] {
            following_ = true;
            updateGeometries();
            viewport()->update();
        });
    }
}

void PaperRollView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        paperWidth_ =
            fontMetrics().horizontalAdvance(QString(PaperRollModel::kPaperColumns, QLatin1Char('0'))) +
            2 * kMargin;
    ReturnBufferView::changeEvent(event);
}

int PaperRollView::stripLeft() const {
    return std::max(0, (viewport()->width() - paperWidth()) / 2) - horizontalScrollBar()->value();
}

void PaperRollView::updateGeometries() {
    const bool follow = following_;
    ReturnBufferView::updateGeometries();
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(0, paperWidth() - viewport()->width()));
    if (follow)
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    following_ = follow;
}

void PaperRollView::rowsInserted(const QModelIndex& parent, int start, int end) {
    ReturnBufferView::rowsInserted(parent, start, end); // updateGeometries follows the printing
}

void PaperRollView::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    p.fillRect(event->rect(), tableColour());
    if (!model())
        return;
    const int rowH = rowHeight();
    const int top = verticalScrollBar()->value();
    const int first = top + event->rect().top() / rowH;
    const int last = std::min(model()->rowCount(rootIndex()) - 1, top + event->rect().bottom() / rowH);
    const int left = stripLeft();
    const int width = paperWidth();
    const int current = currentIndex().isValid() ? currentIndex().row() : -1;
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = model()->index(row, 0, rootIndex());
        const QRect r(left, (row - top) * rowH, width, rowH);
        const auto kind = static_cast<PaperRollModel::Kind>(index.data(PaperRollModel::KindRole).toInt());
        if (kind == PaperRollModel::Kind::Tear) {
            // the torn edges: the end of one document and the start of the next
            QPainterPath teeth;
            const int mid = r.center().y();
            teeth.moveTo(r.left(), r.top());
            for (int x = r.left(), i = 0; x <= r.right(); x += 6, ++i)
                teeth.lineTo(x, i % 2 ? mid - 3 : mid - 1);
            teeth.lineTo(r.right(), r.top());
            teeth.closeSubpath();
            QPainterPath next;
            next.moveTo(r.left(), r.bottom() + 1);
            for (int x = r.left(), i = 0; x <= r.right(); x += 6, ++i)
                next.lineTo(x, i % 2 ? mid + 3 : mid + 1);
            next.lineTo(r.right(), r.bottom() + 1);
            next.closeSubpath();
            p.setRenderHint(QPainter::Antialiasing, true);
            p.fillPath(teeth, paperColour());
            p.fillPath(next, paperColour());
            p.setRenderHint(QPainter::Antialiasing, false);
            continue;
        }
        const bool selected = row == current || (selectionModel() && selectionModel()->isSelected(index));
        p.fillRect(r, selected ? palette().color(QPalette::Highlight) : paperColour());
        p.setPen(kind == PaperRollModel::Kind::Interrupted ? QColor(0xB0, 0x10, 0x10)
                                                           : palette().color(QPalette::Text));
        p.drawText(r.adjusted(kMargin, 0, -kMargin, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   index.data().toString());
    }
}
