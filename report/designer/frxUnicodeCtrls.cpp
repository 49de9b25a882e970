#include "report/designer/frxUnicodeCtrls.h"

#include "core/ClassBuilder.h"
#include "core/StrUtils.h"

KELM_PUBLISH(TUnicodeMemo) {}

TUnicodeMemo::TUnicodeMemo(TComponent* AOwner) : TMemo(AOwner) {}

WideString TUnicodeMemo::WideText() const { return Utf8ToUtf16(Text()); }

// SetText sends CM_TEXTCHANGED itself, and nothing for an unchanged text.
void TUnicodeMemo::SetWideText(const WideString& Value) {
  if (Value == WideText()) return;
  SetText(Utf16ToUtf8(Value));
}
