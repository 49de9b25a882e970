// Key state set by hand, for messages sent without a keyboard behind them.
#include "gui/Messages.h"
#include "gui/QtGlue_p.h"

void SetKeyDownState(int VirtKey, bool Down) {
  if (VirtKey <= 0 || VirtKey > 255) return;
  gui_glue::SetKeyDown(VirtKey, Down);
}
