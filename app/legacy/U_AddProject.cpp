#include "app/legacy/U_AddProject.h"

#include "app/U_tree.h"
#include "app/legacy/LegacyDialog.h"
#include "app/legacy/LegacyOpeners.h"
#include "app/legacy/LegacyPickers.h"
#include "app/legacy/LegacyProjects.h"
#include "app/legacy/LegacyWindows.h"
#include "core/ClassBuilder.h"
#include "core/SysUtils.h"
#include "gui/Application.h"
#include "gui/Dialogs.h"

#include <memory>

TFrm_AddProject* Frm_AddProject = nullptr;

KELM_PUBLISH(TFrm_AddProject) {
  b.Method("FormShow", &TFrm_AddProject::FormShow);
  b.Method("Btn_OKClick", &TFrm_AddProject::Btn_OKClick);
  b.Method("BitBtn1Click", &TFrm_AddProject::BitBtn1Click);
  b.Method("Edit_TypeButtonClick", &TFrm_AddProject::Edit_TypeButtonClick);
  b.Method("Edit_custButtonClick", &TFrm_AddProject::Edit_custButtonClick);
  b.Method("DBNavigator1Click", &TFrm_AddProject::DBNavigator1Click);
}

namespace {

const int kTreeMode = 10;
const int kUnitMode = 1;

const bool kCallersAdded = [] {
  RegisterTreeCaller(kTreeMode, Frm_AddProject, &TFrm_AddProject::TypeCode, &TFrm_AddProject::Edit_Type);
  RegisterLegacyPickTarget(TLegacyPicker::Unit, kUnitMode, Frm_AddProject, &TFrm_AddProject::Edit_cust);
  return true;
}();

}  // namespace

TFrm_AddProject::~TFrm_AddProject() {
  if (Frm_AddProject == this) Frm_AddProject = nullptr;
}

void ShowLegacyProjectDialog(TComponent* Owner, int AddMode) {
  std::unique_ptr<TFrm_AddProject> dialog(CreateForm<TFrm_AddProject>(Owner, &Frm_AddProject));
  dialog->AddMode = AddMode;
  dialog->ShowModal();
}

void TFrm_AddProject::FormShow(TObject*) {
  Frm_AddProject = this;
  CaptionLegacyNavigator(DBNavigator1);
  FillLegacyCombo(Combo_dw, "Dict_Units");
  if (AddMode == 1) {
    ClearFields();
    SetCaption(LegacyProjectKind().AddCaption);
  } else {
    LoadFields();
    SetCaption(LegacyProjectKind().EditCaption);
  }
}

void TFrm_AddProject::ClearFields() {
  for (const TLegacyField& f : LegacyProjectKind().Fields) {
    if (f.Kind == TLegacyValueKind::Text || f.Kind == TLegacyValueKind::Code)
      static_cast<TControl*>(FindComponent(f.Control))->SetText("");
    else if (f.Kind == TLegacyValueKind::Amount)
      static_cast<TControl*>(FindComponent(f.Control))->SetText("0");
  }
}

void TFrm_AddProject::LoadFields() {
  TLegacyValues values;
  String category;
  if (!ReadLegacyProject(values, category)) return;
  ShowLegacyValues(this, values);
  TypeCode = FindLegacyValue(values, "ProjectType")->Text;
  Edit_Type->SetText(category);
  OldCode = FindLegacyValue(values, "ProjectCode")->Text;
}

void TFrm_AddProject::DBNavigator1Click(TObject*, TNavigateBtn) {
  // The fields follow the row the navigator moved to, so an edit saves what it shows.
  if (AddMode != 1) LoadFields();
}

void TFrm_AddProject::Focus(const String& Control) {
  auto* c = dynamic_cast<TWinControl*>(FindComponent(Control));
  if (c && c->CanFocus()) c->SetFocus();
}

void TFrm_AddProject::Btn_OKClick(TObject*) {
  TLegacyValues values = ReadLegacyControls(this, LegacyProjectKind().Fields, TypeCode);
  try {
    SaveLegacyProject(AddMode, values);
  } catch (const ELegacyCheck& e) {
    Application->MessageBox(e.Message(), "警告", MB_OK | MB_ICONINFORMATION);
    Focus(e.Control());
    return;
  } catch (const ELegacyAmount& e) {
    MessageDlg(e.Message(), mtError, {mbOK}, 0);
    Focus(e.Control());
    return;
  } catch (const Exception&) {
    MessageDlg("数据出错,数据不能保存!", mtInformation, {mbOK}, 0);
    return;
  }
  if (AddMode == 1) ClearFields();
  else OldCode = FindLegacyValue(values, "ProjectCode")->Text;
}

void TFrm_AddProject::BitBtn1Click(TObject*) { Close(); }

void TFrm_AddProject::Edit_TypeButtonClick(TObject*) {
  Frm_AddProject = this;
  ShowLegacyTreePicker(this, "Category_Project", "项目分类", kTreeMode);
}

void TFrm_AddProject::Edit_custButtonClick(TObject*) {
  Frm_AddProject = this;
  ShowLegacyUnitPicker(this, kUnitMode);
}
