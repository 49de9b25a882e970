#include "report/designer/frxDialogFrame.h"

#include "gui/Messages.h"
#include "report/frxRes.h"

void DialogHelpKey(const TObject* Dialog, Word Key) {
  if (Key == VK_F1) ReportResources()->ShowHelpFor(Dialog);
}
