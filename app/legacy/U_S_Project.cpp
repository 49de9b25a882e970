#include "app/legacy/U_S_Project.h"

#include "app/U_Data.h"
#include "app/legacy/LegacyWindows.h"
#include "core/ClassBuilder.h"
#include "data/ADODB.h"

TFrm_S_Project* Frm_S_Project = nullptr;

KELM_PUBLISH(TFrm_S_Project) {
  b.Method("FormCreate", &TFrm_S_Project::FormCreate);
  b.Method("FormShow", &TFrm_S_Project::FormShow);
  b.Method("Btn_OKClick", &TFrm_S_Project::Btn_OKClick);
  b.Method("BitBtn1Click", &TFrm_S_Project::BitBtn1Click);
}

TFrm_S_Project::~TFrm_S_Project() {
  if (Frm_S_Project == this) Frm_S_Project = nullptr;
}

void TFrm_S_Project::FormCreate(TObject*) {
  for (TEdit* e : {Edit_ProjectCode, Edit_ProjectName, Edit_GCName, Edit_Leader}) e->SetText("");
}

void TFrm_S_Project::FormShow(TObject*) { SetCaption("查询项目"); }

String TFrm_S_Project::SearchSQL() const {
  return LegacySearchSQL("T_Project", LegacyLikes({{"ProjectCode", Edit_ProjectCode->Text()},
                                                   {"ProjectName", Edit_ProjectName->Text()},
                                                   {"GCName", Edit_GCName->Text()},
                                                   {"Leader", Edit_Leader->Text()}}));
}

// The list of the found projects is the project query itself: whichever window shows it
// shows the result.
void TFrm_S_Project::Btn_OKClick(TObject*) {
  Frm_Data->OpenQuery(Frm_Data->Qry_Project, SearchSQL());
  Close();
}

void TFrm_S_Project::BitBtn1Click(TObject*) { Close(); }
