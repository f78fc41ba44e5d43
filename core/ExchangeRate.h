#pragma once
// The answer of the exchange-rate query (code 13): currency codes, rates and
// modes, and the amount due, read through the fields of protocol::ExchangeRate.

#include "core/ReceiptState.h"

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <array>

struct ExchangeRateAnswer {
    std::array<CurrencyEntry, 3> currencies; // what the answer holds; the rest stays empty
    QString amountDue;                       // "123.45" in the locale's notation; empty when absent
    bool hasAmountDue = false;
};

// Answers of this length or less are shown but not read.
constexpr qsizetype kExchangeRateMinimum = 20;

// Reads every field that lies wholly inside the answer and nothing beyond it:
// an answer of 21 to 50 bytes fills what it holds. An amount due that is not
// ten digits is left out.
ExchangeRateAnswer ParseExchangeRate(const QByteArray& answer, const QLocale& locale = QLocale());

// The rate text of a 14-character rate field: leading zeros skipped, the
// decimal comma written as the locale's separator (a second one dropped), a
// leading "0" put before a leading separator.
QString ExchangeRateText(const QByteArray& field, const QLocale& locale = QLocale());
