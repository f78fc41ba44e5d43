#include "receipt/MemReportPage.h"

#include "core/ProgrammingWidgets.h"
#include "core/WidgetAccess.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace reports {

int32_t IntOrZero(const QString& text) {
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    return ok ? v : 0;
}

int32_t YearTwoDigits(const QDate& date) {
    return IntOrZero(QString::number(date.year()).mid(2, 2));
}

MonthlyCheck CheckMonthly(int32_t month, int32_t yearFrom2000) {
    if (month < 1 || month > 12)
        return MonthlyCheck::BadMonth;
    if (yearFrom2000 < 0 || yearFrom2000 > 99)
        return MonthlyCheck::BadYear;
    return MonthlyCheck::Ok;
}

static QDate dateOf(QWidget* w) {
    auto* d = qobject_cast<QDateEdit*>(w);
    return d ? d->date() : QDate();
}

void RunByZNo(ConsoleContext& ctx, const ReportFields& f, const protocol::Command& command) {
    ctx.frame.run(command, [&] {
        return dev::Args{dev::Arg::integer(f.kind()), dev::Arg::integer(IntOrZero(f.zFrom->text())),
                         dev::Arg::integer(IntOrZero(f.zTo->text()))};
    });
}

void RunByDate(ConsoleContext& ctx, const ReportFields& f, const protocol::Command& command) {
    ctx.frame.run(command, [&] {
        const QDate a = dateOf(f.dateFrom), b = dateOf(f.dateTo);
        return dev::Args{dev::Arg::integer(f.kind()),        dev::Arg::integer(a.day()),
                         dev::Arg::integer(a.month()),       dev::Arg::integer(YearTwoDigits(a)),
                         dev::Arg::integer(b.day()),         dev::Arg::integer(b.month()),
                         dev::Arg::integer(YearTwoDigits(b))};
    });
}

void RunMonthly(ConsoleContext& ctx, const ReportFields& f, const protocol::Command& command) {
    ctx.frame.EnsureLinkOpen(dev::libraryOf(command)); // opened before the checks
    const int32_t month = IntOrZero(f.month->text());
    const int32_t year = IntOrZero(f.year->text()) - 2000;
    switch (CheckMonthly(month, year)) {
    case MonthlyCheck::BadMonth:
        ctx.infoBox(ctx.LocaleString(11443));
        f.month->setFocus();
        return;
    case MonthlyCheck::BadYear:
        ctx.infoBox(ctx.LocaleString(11442));
        f.year->setFocus();
        return;
    case MonthlyCheck::Ok:
        break;
    }
    ctx.frame.run(command, [&] {
        return dev::Args{dev::Arg::integer(f.kind()), dev::Arg::integer(IntOrZero(f.month->text())),
                         dev::Arg::integer(IntOrZero(f.year->text()) - 2000)};
    });
}

} // namespace reports

MemReportPage::MemReportPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::MemReport, QStringLiteral("MemReport"), parent) {
    using answers::plainLabel;
    struct Group {
        const char *box, *title, *rb1, *rb2, *label1, *caption1, *label2, *caption2, *run, *runCaption,
            *upload, *uploadCaption;
    };
    const Group groups[] = {
        {"GroupBox2", "Fiscal Memory Report By Z No", "rbZNoPrn1", "rbZNoPrn2", "Label29", "Z No From",
         "Label49", "To", "bbtnZNoReport", "Report By Z No", "btnUploadFisRptByZNo", "Upload By ZNo"},
        {"GroupBox5", "Fiscal Memory Report By Date", "rbDatePrn1", "rbDatePrn2", "Label50", "Date From",
         "Label51", "To", "bbtnDateReport", "Report By Date", "btnUploadFisRptByDate", "Upload By Date"},
        {"GroupBox8", "Fiscal Memory Report Monthly", "rbMonPrn1", "rbMonPrn2", "Label65",
         "Month:", "Label67", "Year:", "bbtnMonthlyReport", "Report By Monthly", "btnUploadFisRptMonthly",
         "Upload Monthly"}};
    QGroupBox* boxes[3];
    for (int i = 0; i < 3; ++i) {
        const Group& g = groups[i];
        auto* box = make<QGroupBox>(g.box, 8 + 264 * i, 4, 256, 228);
        box->setTitle(QString::fromLatin1(g.title));
        make<QRadioButton>(g.rb1, 12, 22, 110, 20, box)->setText(QStringLiteral("Summary"));
        make<QRadioButton>(g.rb2, 130, 22, 110, 20, box)->setText(QStringLiteral("Detail"));
        box->findChild<QRadioButton*>(QString::fromLatin1(g.rb1))->setChecked(true);
        plainLabel(make<QLabel>(g.label1, 12, 56, 80, 20, box), QString::fromLatin1(g.caption1));
        plainLabel(make<QLabel>(g.label2, 12, 88, 80, 20, box), QString::fromLatin1(g.caption2));
        makeButton(g.run, QString::fromLatin1(g.runCaption), 12, 124, 230, 25, box);
        makeButton(g.upload, QString::fromLatin1(g.uploadCaption), 12, 156, 230, 25, box)->setVisible(false);
        boxes[i] = box;
    }
    // The Z numbers take any text (one that is not a number is sent as 0), as
    // long as a Z number can be (kZNumberLength).
    for (const char* name : {"edZNo1", "edZNo2"})
        make<QLineEdit>(name, 100, name[5] == '1' ? 54 : 86, 80, 22, boxes[0])
            ->setMaxLength(reports::kZNumberLength);
    for (const char* name : {"dtpDate1", "dtpDate2"}) {
        auto* d = make<QDateEdit>(name, 100, name[7] == '1' ? 54 : 86, 130, 22, boxes[1]);
        d->setCalendarPopup(true);
        d->setDate(QDate::currentDate());
    }
    // Masked: the month's two digits, the year's four (each position optional).
    make<prog::MaskEdit>("edMonth", 100, 54, 40, 22, boxes[2])->setup(reports::kMonthMask, QString());
    make<prog::MaskEdit>("edYear", 100, 86, 60, 22, boxes[2])->setup(reports::kYearMask, QString());
    makeBackButton("BitBtn4");

    const auto child = [this](const char* name) {
        return findChild<QPushButton*>(QString::fromLatin1(name));
    };
    onClick(child("bbtnZNoReport"), [this] { bbtnZNoReportClick(); });
    onClick(child("bbtnDateReport"), [this] { bbtnDateReportClick(); });
    onClick(child("bbtnMonthlyReport"), [this] { bbtnMonthlyReportClick(); });
    onClick(child("btnUploadFisRptByZNo"), [this] { btnUploadFisRptByZNoClick(); });
    onClick(child("btnUploadFisRptByDate"), [this] { btnUploadFisRptByDateClick(); });
    onClick(child("btnUploadFisRptMonthly"), [this] { btnUploadFisRptMonthlyClick(); });
}

void MemReportPage::attach() {
    onMenu(MenuCommand::XReport, [this] { bbtnXReportClick(); });
    onMenu(MenuCommand::ZReport, [this] { bbtnZReportClick(); });
    onMenu(MenuCommand::MessageReport, [this] { bbtnPrgReportClick(); });
    onMenu(MenuCommand::MemReport, [this] { bbtnMemReportClick(); });
}

void MemReportPage::formShow() {
    for (const char* name : {"dtpDate1", "dtpDate2"})
        if (auto* d = findChild<QDateEdit*>(QString::fromLatin1(name)))
            d->setDate(QDate::currentDate());
}

void MemReportPage::bbtnXReportClick() {
    ctx_.frame.run(protocol::cmd::cmXReport, [] { return dev::Args{dev::Arg::integer(1)}; },
                   {.showCode = false});
}

void MemReportPage::bbtnZReportClick() {
    if (ctx_.frame.run(protocol::cmd::cmZReport, [] { return dev::Args{}; }, {.showCode = false}))
        ctx_.nav.show(PageId::Menu);
}

void MemReportPage::bbtnPrgReportClick() {
    ctx_.frame.run(protocol::cmd::cmPrnProgramReport, [] { return dev::Args{}; }, {.showCode = false});
}

void MemReportPage::bbtnMemReportClick() {
    ctx_.nav.show(PageId::MemReport);
    const QDate today = QDate::currentDate();
    findChild<QDateEdit*>(QStringLiteral("dtpDate1"))->setDate(today);
    findChild<QDateEdit*>(QStringLiteral("dtpDate2"))->setDate(today);
    findChild<QLineEdit*>(QStringLiteral("edMonth"))
        ->setText(QStringLiteral("%1").arg(today.month(), 2, 10, QLatin1Char('0')));
    findChild<QLineEdit*>(QStringLiteral("edYear"))->setText(QString::number(today.year()));
}

reports::ReportFields MemReportPage::zFields() const {
    reports::ReportFields f;
    auto* summary = findChild<QRadioButton*>(QStringLiteral("rbZNoPrn1"));
    f.kind = [summary] { return summary->isChecked() ? 0 : 1; };
    f.zFrom = findChild<QLineEdit*>(QStringLiteral("edZNo1"));
    f.zTo = findChild<QLineEdit*>(QStringLiteral("edZNo2"));
    return f;
}

reports::ReportFields MemReportPage::dateFields() const {
    reports::ReportFields f;
    auto* summary = findChild<QRadioButton*>(QStringLiteral("rbDatePrn1"));
    f.kind = [summary] { return summary->isChecked() ? 0 : 1; };
    f.dateFrom = findChild<QDateEdit*>(QStringLiteral("dtpDate1"));
    f.dateTo = findChild<QDateEdit*>(QStringLiteral("dtpDate2"));
    return f;
}

reports::ReportFields MemReportPage::monthFields() const {
    reports::ReportFields f;
    auto* summary = findChild<QRadioButton*>(QStringLiteral("rbMonPrn1"));
    f.kind = [summary] { return summary->isChecked() ? 0 : 1; };
    f.month = findChild<QLineEdit*>(QStringLiteral("edMonth"));
    f.year = findChild<QLineEdit*>(QStringLiteral("edYear"));
    return f;
}

void MemReportPage::bbtnZNoReportClick() {
    reports::RunByZNo(ctx_, zFields(), protocol::cmd::cmMemReportByZNo);
}

void MemReportPage::bbtnDateReportClick() {
    reports::RunByDate(ctx_, dateFields(), protocol::cmd::cmMemReportByDate);
}

void MemReportPage::bbtnMonthlyReportClick() {
    reports::RunMonthly(ctx_, monthFields(), protocol::cmd::cmMemReportMonthly);
}

void MemReportPage::btnUploadFisRptByZNoClick() {
    reports::RunByZNo(ctx_, zFields(), protocol::cmd::cmUploadFisRptByZNo);
}

void MemReportPage::btnUploadFisRptByDateClick() {
    reports::RunByDate(ctx_, dateFields(), protocol::cmd::cmUploadFisRptByDate);
}

void MemReportPage::btnUploadFisRptMonthlyClick() {
    reports::RunMonthly(ctx_, monthFields(), protocol::cmd::cmUploadFisRptMonthly);
}
