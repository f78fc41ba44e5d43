#pragma once
// Page 36, "ECR number set".

#include "core/Page.h"

class QLineEdit;

class EcrNumberSetPage : public Page {
    Q_OBJECT
  public:
    explicit EcrNumberSetPage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;

    void Button2Click();
    void Button1Click();

  private:
    QLineEdit* Edit3 = nullptr;
};
