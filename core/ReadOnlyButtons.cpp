#include "core/ReadOnlyButtons.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QRadioButton>
#include <QVariant>

namespace answers {

namespace {

// The keys a button acts on: Space and Select press it, the arrows move to
// (and, in a group of radio buttons, check) the next button.
bool buttonKey(const QEvent* event) {
    switch (static_cast<const QKeyEvent*>(event)->key()) {
    case Qt::Key_Space:
    case Qt::Key_Select:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
        return true;
    default:
        return false;
    }
}

class ReadOnlyFilter : public QObject {
  public:
    explicit ReadOnlyFilter(QAbstractButton* button) : QObject(button) { button->installEventFilter(this); }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Shortcut: // a mnemonic of the caption
            return true;
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            return buttonKey(event); // Tab and the rest go on as usual
        default:
            return false;
        }
    }
};

} // namespace

void makeReadOnly(QAbstractButton* button) {
    static const char* const kMarked = "readOnlyButton";
    if (button == nullptr || button->property(kMarked).toBool())
        return;
    button->setProperty(kMarked, true);
    new ReadOnlyFilter(button);
    // Reached by Tab (the keyboard's way to a value's bytes), never by a click.
    if (button->focusPolicy() != Qt::NoFocus)
        button->setFocusPolicy(Qt::TabFocus);
}

void makeCheckButtonsReadOnly(QWidget* page) {
    if (page == nullptr)
        return;
    for (QCheckBox* b : page->findChildren<QCheckBox*>())
        makeReadOnly(b);
    for (QRadioButton* b : page->findChildren<QRadioButton*>())
        makeReadOnly(b);
}

} // namespace answers
