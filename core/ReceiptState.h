#pragma once
// The currencies of the last exchange-rate answer, shared by the pay page and
// the currency page for the whole run.

#include <QString>

#include <array>

struct CurrencyEntry {
    QString code; // three characters
    QString rateText;
    QString mode; // "1", "2" or empty
    double rate = 0.0;
};

struct ReceiptState {
    std::array<CurrencyEntry, 3> CurrencyTable; // 0 sale currency, 1 and 2 the others
    void clearCurrencies() { CurrencyTable = {}; }
};
