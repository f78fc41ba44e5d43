#pragma once
// Which bytes of an answer a page's control shows. Each answer page declares a
// table, one row per control: its object name and the catalogue field (or run
// of fields) whose decoded value it shows. Selecting the control (a click, or
// the keyboard's focus) highlights those bytes in the most recent answer of
// that layout in the Return Buffer and scrolls the list to them.

#include "protocol/Layouts.h"

#include <functional>
#include <span>

class ConsoleContext;
class QTableWidget;
class QWidget;

namespace answers {

struct FieldLink {
    const char* control;          // the control's object name on its page
    protocol::Field field;        // the field whose value it shows
    protocol::Field through = {}; // the last of a run of fields it joins (a date); width 0: none
    constexpr int from() const { return field.offset; }
    constexpr int to() const { return through.width > 0 ? through.end() : field.end(); }
};

// A grid of records: row r shows record r, column c the record's field columns[c].
struct GridLink {
    const protocol::Layout* layout;
    std::span<const protocol::Field> columns;
};

// Highlights bytes [from, to) of the most recent answer of `layout` in the
// Return Buffer, makes its first line current and scrolls the list to it;
// false when the buffer holds no such answer.
bool showAnswerBytes(ConsoleContext& ctx, const protocol::Layout& layout, int from, int to);

// Watches the page's controls named in `links` (a control that is not there is
// skipped) and shows the field of the one the user selects.
void linkFields(ConsoleContext& ctx, QWidget* page, const protocol::Layout& layout,
                std::span<const FieldLink> links);

// Watches a grid of records: selecting a cell shows its field in the answer of
// the grid link `shown` gives (none while it gives null).
void linkGrid(ConsoleContext& ctx, QTableWidget* grid, std::function<const GridLink*()> shown);

} // namespace answers
