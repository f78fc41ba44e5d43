#pragma once
// Check boxes and radio buttons that show a value the printer answered: they
// look as any other (not greyed), keep their names and captions and follow
// what the program sets, but a click or a key changes nothing. A press of the
// mouse still reaches the button's other event filters (answers::linkFields
// marks the value's bytes in the Return Buffer), and Tab still reaches it; a
// click gives it no focus.
//
// Call these before answers::linkFields on the same controls: an event filter
// installed later sees an event first, and the one these install eats it.

class QAbstractButton;
class QWidget;

namespace answers {

// Makes one button read-only for the mouse and the keyboard; null is skipped.
void makeReadOnly(QAbstractButton* button);

// Makes every check box and radio button of `page` read-only (push buttons stay as they are).
void makeCheckButtonsReadOnly(QWidget* page);

} // namespace answers
