#include "app/legacy/U_SelectProject.h"

#include "app/SqlText.h"
#include "app/TreeCodes.h"
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "app/legacy/LegacyPickers.h"
#include "app/legacy/LegacyWindows.h"
#include "app/legacy/LegacyOpeners.h"
#include "core/ClassBuilder.h"
#include "core/Scope.h"
#include "data/ADODB.h"
#include "gui/TreeView.h"

TFrm_SelectProject* Frm_SelectProject = nullptr;

const char* const TFrm_SelectProject::ColumnSet = "SelectProject";
const char* const TFrm_SelectProject::TreeRoot = "项目分类";

KELM_PUBLISH(TFrm_SelectProject) {
  b.Method("FormShow", &TFrm_SelectProject::FormShow);
  b.Method("Btn_FindClick", &TFrm_SelectProject::Btn_FindClick);
  b.Method("Btn_AddClick", &TFrm_SelectProject::Btn_AddClick);
  b.Method("Btn_SelectClick", &TFrm_SelectProject::Btn_SelectClick);
  b.Method("Btn_CloseClick", &TFrm_SelectProject::Btn_CloseClick);
  b.Method("DBGridEh1DblClick", &TFrm_SelectProject::DBGridEh1DblClick);
  b.Method("TreeView1DblClick", &TFrm_SelectProject::TreeView1DblClick);
  b.Method("Edit_ProjectCodeKeyUp", &TFrm_SelectProject::Edit_ProjectCodeKeyUp);
  b.Method("Edit_ProjectNameKeyUp", &TFrm_SelectProject::Edit_ProjectNameKeyUp);
  b.Method("Edit_GCNameKeyUp", &TFrm_SelectProject::Edit_GCNameKeyUp);
  b.Method("N1Click", &TFrm_SelectProject::N1Click);
}

namespace {

// The value each caller mode takes.
struct TProjectReturn {
  int Mode;
  const char* Column;
};
const TProjectReturn kReturns[] = {{1, "ProjectCode"}, {2, "ProjectName"}, {4, "ProjectName"}};

}  // namespace

TFrm_SelectProject::~TFrm_SelectProject() {
  if (Frm_SelectProject == this) Frm_SelectProject = nullptr;
}

void TFrm_SelectProject::ShowRows(const String& SQL) {
  Frm_Main->ShowListSearch(Qry_Select, SQL, DBGridEh1, ColumnSet, StatusBar1, nullptr);
}

void TFrm_SelectProject::FormShow(TObject*) {
  SetCaption("选择项目");
  for (TEdit* e : {Edit_ProjectCode, Edit_ProjectName, Edit_GCName}) e->SetText("");
  ShowRows("select * from T_Project");
  Frm_Main->FillCodeTree(TreeView1, "Category_Project", TreeRoot);
}

void TFrm_SelectProject::Search() {
  ShowRows(LegacySearchSQL("T_Project", LegacyLikes({{"ProjectCode", Edit_ProjectCode->Text()},
                                                 {"ProjectName", Edit_ProjectName->Text()},
                                                 {"GCName", Edit_GCName->Text()}})));
}

void TFrm_SelectProject::Btn_FindClick(TObject*) { Search(); }
void TFrm_SelectProject::Edit_ProjectCodeKeyUp(TObject*, Word&, TShiftState) { Search(); }
void TFrm_SelectProject::Edit_ProjectNameKeyUp(TObject*, Word&, TShiftState) { Search(); }
void TFrm_SelectProject::Edit_GCNameKeyUp(TObject*, Word&, TShiftState) { Search(); }

void TFrm_SelectProject::TreeView1DblClick(TObject*) {
  TTreeNode* node = TreeView1->Selected();
  if (TreeView1->Items()->Count() == 0 || !node) return;
  // The category and all below it: codes grow two digits a level, so a prefix finds them.
  String code = TreeNodeCode(node);
  ShowRows(code.empty() ? String("select * from T_Project order by Projectcode")
                    : "select * from T_Project where ProjectType like " + SqlStr(code + "%") + " order by Projectcode");
}

void TFrm_SelectProject::N1Click(TObject*) { Frm_Main->FillCodeTree(TreeView1, "Category_Project", TreeRoot); }

void TFrm_SelectProject::ReturnSelection() {
  if (!Qry_Select->Active() || Qry_Select->IsEmpty()) return;
  for (const TProjectReturn& r : kReturns)
    if (r.Mode == CallerMode &&
        DeliverLegacyPick(TLegacyPicker::Project, CallerMode, Qry_Select->FieldByName(r.Column)->AsString())) {
      Close();
      return;
    }
}

// The new projects show in the list at once, under the search typed.
void TFrm_SelectProject::Btn_AddClick(TObject*) {
  ShowLegacyProjectDialog(this, 1);
  Search();
}

void TFrm_SelectProject::Btn_SelectClick(TObject*) { ReturnSelection(); }
void TFrm_SelectProject::DBGridEh1DblClick(TObject*) { ReturnSelection(); }
void TFrm_SelectProject::Btn_CloseClick(TObject*) { Close(); }
