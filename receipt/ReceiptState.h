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
    QString listText;             // the sale lines, each followed by a line break
    double total = 0.0;           // the running total
    double vat = 0.0;             // the VAT total sent with it
    bool discountEnabled = false; // whether "Discount" was enabled
};

struct ReceiptState {
    bool ReceiptOpen = false;
    std::array<CurrencyEntry, 3> CurrencyTable;        // 0 sale currency, 1 and 2 the others
    std::array<PostponedReceipt, 3> PostponedReceipts; // slots 1..3
    int NextPostponeSlot = 1;                          // the slot the next postponement fills
    void clearCurrencies() { CurrencyTable = {}; }
    PostponedReceipt& slot(int number) { return PostponedReceipts[static_cast<std::size_t>(number - 1)]; }
    void advancePostponeSlot() { NextPostponeSlot = NextPostponeSlot < 3 ? NextPostponeSlot + 1 : 1; }
};
