#include "programming/SetIdPage.h"

#include "core/AnswerDecoders.h"
#include "core/ProgrammingWidgets.h"
#include "core/WidgetAccess.h"
#include "programming/ProgrammingRules.h"

#include <QCheckBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

namespace {
// What the fiscal status answer (code 14) says: "1" when the printer may be fiscalised.
bool mayEnterFiscalMode(const QByteArray& answer) {
    return answers::fieldIs(answer, protocol::FiscalStatus::MayFiscalise, '1');
}
} // namespace

SetIdPage::SetIdPage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::SetId, QStringLiteral("SetID"), parent) {
    auto label = [this](const char* name, const QString& caption, int x, int y, int w = 120,
                        QWidget* parentWidget = nullptr) {
        auto* l = make<QLabel>(name, x, y, w, 17, parentWidget);
        l->setText(caption);
        return l;
    };

    label("Label47", QStringLiteral("ID Code:"), 12, 14, 76);
    edIDCode = make<QLineEdit>("edIDCode", 90, 10, 60, 22);
    edIDCode->setMaxLength(protocol::HardwareStatus::IdCode.width);
    prog::installKeyFilter(edIDCode, [](const QString&, QChar& key) {
        if (!prog::FilterLetterKey(key))
            return false;
        key = key.toUpper();
        return true;
    });
    label("Label74", QStringLiteral("ID NO.:"), 12, 42, 76);
    edIDNo = make<QLineEdit>("edIDNo", 90, 38, 120, 22);
    // Ten digits, judged by the printer (ProgrammingRules.h).
    edIDNo->setMaxLength(prog::kIdNumberFieldLength);
    prog::installKeyFilter(edIDNo, [](const QString&, QChar& key) { return prog::FilterDigitKey(key); });

    btnExecSetID = makeButton("btnExecSetID", QStringLiteral("Set ID"), 12, 72, 120);
    onClick(btnExecSetID, [this] { btnExecSetIDClick(); });
    btnExecEnterFiscalMode =
        makeButton("btnExecEnterFiscalMode", QStringLiteral("Enter Fiscal Mode"), 140, 72, 120);
    onClick(btnExecEnterFiscalMode, [this] { btnExecEnterFiscalModeClick(); });
    makeBackButton("BitBtn10");

    // ---- the review controls ----
    const int lx = 12, vx = 150;
    review_ << label("Label144", QStringLiteral("Tax ID:"), lx, 108);
    review_ << label("lbTaxID1", QString(), vx, 108, 110);
    review_ << label("Label145", QStringLiteral("ID Format:"), lx, 128);
    review_ << label("lbIDFmt1", QString(), vx, 128, 110);
    review_ << label("Label142", QStringLiteral("Current Date:"), lx, 148);
    review_ << label("lbCurDate1", QString(), vx, 148, 110);
    review_ << label("Label143", QStringLiteral("Current Time:"), lx, 168);
    review_ << label("lbCurTime1", QString(), vx, 168, 110);
    review_ << label("Label150", QStringLiteral("Fiskalization Currency:"), lx, 188, 135);
    review_ << label("lblCurrency", QString(), vx, 188, 110);
    auto* serviceMode = make<QCheckBox>("CheckBox2", lx, 210, 150, 20);
    serviceMode->setText(QStringLiteral("Service Mode"));
    serviceMode->setEnabled(false); // shows what the printer reports
    review_ << serviceMode;

    review_ << label("Label131", QStringLiteral("Tax Rate Uploaded"), 280, 6, 150);
    auto* panel = make<QFrame>("Panel7", 280, 24, 165, 212);
    panel->setFrameShape(QFrame::StyledPanel);
    review_ << panel;
    static const char* const rateNames[] = {"lbRate11", "lbRate21", "lbRate31", "lbRate41", "lbRate51",
                                            "lbRate61", "lbRate71", "lbRate81", "lbRate91"};
    static const char* const captionNames[] = {"Label132", "Label133", "Label134", "Label135", "Label136",
                                               "Label141", "Label140", "Label139", "Label138"};
    for (int k = 0; k < 9; ++k) {
        const int y = 6 + k * 20;
        label(captionNames[k], QStringLiteral("TAX %1:").arg(QChar('A' + k)), 8, y, 60, panel);
        label(rateNames[k], QString(), 75, y, 80, panel);
    }
    label("Label137", QStringLiteral("Free Tax:"), 8, 6 + 9 * 20, 66, panel);
    label("lbFreeDep1", QString(), 75, 6 + 9 * 20, 80, panel);

    review_ << label("Label130", QStringLiteral("HeadMessages"), 460, 6, 150);
    auto* grid = make<QTableWidget>("StringGrid1", 460, 24, 335, 206);
    grid->setColumnCount(1);
    grid->setRowCount(5);
    grid->horizontalHeader()->setVisible(false);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->verticalHeader()->setDefaultSectionSize(18);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QFont mono(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    grid->setFont(mono);
    review_ << grid;

    setReviewVisible(false);
}

void SetIdPage::attach() {
    onMenu(MenuCommand::SetId, [this] { bbtnSetIdClick(); });
    onMenu(MenuCommand::EnterFiscalMode, [this] { bbtnEnterFiscalModeClick(); });
}

void SetIdPage::setReviewVisible(bool visible) {
    for (QWidget* w : review_)
        w->setVisible(visible);
}

bool SetIdPage::reviewVisible() const {
    return !review_.isEmpty() && !review_.front()->isHidden();
}

void SetIdPage::bbtnSetIdClick() {
    edIDCode->clear();
    edIDNo->clear();
    btnExecEnterFiscalMode->setVisible(false);
    btnExecSetID->setVisible(true);
    setReviewVisible(false);
    ctx_.nav.show(PageId::SetId);
}

void SetIdPage::btnExecSetIDClick() {
    ctx_.frame.run(
        protocol::cmd::cmSetID,
        [this] {
            return dev::Args{dev::Arg::text1250(edIDCode->text()), dev::Arg::text1250(edIDNo->text())};
        },
        {.showCode = false});
}

void SetIdPage::bbtnEnterFiscalModeClick() {
    setReviewVisible(true);
    ctx_.FiscalReviewMode = true;
    // The flag must not outlive this handler, whatever happens in the commands it runs.
    struct ClearFlag {
        bool& flag;
        ~ClearFlag() { flag = false; }
    } clearFlag{ctx_.FiscalReviewMode};

    // Each runs to its end with its own error box; the decoders fill this page.
    const auto press = [this](MenuCommand command) {
        if (QAbstractButton* b = ctx_.menu.button(command))
            b->click();
    };
    press(MenuCommand::SoftwareStatus);
    press(MenuCommand::HardwareStatus);
    emit currencyReviewRequested();
    press(MenuCommand::UploadTaxRate);
    press(MenuCommand::UploadHeadMessage);

    btnExecEnterFiscalMode->setEnabled(false);
    if (const auto answer = ctx_.frame.run(protocol::cmd::cmUploadFisStatus, [] { return dev::Args{}; }))
        btnExecEnterFiscalMode->setEnabled(mayEnterFiscalMode(*answer));

    edIDCode->clear();
    edIDNo->clear();
    btnExecEnterFiscalMode->move(btnExecSetID->x(), btnExecEnterFiscalMode->y());
    btnExecEnterFiscalMode->setVisible(true);
    btnExecSetID->setVisible(false);
    ctx_.FiscalReviewMode = false;
    ctx_.nav.show(PageId::SetId);
}

void SetIdPage::btnExecEnterFiscalModeClick() {
    ctx_.frame.run(
        protocol::cmd::cmEnterFiscalMode,
        [this] {
            return dev::Args{dev::Arg::text1250(edIDCode->text()), dev::Arg::text1250(edIDNo->text())};
        },
        {.showCode = false});
}

// ---- the review's reads, shown in this page's review controls ----

void SetIdPage::showHardwareReview(const answers::HardwareStatus& status) {
    answers::setLabelText(findChild<QLabel*>(QStringLiteral("lbIDFmt1")), status.idFormat);
    answers::setLabelText(findChild<QLabel*>(QStringLiteral("lbTaxID1")), status.taxId);
}

void SetIdPage::showSoftwareReview(const answers::SoftwareStatus& status) {
    answers::setLabelText(findChild<QLabel*>(QStringLiteral("lbCurDate1")), status.date);
    answers::setLabelText(findChild<QLabel*>(QStringLiteral("lbCurTime1")), status.time);
    answers::setButtonChecked(findChild<QCheckBox*>(QStringLiteral("CheckBox2")), status.serviceMode);
}

void SetIdPage::showRatesReview(const answers::TaxRates& rates) {
    const auto rateLabel = [this](int k) {
        return findChild<QLabel*>(QStringLiteral("lbRate%1").arg((k + 1) * 10 + 1));
    };
    for (int k = 0; k < 9; ++k)
        answers::setLabelText(rateLabel(k), rates.rates[static_cast<std::size_t>(k)]);
    answers::setLabelText(findChild<QLabel*>(QStringLiteral("lbFreeDep1")), rates.exemptLetter);
    // A letter outside A to I names no rate: the nine rates stay as sent.
    if (rates.exemptIndex >= 0)
        answers::setLabelText(rateLabel(rates.exemptIndex), QStringLiteral("PTU ZW"));
}

void SetIdPage::showHeaderLinesReview(const answers::UploadRows& rows) {
    answers::setLabelText(findChild<QLabel*>(QStringLiteral("Label130")), ctx_.LocaleString(11334));
    answers::FillUploadGrid(findChild<QTableWidget*>(QStringLiteral("StringGrid1")),
                            {ctx_.LocaleString(11335), ctx_.LocaleString(11336)},
                            {3, protocol::HeaderLines::Text.width}, rows);
}

void SetIdPage::showCurrencyReview(const QString& saleCurrency) {
    answers::setLabelText(findChild<QLabel*>(QStringLiteral("lblCurrency")), saleCurrency);
}
