#pragma once
// The notebook's 39 pages by name, and the one way a page brings another to the
// front. A page never looks up another page: it asks the navigator for it.

#include <QObject>

#include <array>

class QStackedWidget;
class QWidget;

// The page numbers are the notebook's order; tests and captions rely on them.
enum class PageId : int {
    CommandLine = 0,
    Menu = 1,
    SetDate = 2,
    SetTime = 3,
    SetVatRate = 4,
    SetHeadMessage = 5,
    ReceiveAccount = 6,
    PaidOut = 7,
    Sale = 8,
    Pay = 9,
    SetDep = 10,
    MemReport = 11,
    HStatus = 12,
    SStatus = 13,
    PrnStatus = 14,
    DumpSram = 15,
    DumpEprom = 16,
    Invoice = 17,
    SetId = 18,
    EndReceipt = 19,
    XReport = 20,
    InvInfo = 21,
    SetTaxId = 22,
    ServiceLogon = 23,
    RtnPackage = 24,
    ClerkLogon = 25,
    PluInfo = 26,
    Upload = 27,
    TaxRateUpload = 28,
    PrinterSpeed = 29,
    RtnPkg = 30,
    PrnRpt = 31,
    UpRtnPkg = 32,
    SetParameter = 33,
    SetCurrencyName = 34,
    FiscalReport = 35,
    EcrNumberSet = 36,
    EcrReset = 37,
    ReadOnlyReport = 38,
};
inline constexpr int kPageCount = 39;
constexpr int pageNumber(PageId page) {
    return static_cast<int>(page);
}

class Navigator : public QObject {
    Q_OBJECT
  public:
    explicit Navigator(QObject* parent = nullptr) : QObject(parent) {}

    // The stack whose widget at index n is page n.
    void setStack(QStackedWidget* stack);

    void show(PageId page);
    // The page in front; Menu before the stack is set.
    PageId current() const;
    QWidget* page(PageId page) const;

  signals:
    void shown(PageId page);

  private:
    QStackedWidget* stack_ = nullptr;
};
