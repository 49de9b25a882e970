#include "editors/cxButtons.h"

#include "editors/cxLookAndFeelPainters.h"
#include "editors/dxThemeManager.h"

TcxLookAndFeelPainterClass ChooseButtonPainter(TcxLookAndFeel* ALookAndFeel) {
  TcxLookAndFeelPainterClass painter = ALookAndFeel->Painter();
  if (painter->PainterStyle() != pstOffice11) return painter;
  if (VisualStylesActive() && IsThemeClassAvailable(tcButton)) return TcxWinXPLookAndFeelPainter::Instance();
  return TcxStandardLookAndFeelPainter::Instance();
}
