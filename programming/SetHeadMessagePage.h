#pragma once
// Page 5, "SetHeadMessage": the five 32-character header lines of the receipt.

#include "core/Page.h"

class SetHeadMessagePage : public Page {
    Q_OBJECT
  public:
    explicit SetHeadMessagePage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;

    void bbtnSetHeadMessageClick();
    void SetHeadMessageBtn1Click();
    void bbtnUploadHeadMessageClick();

    // The 160 characters as they would be sent.
    QString headerText() const;
};
