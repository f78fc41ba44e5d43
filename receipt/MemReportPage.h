#pragma once
// Page 11, "MemReport": fiscal memory reports by Z number, by date and monthly,
// printed or (behind hidden buttons) uploaded as text; and the menu's X, Z and
// "Message Report" commands.

#include "core/Page.h"
#include "protocol/Layouts.h"

#include <QDate>
#include <QString>

class QLineEdit;
class QWidget;

namespace reports {
// The Z number fields' length: a Z number has at most four digits, the width
// of the printer's count of Z reports (protocol::FiscalStatus::ZCount).
inline constexpr int kZNumberLength = protocol::FiscalStatus::ZCount.width;
// The monthly report's masked month and year (digits, each position optional).
inline const QString kMonthMask = QStringLiteral("99");
inline const QString kYearMask = QStringLiteral("9999");
// A field read as a whole decimal number; anything else (also empty) gives 0.
int32_t IntOrZero(const QString& text);
// The year's third and fourth characters in decimal: 2026 gives 26, 2005 gives 5.
int32_t YearTwoDigits(const QDate& date);
// The monthly report's checks, in order: month 1 to 12, then year - 2000 in 0 to 99.
enum class MonthlyCheck { Ok, BadMonth, BadYear };
MonthlyCheck CheckMonthly(int32_t month, int32_t yearFrom2000);

// The three fiscal memory reports with their fields; shared by pages 11 and 38.
struct ReportFields {
    std::function<int32_t()> kind; // 0 "Summary", 1 "Detail"
    QLineEdit* zFrom = nullptr;
    QLineEdit* zTo = nullptr;
    QWidget* dateFrom = nullptr; // QDateEdit
    QWidget* dateTo = nullptr;
    QLineEdit* month = nullptr;
    QLineEdit* year = nullptr;
};
void RunByZNo(ConsoleContext& ctx, const ReportFields& f, const protocol::Command& command);
void RunByDate(ConsoleContext& ctx, const ReportFields& f, const protocol::Command& command);
void RunMonthly(ConsoleContext& ctx, const ReportFields& f, const protocol::Command& command);
} // namespace reports

class MemReportPage : public Page {
    Q_OBJECT
  public:
    explicit MemReportPage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;
    void formShow() override;

    // Menu commands.
    void bbtnXReportClick();
    void bbtnZReportClick();
    void bbtnPrgReportClick();
    void bbtnMemReportClick();
    // Printed reports.
    void bbtnZNoReportClick();
    void bbtnDateReportClick();
    void bbtnMonthlyReportClick();
    // Uploaded reports (hidden buttons).
    void btnUploadFisRptByZNoClick();
    void btnUploadFisRptByDateClick();
    void btnUploadFisRptMonthlyClick();

  private:
    reports::ReportFields zFields() const;
    reports::ReportFields dateFields() const;
    reports::ReportFields monthFields() const;
};
