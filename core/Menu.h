#pragma once
// The menu page's buttons by what they do. The menu page places them and
// registers each here; a page reaches the button that opens it through this
// table, never by looking up the menu page's widgets.

#include <array>

class QAbstractButton;
class QLabel;
class QWidget;

enum class MenuCommand : int {
    MessageReport,
    SetHeadMessage,
    SetVatRate,
    SetTime,
    XReport,
    ZReport,
    CashInDrawer,
    SetDate,
    SetCurrency,
    MemReport,
    Sale,
    ReceiveAccount,
    PaidOut,
    HardwareStatus,
    SoftwareStatus,
    PrinterStatus,
    ReadOnlyReport,
    ReturnPackage,
    UploadPlu,
    UploadTaxRate,
    UploadHeadMessage,
    PrinterSpeed,
    UploadPackages,
    ClerkLogon,
    SetClerkPassword,
    EnterFiscalMode,
    SetTaxId,
    ServiceLogon,
    EcrReset,
    SleepMode,
    ClerkLogout,
    SetId,
    LoadPlu,
    SetParameter,
    OpenDrawer,
    EcrNumber,
    CommandLine,
    SetFootMessage,
    DumpSram,
    DumpEprom,
    DumpRom,
    SetDepartment,
    DepartmentReport,
    UploadDepartment,
    ReadExchangeRate,
};
inline constexpr int kMenuCommands = static_cast<int>(MenuCommand::ReadExchangeRate) + 1;

class Menu {
  public:
    void add(MenuCommand command, QAbstractButton* button) { buttons_[index(command)] = button; }
    // Null until the menu page has placed it.
    QAbstractButton* button(MenuCommand command) const { return buttons_[index(command)]; }

    // The panel the menu page shows while a long upload runs, and its caption.
    QWidget* progressPanel = nullptr;
    QLabel* progressCaption = nullptr;

  private:
    static std::size_t index(MenuCommand c) { return static_cast<std::size_t>(c); }
    std::array<QAbstractButton*, kMenuCommands> buttons_{};
};
