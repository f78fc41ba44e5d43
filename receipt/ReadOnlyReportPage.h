#pragma once
// Page 38, "ReadOnlyRP": the fiscal memory reports with a report-type choice and
// a mode choice, the printer's service-mode indicator, and the password entry
// into the read-only mode.

#include "core/Page.h"

class ReadOnlyReportPage : public Page {
    Q_OBJECT
  public:
    explicit ReadOnlyReportPage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;
    void formShow() override;

    void BitBtn24Click();     // menu "Read Only Report"
    void Button13Click();     // the service-mode query (hidden button)
    void RadioButton1Click(); // shared by the three mode buttons
    void bbtnZNoReport1Click();
    void bbtnDateReport1Click();
    void bbtnMonthlyReport1Click();
    void btnSkipPswdClick();
    // The printer's answer to the service-mode query.
    void showServiceMode(bool serviceMode);
};
