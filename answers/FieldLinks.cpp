#include "answers/FieldLinks.h"

#include "core/ConsoleContext.h"
#include "core/ReturnBufferModel.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QFocusEvent>
#include <QTableWidget>
#include <QWidget>

#include <utility>
#include <vector>

namespace answers {

namespace {

// Only what the user does selects a control: a press of a mouse button, or
// focus brought by the keyboard (a page shown or a window activated does not).
bool selectedByUser(const QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress)
        return true;
    if (event->type() != QEvent::FocusIn)
        return false;
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
           reason == Qt::ShortcutFocusReason;
}

class FieldLinkFilter : public QObject {
  public:
    FieldLinkFilter(ConsoleContext& ctx, QWidget* page, const protocol::Layout& layout,
                    std::span<const FieldLink> links)
        : QObject(page), ctx_(ctx), layout_(layout) {
        for (const FieldLink& link : links)
            if (QWidget* w = page->findChild<QWidget*>(QString::fromLatin1(link.control))) {
                w->installEventFilter(this);
                watched_.emplace_back(w, &link);
            }
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (selectedByUser(event))
            for (const auto& [w, link] : watched_)
                if (w == watched) {
                    showAnswerBytes(ctx_, layout_, link->from(), link->to());
                    break;
                }
        return false;
    }

  private:
    ConsoleContext& ctx_;
    const protocol::Layout& layout_;
    std::vector<std::pair<QObject*, const FieldLink*>> watched_;
};

class GridFilter : public QObject {
  public:
    GridFilter(ConsoleContext& ctx, QTableWidget* grid, std::function<const GridLink*()> shown)
        : QObject(grid), ctx_(ctx), grid_(grid), shown_(std::move(shown)) {
        grid->installEventFilter(this);
        connect(grid, &QTableWidget::cellPressed, this, &GridFilter::show);
        connect(grid, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
            if (grid_->hasFocus()) // moved by the keyboard, not by a new answer
                show(row, column);
        });
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusIn && selectedByUser(event))
            show(grid_->currentRow(), grid_->currentColumn());
        return false;
    }

  private:
    void show(int row, int column) {
        const GridLink* link = shown_ ? shown_() : nullptr;
        if (!link || row < 0 || row >= link->layout->records || column < 0 ||
            column >= static_cast<int>(link->columns.size()))
            return;
        const protocol::Field f =
            protocol::recordField(*link->layout, row, link->columns[static_cast<std::size_t>(column)]);
        showAnswerBytes(ctx_, *link->layout, f.offset, f.end());
    }

    ConsoleContext& ctx_;
    QTableWidget* grid_;
    std::function<const GridLink*()> shown_;
};

} // namespace

bool showAnswerBytes(ConsoleContext& ctx, const protocol::Layout& layout, int from, int to) {
    if (!ctx.returnBuffer)
        return false;
    const ReturnBufferModel::Rows rows = ctx.returnBuffer->markBytes(layout, from, to);
    if (rows.first < 0)
        return false;
    if (QAbstractItemView* view = ctx.returnBufferView) {
        // The last line first, then the first: a field longer than the list
        // shows from its beginning.
        view->scrollTo(ctx.returnBuffer->index(rows.last, 0));
        const QModelIndex first = ctx.returnBuffer->index(rows.first, 0);
        view->setCurrentIndex(first);
        view->scrollTo(first);
    }
    return true;
}

void linkFields(ConsoleContext& ctx, QWidget* page, const protocol::Layout& layout,
                std::span<const FieldLink> links) {
    new FieldLinkFilter(ctx, page, layout, links);
}

void linkGrid(ConsoleContext& ctx, QTableWidget* grid, std::function<const GridLink*()> shown) {
    if (grid)
        new GridFilter(ctx, grid, std::move(shown));
}

} // namespace answers
