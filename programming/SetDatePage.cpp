#include "programming/SetDatePage.h"

#include "core/ProgrammingWidgets.h"

#include <QLabel>

SetDatePage::SetDatePage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::SetDate, QStringLiteral("SetDate"), parent) {
    auto row = [this](const char* labelName, const QString& caption, const char* name, int y, int min,
                      int max, int maxLength) {
        make<QLabel>(labelName, 40, y + 3, 80, 17)->setText(caption);
        auto* se = make<prog::SpinEdit>(name, 130, y, 70, 24);
        se->setup(min, max, maxLength, 1);
        return se;
    };
    YearSE = row("Label4", QStringLiteral("Year:"), "YearSE", 30, 0, 99, 4);
    MonthSE = row("Label5", QStringLiteral("Month:"), "MonthSE", 70, 1, 12, 2);
    DaySE = row("Label6", QStringLiteral("Day:"), "DaySE", 110, 1, 31, 2);
    onClick(makeButton("SetDateBtn1", QStringLiteral("Set Date"), 40, 160), [this] { SetDateBtn1Click(); });
    makeBackButton("BackBtn1");
}

void SetDatePage::attach() {
    onMenu(MenuCommand::SetDate, [this] { bbtnSetDateClick(); });
}

void SetDatePage::fillFrom(const QDate& date) {
    YearSE->setValue(date.year() % 100);
    MonthSE->setValue(date.month());
    DaySE->setValue(date.day());
}

void SetDatePage::bbtnSetDateClick() {
    fillFrom(QDate::currentDate());
    ctx_.nav.show(PageId::SetDate);
}

void SetDatePage::SetDateBtn1Click() {
    const auto answer = ctx_.frame.run(protocol::cmd::cmSetDate,
                                       [this] {
                                           return dev::Args{dev::Arg::integer(DaySE->current()),
                                                            dev::Arg::integer(MonthSE->current()),
                                                            dev::Arg::integer(YearSE->current())};
                                       },
                                       {.showCode = false});
    if (answer)
        ctx_.nav.show(PageId::Menu);
}
