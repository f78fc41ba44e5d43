#include "core/Page.h"

Page::Page(ConsoleContext& ctx, PageId id, const QString& pageName, QWidget* parent)
    : QWidget(parent), ctx_(ctx), id_(id), pageName_(pageName) {
    setObjectName(QStringLiteral("page%1").arg(pageNumber(id)));
    setAccessibleName(pageName);
}

QPushButton* Page::makeButton(const char* objectName, const QString& caption, int x, int y, int w, int h,
                              QWidget* parent) {
    auto* b = make<QPushButton>(objectName, x, y, w, h, parent);
    b->setText(caption);
    return b;
}

QPushButton* Page::makeBackButton(const char* objectName, const QString& caption, int x, int y, PageId target,
                                  QWidget* parent) {
    auto* b = makeButton(objectName, caption, x, y, 135, 25, parent);
    onClick(b, [this, target] { ctx_.nav.show(target); });
    return b;
}

void Page::onClick(QAbstractButton* button, std::function<void()> handler) {
    if (!button)
        return;
    connect(button, &QAbstractButton::clicked, this, [this, h = std::move(handler)] { ctx_.guard(h); });
}
