#pragma once
// After a command that closes a document ended in Status -3 (Time Out), the
// answer may have been lost after the printer did the command. The console
// then reads the software status, and this decides from it whether the
// document is recorded, so the operator neither prints it twice nor gives up
// on one the printer never had.
//
// The rule, per command (code):
// - payment (34), package payment (42, 46), receipt close (37): no receipt
//   open -> the receipt numbered one below the next receipt number is recorded,
//   do not repeat it (unless the last software status seen before the command
//   had the same next number, or the next is the first: then nothing was open
//   and nothing recorded); the
//   receipt open with no payment started -> not recorded, repeat the command;
//   open with a payment started -> a part payment was recorded when the last
//   status seen before had none on the same receipt, else the paper tells;
// - receipt cancel (36): no receipt open -> cancelled; open -> not cancelled;
// - Z report (61): no sales left in the day (ZReportNeeded 0) -> the day is
//   closed, do not repeat it; sales left -> not recorded, it may be repeated.
// The texts are the language library's 19120 onwards, with English fallbacks.

#include <QByteArray>
#include <QString>

#include <functional>
#include <string_view>

namespace lostanswer {

// True for the codes above: a -3 on them gets a note.
bool closesDocument(std::string_view code);

// The note for a -3 on `code`, from the software status read afterwards
// (`status`, the answer's bytes; empty or short when that read failed too) and
// the last software status the console saw before the command (`before`, may
// be empty). `local` gives the language library's text by id, or an empty
// text. Never reads past either buffer.
QString noteText(std::string_view code, const QByteArray& status, const QByteArray& before,
                 const std::function<QString(int)>& local);

} // namespace lostanswer
