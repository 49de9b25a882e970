#pragma once
// The designer's report wizards: a banded list report built from one data set in five steps
// (standard or dot-matrix), and the two wizards that start an empty standard or dot-matrix
// report. All four are in the wizard registry from start-up on.
#include "forms/TfrxStdWizardForm.h"
#include "gui/Forms.h"
#include "report/frxClassBases.h"

#include <memory>

class TfrxDataSet;
class TfrxReport;
class TfrxStyleSheet;
class TfrxStyles;

class TfrxStdWizard : public TfrxCustomWizard {
  KELM_CLASS(TfrxStdWizard, TfrxCustomWizard)
public:
  explicit TfrxStdWizard(TComponent* AOwner) : TfrxCustomWizard(AOwner) {}
  String Description() const override;
  bool Execute() override;
};

class TfrxDotMatrixWizard : public TfrxCustomWizard {
  KELM_CLASS(TfrxDotMatrixWizard, TfrxCustomWizard)
public:
  explicit TfrxDotMatrixWizard(TComponent* AOwner) : TfrxCustomWizard(AOwner) {}
  String Description() const override;
  bool Execute() override;
};

class TfrxStdEmptyWizard : public TfrxCustomWizard {
  KELM_CLASS(TfrxStdEmptyWizard, TfrxCustomWizard)
public:
  explicit TfrxStdEmptyWizard(TComponent* AOwner) : TfrxCustomWizard(AOwner) {}
  String Description() const override;
  bool Execute() override;
};

class TfrxDMPEmptyWizard : public TfrxCustomWizard {
  KELM_CLASS(TfrxDMPEmptyWizard, TfrxCustomWizard)
public:
  explicit TfrxDMPEmptyWizard(TComponent* AOwner) : TfrxCustomWizard(AOwner) {}
  String Description() const override;
  bool Execute() override;
};

// The built-in style sheet of the wizard: four collections of six styles each.
void FillWizardStyleSheet(TfrxStyleSheet* Sheet);

// The wizard window. It builds the new report only on Finish: closed any other way it leaves
// the report as it found it.
class TfrxStdWizardForm : public TfrxStdWizardFormLayout<TForm> {
  KELM_CLASS(TfrxStdWizardForm, TfrxStdWizardFormLayout<TForm>)
public:
  explicit TfrxStdWizardForm(TComponent* AOwner);
  ~TfrxStdWizardForm() override;

  void Setup(TfrxCustomDesigner* Designer, TfrxReport* Report, bool DotMatrix);
  TfrxStyleSheet* StyleSheet() const { return FStyleSheet.get(); }
  TfrxReport* LayoutSample() const { return FLayoutSample.get(); }
  TfrxReport* StyleSample() const { return FStyleSample.get(); }
  // The data set chosen in DatasetsCB; nullptr when the box is empty.
  TfrxDataSet* ChosenDataSet() const;

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void DatasetsCBClick(TObject* Sender);
  void NewTableBClick(TObject* Sender);
  void NewQueryBClick(TObject* Sender);
  void AddFieldBClick(TObject* Sender);
  void AddAllFieldsBClick(TObject* Sender);
  void RemoveFieldBClick(TObject* Sender);
  void RemoveAllFieldsBClick(TObject* Sender);
  void FieldUpBClick(TObject* Sender);
  void FieldDownBClick(TObject* Sender);
  void GroupsTabShow(TObject* Sender);
  void AddGroupBClick(TObject* Sender);
  void RemoveGroupBClick(TObject* Sender);
  void GroupUpBClick(TObject* Sender);
  void GroupDownBClick(TObject* Sender);
  void PortraitRBClick(TObject* Sender);
  void TabularRBClick(TObject* Sender);
  void StyleLBClick(TObject* Sender);
  void LayoutPBPaint(TObject* Sender);
  void StylePBPaint(TObject* Sender);
  void BackBClick(TObject* Sender);
  void NextBClick(TObject* Sender);
  void FinishBClick(TObject* Sender);

private:
  void FillFields();
  void ResetGroups();
  void UpdateButtons();
  void RunDataWizard(const String& ClassName);
  void BuildReport();

  TfrxCustomDesigner* FDesigner = nullptr;
  TfrxReport* FReport = nullptr;
  bool FDotMatrix = false;
  std::unique_ptr<TfrxStyleSheet> FStyleSheet;
  std::unique_ptr<TfrxReport> FLayoutSample, FStyleSample;
};
