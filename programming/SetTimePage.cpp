#include "programming/SetTimePage.h"

#include "core/ProgrammingWidgets.h"

#include <QLabel>

SetTimePage::SetTimePage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::SetTime, QStringLiteral("SetTime"), parent) {
    auto row = [this](const char* labelName, const QString& caption, const char* name, int y, int max) {
        make<QLabel>(labelName, 40, y + 3, 80, 17)->setText(caption);
        auto* se = make<prog::SpinEdit>(name, 130, y, 70, 24);
        se->setup(0, max, 2, 1);
        return se;
    };
    HourSE = row("Label7", QStringLiteral("Hour:"), "HourSE", 30, 23);
    MinuteSE = row("Label8", QStringLiteral("Minute:"), "MinuteSE", 70, 59);
    SecondSE = row("Label9", QStringLiteral("Second:"), "SecondSE", 110, 59);
    onClick(makeButton("SetTimeBtn1", QStringLiteral("Set Time"), 40, 160), [this] { SetTimeBtn1Click(); });
    makeBackButton("BackBtn2")->setVisible(false); // the only way back is a successful "Set Time"
}

void SetTimePage::attach() {
    onMenu(MenuCommand::SetTime, [this] { bbtnSetTimeClick(); });
}

void SetTimePage::fillFrom(const QTime& time) {
    HourSE->setValue(time.hour());
    MinuteSE->setValue(time.minute());
    SecondSE->setValue(time.second());
}

void SetTimePage::bbtnSetTimeClick() {
    fillFrom(QTime::currentTime());
    ctx_.nav.show(PageId::SetTime);
}

void SetTimePage::SetTimeBtn1Click() {
    const auto answer = ctx_.frame.run(protocol::cmd::cmSetTime,
                                       [this] {
                                           return dev::Args{dev::Arg::integer(HourSE->current()),
                                                            dev::Arg::integer(MinuteSE->current()),
                                                            dev::Arg::integer(SecondSE->current())};
                                       },
                                       {.showCode = false});
    if (answer)
        ctx_.nav.show(PageId::Menu);
}
