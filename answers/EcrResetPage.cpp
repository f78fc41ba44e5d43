#include "answers/EcrResetPage.h"

#include "core/ProgrammingWidgets.h"
#include "core/WidgetAccess.h"

#include <QLabel>
#include <QSpinBox>

namespace answers {

QString EcrResetQuestion(const QString* localisedWarning) {
    const QString first = localisedWarning
                              ? *localisedWarning
                              : QStringLiteral("This Operation will erase the SRAM in Printer\n\r"
                                               "Are you sure to do this operation?");
    return first + QStringLiteral("UWAGA CZAS ORAZ DATA POBIERANE Z KOMPUTERA");
}

} // namespace answers

namespace {
struct SpinField {
    const char* name;
    const char* label;
    const char* caption;
    int min, max;
};
// In the order of the page; sent as day, month, year, hour, minute, second.
constexpr SpinField kFields[] = {
    {"SpinEdit1", "Label38", "Year", 0, 99},   {"SpinEdit2", "Label46", "Month", 1, 12},
    {"SpinEdit3", "Label52", "Day", 1, 31},    {"SpinEdit4", "Label84", "Hour", 0, 23},
    {"SpinEdit5", "Label88", "Minute", 0, 59}, {"SpinEdit6", "Label112", "Second", 0, 59}};
} // namespace

EcrResetPage::EcrResetPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::EcrReset, QStringLiteral("ECR Reset"), parent) {
    int x = 30;
    for (const SpinField& f : kFields) {
        answers::plainLabel(make<QLabel>(f.label, x, 40, 80, 20), QString::fromLatin1(f.caption));
        // An empty or unreadable field is its minimum, a number out of range the nearer bound.
        auto* spin = make<prog::SpinEdit>(f.name, x, 62, 80, 24);
        spin->setup(f.min, f.max, 9, f.min);
        x += 100;
    }
    onClick(makeButton("Button5", QStringLiteral("ECR Reset"), 30, 110), [this] { Button5Click(); });
    makeBackButton("Button6", QStringLiteral("Back to Menu"));
}

void EcrResetPage::attach() {
    onMenu(MenuCommand::EcrReset, [this] { bbtnTestSramClick(); });
}

void EcrResetPage::fillFrom(const QDateTime& moment) {
    const QDate d = moment.date();
    const QTime t = moment.time();
    const int values[] = {d.year() % 100, d.month(), d.day(), t.hour(), t.minute(), t.second()};
    for (int i = 0; i < 6; ++i)
        find<QSpinBox>(QString::fromLatin1(kFields[i].name))->setValue(values[i]);
}

void EcrResetPage::bbtnTestSramClick() {
    fillFrom(QDateTime::currentDateTime());
    ctx_.nav.show(PageId::EcrReset);
}

void EcrResetPage::Button5Click() {
    // A field left with an unfinished text takes its value as the focus leaves it.
    for (const SpinField& f : kFields)
        if (auto* s = find<QSpinBox>(QString::fromLatin1(f.name)))
            s->interpretText();
    const QString question = answers::EcrResetQuestion(ctx_.locale ? &ctx_.texts.sramEraseWarning : nullptr);
    if (!ctx_.messages.ask(question, ctx_.texts.confirmationCaption, IMessageService::Icon::Question))
        return;
    const auto value = [this](int i) {
        return dev::Arg::integer(find<QSpinBox>(QString::fromLatin1(kFields[i].name))->value());
    };
    ctx_.frame.run(protocol::cmd::cmSRAMErase,
                   [&] { return dev::Args{value(2), value(1), value(0), value(3), value(4), value(5)}; });
}
