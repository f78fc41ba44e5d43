#include "receipt/RtnPackagePage.h"

#include "core/EntryRules.h"

#include <QLabel>
#include <QLineEdit>

namespace {
QLineEdit* totalBox(QLineEdit* e, const char* colour) {
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::TypeWriter);
    f.setPixelSize(24);
    f.setBold(true);
    e->setFont(f);
    e->setReadOnly(true);
    e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    e->setStyleSheet(QStringLiteral("background: %1;").arg(QLatin1String(colour)));
    e->setText(QStringLiteral("0"));
    return e;
}
} // namespace

RtnPackagePage::RtnPackagePage(ConsoleContext& ctx, QWidget* parent)
    : Page(ctx, PageId::RtnPackage, QStringLiteral("RtnPackage"), parent) {
    const char* captions[4] = {"Name:", "Price:", "Unit:", "Quantity:"};
    const char* names[4] = {"Label92", "Label94", "Label100", "Label96"};
    for (int i = 0; i < 4; ++i) {
        auto* l = new QLabel(QString::fromLatin1(captions[i]), this);
        l->setObjectName(QString::fromLatin1(names[i]));
        l->setGeometry(16, 16 + 30 * i, 90, 22);
    }
    edName2 = make<QLineEdit>("edName2", 110, 16, 220, 22);
    edName2->setMaxLength(32);
    edPrice2 = make<QLineEdit>("edPrice2", 110, 46, 120, 22);
    edPrice2->setMaxLength(10);
    NumericKeyFilter::install(edPrice2, true);
    edUnit2 = make<QLineEdit>("edUnit2", 110, 76, 120, 22);
    edUnit2->setMaxLength(4);
    edQty2 = make<QLineEdit>("edQty2", 110, 106, 120, 22);
    edQty2->setMaxLength(10);
    edQty2->setText(QStringLiteral("1"));
    NumericKeyFilter::install(edQty2, true);

    auto* ret = makeButton("btnExecRtnPck", QStringLiteral("Return Package"), 16, 150);
    auto* sale = makeButton("btnSalePackage", QStringLiteral("Sale Package"), 16, 180);
    auto* totalCaption = new QLabel(QStringLiteral("Total"), this);
    totalCaption->setObjectName(QStringLiteral("Label102"));
    totalCaption->setGeometry(400, 16, 120, 22);
    edTotal2 = totalBox(make<QLineEdit>("edTotal2", 400, 40, 240, 40), "aqua");
    edTotal3 = totalBox(make<QLineEdit>("edTotal3", 400, 90, 240, 40), "green");
    auto* retPay = makeButton("btnExecPckPay", QStringLiteral("Return Payment"), 400, 150);
    auto* salePay =
        makeButton("btnSalePackagePayment", QStringLiteral("Sale Package Payment"), 400, 180, 160);
    BitBtn15 = makeBackButton("BitBtn15", QStringLiteral("Back To Menu"), 663, 256);

    onClick(ret, [this] { btnExecRtnPckClick(); });
    onClick(sale, [this] { btnSalePackageClick(); });
    onClick(retPay, [this] { btnExecPckPayClick(); });
    onClick(salePay, [this] { btnSalePackagePaymentClick(); });
}

void RtnPackagePage::attach() {
    onMenu(MenuCommand::ReturnPackage, [this] { bbtnRtnPackageClick(); });
}

void RtnPackagePage::bbtnRtnPackageClick() {
    ctx_.nav.show(PageId::RtnPackage);
    BitBtn15->setEnabled(true);
}

void RtnPackagePage::packageEntry(const protocol::Command& command, QLineEdit* total) {
    ctx_.frame.EnsureLinkOpen(dev::Library::User);
    const double price = RoundDecimals(TextToAmount(edPrice2->text(), 0), 2);
    const double quantity = TextToAmount(edQty2->text(), 0);
    const auto answer =
        ctx_.frame.run(command,
                       [&] {
                           return dev::Args{dev::Arg::real(quantity), dev::Arg::text1250(edUnit2->text()),
                                            dev::Arg::real(price), dev::Arg::text1250(edName2->text())};
                       },
                       {.showCode = false});
    if (!answer)
        return;
    const double amount = RoundDecimals(quantity * price, 2);
    total->setText(FormatGeneral(TextToAmount(total->text(), 0) + amount));
    edName2->clear();
    edUnit2->clear();
    edPrice2->setText(QStringLiteral("0"));
    edQty2->setText(QStringLiteral("1"));
    edName2->setFocus();
    BitBtn15->setEnabled(false);
}

void RtnPackagePage::packagePayment(const protocol::Command& command) {
    const auto answer =
        ctx_.frame.run(command, [] { return dev::Args{dev::Arg::integer(0)}; }, {.showCode = false});
    if (!answer)
        return;
    BitBtn15->setEnabled(true);
    ctx_.nav.show(PageId::Menu);
}

void RtnPackagePage::btnExecRtnPckClick() {
    packageEntry(protocol::cmd::cmReturnPackage, edTotal2);
}
void RtnPackagePage::btnSalePackageClick() {
    packageEntry(protocol::cmd::cmSalePackage, edTotal3);
}
void RtnPackagePage::btnExecPckPayClick() {
    packagePayment(protocol::cmd::cmPackagePayment);
}
void RtnPackagePage::btnSalePackagePaymentClick() {
    packagePayment(protocol::cmd::cmSalePackagePayment);
}
