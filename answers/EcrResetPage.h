#pragma once
// Page 37, "ECR Reset".

#include "app/Page.h"

class EcrResetPage : public Page {
    Q_OBJECT
  public:
    explicit EcrResetPage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
