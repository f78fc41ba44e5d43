#pragma once
// Page 15, "DumpSram": a block of the printer's SRAM from a hexadecimal start
// address, shown only as the Return Buffer dump (code "44").

#include "core/Page.h"

class DumpSramPage : public Page {
    Q_OBJECT
  public:
    explicit DumpSramPage(ConsoleContext& ctx, QWidget* parent = nullptr);

    void bbtnDumpSramClick(); // page opener; no control is bound to it
    void btnExecDumpSRamClick();
};

namespace answers {
// The start address: the text without surrounding blanks read as hexadecimal;
// anything that does not convert (also an empty text) gives 0.
int32_t ParseHexAddress(const QString& text);
} // namespace answers
