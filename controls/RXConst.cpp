#include "controls/RXConst.h"

#include "gui/Screen.h"

void InstallRxCursors() {
  static bool installed = false;
  if (installed || !Screen) return;
  installed = true;
  Screen->SetCursors(crHand, LoadCursorFromResource("RX_HANDCUR"));
  Screen->SetCursors(crDragHand, LoadCursorFromResource("RX_DRAGCUR"));
}
