// The open receipt's model: lines, running total in grosz, VAT by the
// programmed rates, and the receipts set aside.

#include "receipt/ReceiptModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <array>
#include <functional>

namespace {

SaleLine line(const char* quantity, const char* price, const char* letter, const char* name, qint64 total) {
    SaleLine l;
    l.quantityText = QString::fromLatin1(quantity);
    l.quantity = l.quantityText.toDouble();
    l.unit = QStringLiteral("szt");
    l.priceText = QString::fromLatin1(price);
    l.price = l.priceText.toDouble();
    l.taxLetter = QString::fromLatin1(letter);
    l.name = QString::fromLatin1(name);
    l.lineTotal = total;
    l.returnPriceText = QStringLiteral("0.00");
    l.barcode = QStringLiteral("5900");
    return l;
}

TEST(ReceiptModel, ARunningReceiptSetAsideAndTakenUp) {
    QLocale::setDefault(QLocale::c());
    ReceiptModel m;
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy totals(&m, &ReceiptModel::totalChanged);

    // Each step: the list as shown and the total as shown.
    struct Step {
        std::function<void()> act;
        QStringList shown;
        QString total;
    };
    const Step steps[] = {
        {[&] { m.clear(); }, {}, QStringLiteral("0")},
        {[&] { m.add(line("2.000", "0.10", "A", "Milk", 20)); },
         {QStringLiteral("2.000---szt---0.10---A---Milk---0.2---0.00---5900---0")},
         QStringLiteral("0.2")},
        {[&] { m.add(line("1.000", "0.10", "B", "Bun", 10)); },
         {QStringLiteral("2.000---szt---0.10---A---Milk---0.2---0.00---5900---0"),
          QStringLiteral("1.000---szt---0.10---B---Bun---0.1---0.00---5900---0")},
         QStringLiteral("0.3")}, // never 0.30000000000000004
        {[&] { m.changeLast(-3); },
         {QStringLiteral("2.000---szt---0.10---A---Milk---0.2---0.00---5900---0"),
          QStringLiteral("1.000---szt---0.10---B---Bun---0.07---0.00---5900---1")},
         QStringLiteral("0.27")},
        {[&] { m.cancel(0); },
         {QStringLiteral("1.000---szt---0.10---B---Bun---0.07---0.00---5900---1")},
         QStringLiteral("0.07")},
        {[&] { m.cancel(5); },
         {QStringLiteral("1.000---szt---0.10---B---Bun---0.07---0.00---5900---1")},
         QStringLiteral("0.07")},
        {[&] { m.setAmountDue(QStringLiteral("0.10")); },
         {QStringLiteral("1.000---szt---0.10---B---Bun---0.07---0.00---5900---1")},
         QStringLiteral("0.10")},
    };
    for (const Step& s : steps) {
        s.act();
        QStringList shown;
        for (int r = 0; r < m.rowCount(); ++r)
            shown << m.data(m.index(r)).toString();
        EXPECT_EQ(shown, s.shown);
        EXPECT_EQ(m.totalText(), s.total);
        EXPECT_EQ(totals.last().at(0).toString(), s.total);
    }
    EXPECT_EQ(m.total(), 10);

    // Set aside in slot 1, a fresh receipt, then taken up whole.
    m.clear();
    m.add(line("1.000", "123", "A", "Coat", 12300));
    m.add(line("1.000", "108", "B", "Bread", 10800));
    m.add(line("1.000", "50", "C", "Free", 5000));
    const std::array<int, 9> rates{2300, 800, 9999, 0, 0, 0, 0, 0, 0};
    EXPECT_DOUBLE_EQ(m.vatTotal(rates), 31.0) << "23 + 8; C carries no tax";
    m.store(m.nextSlot(), m.snapshot(m.vatTotal(rates), false));
    m.advanceSlot();
    m.clear();
    EXPECT_EQ(m.rowCount(), 0);
    ASSERT_TRUE(m.postponed(1).has_value());
    EXPECT_FALSE(m.postponed(4).has_value());
    m.restore(*m.postponed(1));
    m.release(1);
    EXPECT_EQ(m.rowCount(), 3);
    EXPECT_EQ(m.totalText(), QStringLiteral("281"));
    EXPECT_FALSE(m.postponed(1).has_value());
    EXPECT_EQ(m.nextSlot(), 2);
}

} // namespace
