#pragma once
// The project search "查询项目": reopens the data module's project query on the projects whose
// code, name, works or person in charge contain the typed parts.
#include "forms/TFrm_S_Project.h"
#include "gui/Forms.h"

class TFrm_S_Project : public TFrm_S_ProjectLayout<TForm> {
  KELM_CLASS(TFrm_S_Project, TFrm_S_ProjectLayout<TForm>)
public:
  explicit TFrm_S_Project(TComponent* AOwner) : inherited(AOwner) {}
  ~TFrm_S_Project() override;

  // The statement of the four edits: every project when they are empty.
  String SearchSQL() const;

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void Btn_OKClick(TObject* Sender);
  void BitBtn1Click(TObject* Sender);
};

extern TFrm_S_Project* Frm_S_Project;
