#include "report/designer/frxDialogFrame.h"

#include "core/IniFiles.h"
#include "gui/Forms.h"
#include "gui/Messages.h"
#include "report/frxClass.h"
#include "report/frxClassBases.h"
#include "report/frxRes.h"

void DialogHelpKey(const TObject* Dialog, Word Key) {
  if (Key == VK_F1) ReportResources()->ShowHelpFor(Dialog);
}

void RestoreDialogLayout(TCustomIniFile* Store, TForm* Dialog) {
  const String section = "Form." + Dialog->ClassName();
  Store->WriteBool(section, "Visible", true);
  if (Store->ReadBool(section, "Maximized", false)) {
    Dialog->SetWindowState(wsMaximized);
  } else {
    Dialog->SetBounds(Store->ReadInteger(section, "Left", Dialog->Left()), Store->ReadInteger(section, "Top", Dialog->Top()),
                      Store->ReadInteger(section, "Width", Dialog->Width()),
                      Store->ReadInteger(section, "Height", Dialog->Height()));
  }
}

void SaveDialogLayout(TCustomIniFile* Store, TForm* Dialog) {
  const String section = "Form." + Dialog->ClassName();
  const bool maximized = Dialog->WindowState() == wsMaximized;
  Store->WriteBool(section, "Maximized", maximized);
  if (!maximized) {
    Store->WriteInteger(section, "Left", Dialog->Left());
    Store->WriteInteger(section, "Top", Dialog->Top());
    Store->WriteInteger(section, "Width", Dialog->Width());
    Store->WriteInteger(section, "Height", Dialog->Height());
  }
  Store->WriteBool(section, "Visible", Dialog->Visible());
}

std::unique_ptr<TCustomIniFile> DialogSettingsStore(const TComponent* Dialog) {
  auto* designer = dynamic_cast<TfrxCustomDesigner*>(Dialog->Owner());
  return designer && designer->Report() ? designer->Report()->OpenSettingsStore() : nullptr;
}
