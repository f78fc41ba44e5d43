#pragma once
// Page 30, "RtnPkg".

#include "app/Page.h"

class RtnPkgPage : public Page {
    Q_OBJECT
  public:
    explicit RtnPkgPage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
