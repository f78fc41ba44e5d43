#pragma once
// Page 32, "UpRtnPkg".

#include "app/Page.h"

class UpRtnPkgPage : public Page {
    Q_OBJECT
  public:
    explicit UpRtnPkgPage(ConsoleContext& ctx, QWidget* parent = nullptr);
};
