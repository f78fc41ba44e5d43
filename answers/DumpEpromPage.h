#pragma once
// Page 16, "DumpEprom", shared by the EPROM (code "45") and ROM (code "48")
// dumps; only one of the two run buttons is shown at a time.

#include "core/Page.h"

class DumpEpromPage : public Page {
    Q_OBJECT
  public:
    explicit DumpEpromPage(ConsoleContext& ctx, QWidget* parent = nullptr);
    void attach() override;

    void bbtnDumpEpromClick(); // page opener; no control is bound to it
    void bbtnDumpRomClick();
    void btnExecDumpEpromClick();
    void btnExecDumpRomClick();

  private:
    void dump(const protocol::Command& command);
};
