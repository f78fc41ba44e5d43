#pragma once
// One page of the notebook: its controls (each with its object name) and their
// handlers. Pages are placed at fixed pixel positions, like the rest of the window.

#include "core/ConsoleContext.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QWidget>

#include <functional>

class Page : public QWidget {
    Q_OBJECT
  public:
    Page(ConsoleContext& ctx, PageId id, const QString& pageName, QWidget* parent = nullptr);

    PageId id() const { return id_; }
    int number() const { return pageNumber(id_); }
    QString pageName() const { return pageName_; }

    // Runs once every page and the menu exist: connect menu buttons found by
    // name, register answer decoders.
    virtual void attach() {}
    // Runs once when the main window is first shown.
    virtual void formShow() {}

  protected:
    // A child control with its object name, at a fixed position.
    template <typename T>
    T* make(const char* objectName, int x, int y, int w, int h, QWidget* parent = nullptr) {
        T* c = new T(parent ? parent : this);
        c->setObjectName(QString::fromLatin1(objectName));
        c->setGeometry(x, y, w, h);
        return c;
    }
    QPushButton* makeButton(const char* objectName, const QString& caption, int x, int y, int w = 135,
                            int h = 25, QWidget* parent = nullptr);
    // A "Back To Menu" style button that shows the given page.
    QPushButton* makeBackButton(const char* objectName,
                                const QString& caption = QStringLiteral("Back To Menu"), int x = 610,
                                int y = 240, PageId target = PageId::Menu, QWidget* parent = nullptr);
    // Connects a click to a handler run under the console's error guard.
    void onClick(QAbstractButton* button, std::function<void()> handler);
    // The same for the menu page's button of that command.
    void onMenu(MenuCommand command, std::function<void()> handler) {
        onClick(ctx_.menu.button(command), std::move(handler));
    }
    // A control of this page by object name; may be null.
    template <typename T = QPushButton> T* find(const QString& name) const { return findChild<T*>(name); }

    ConsoleContext& ctx_;

  private:
    PageId id_;
    QString pageName_;
};

// Pages 17, 20 and 31: no control leads there; they keep their number and name.
class BlankPage : public Page {
    Q_OBJECT
  public:
    using Page::Page;
};
