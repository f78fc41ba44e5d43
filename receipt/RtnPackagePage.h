#pragma once
// Page 24, "RtnPackage".

#include "app/Page.h"

class RtnPackagePage : public Page {
    Q_OBJECT
  public:
    explicit RtnPackagePage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
