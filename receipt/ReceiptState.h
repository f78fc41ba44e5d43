#pragma once
// The receipt state the sale, pay and postpone pages share for the whole run.

#include <QString>

#include <array>

struct CurrencyEntry {
    QString code; // three characters
    QString rateText;
    QString mode; // "1", "2" or empty
    double rate = 0.0;
};

struct PostponedReceipt {
    bool filled = false;
    double total = 0.0;
    double vat = 0.0;
};

struct ReceiptState {
    bool ReceiptOpen = false;
    std::array<CurrencyEntry, 3> CurrencyTable;        // 0 sale currency, 1 and 2 the others
    std::array<PostponedReceipt, 3> PostponedReceipts; // slots 1..3
    void clearCurrencies() { CurrencyTable = {}; }
};
