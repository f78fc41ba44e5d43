#pragma once
// Page 0, "CommandLine": a raw command line sent with ExecCommand, its answer
// shown (and decoded) under the code of its first two characters.

#include "core/Page.h"

class CommandLinePage : public Page {
    Q_OBJECT
  public:
    explicit CommandLinePage(ConsoleContext& ctx, QWidget* parent = nullptr);

    void bbtnExecClick();
};
