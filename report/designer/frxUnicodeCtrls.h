#pragma once
// A multi-line edit that reads and writes wide text: the layer's edits keep every character,
// so nothing sits between the control and its window.
#include "gui/Memo.h"

class TUnicodeMemo : public TMemo {
  KELM_CLASS(TUnicodeMemo, TMemo)
public:
  explicit TUnicodeMemo(TComponent* AOwner);
  WideString WideText() const;
  // Only a different text is set; the control then hears of the change (CM_TEXTCHANGED).
  void SetWideText(const WideString& Value);
};
