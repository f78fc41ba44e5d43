#pragma once
// Page 37, "ECR Reset": erases the printer's SRAM through the service library
// with a date and time taken from the workstation clock (code "43").

#include "core/Page.h"

#include <QDateTime>

class EcrResetPage : public Page {
    Q_OBJECT
  public:
    explicit EcrResetPage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;

    void bbtnTestSramClick();
    void Button5Click();
    // Fills the six fields from a moment (the clock when opened from the menu).
    void fillFrom(const QDateTime& moment);
};

namespace answers {
// The confirmation question: the warning (built-in or localised), then the
// fixed Polish note about the workstation's clock.
QString EcrResetQuestion(const QString* localisedWarning);
} // namespace answers
