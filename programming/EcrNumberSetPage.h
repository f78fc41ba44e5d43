#pragma once
// Page 36, "ECR number set".

#include "app/Page.h"

class EcrNumberSetPage : public Page {
    Q_OBJECT
  public:
    explicit EcrNumberSetPage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
