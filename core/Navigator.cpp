#include "core/Navigator.h"

#include <QStackedWidget>

void Navigator::setStack(QStackedWidget* stack) {
    stack_ = stack;
}

void Navigator::show(PageId page) {
    QWidget* w = this->page(page);
    if (!w)
        return;
    stack_->setCurrentWidget(w);
    emit shown(page);
}

PageId Navigator::current() const {
    const int i = stack_ ? stack_->currentIndex() : -1;
    return i >= 0 && i < kPageCount ? static_cast<PageId>(i) : PageId::Menu;
}

QWidget* Navigator::page(PageId page) const {
    return stack_ ? stack_->widget(pageNumber(page)) : nullptr;
}
