#pragma once
// Data initialisation: the clearing steps of Dict_ClearData that are offered, all ticked; the
// ticked ones run in one transaction, all or none. The steps' statements come from the data,
// so each may only delete rows of the program's tables; any other is refused and shown.
#include "forms/TFrm_ClearData.h"
#include "gui/Forms.h"

class TFrm_ClearData : public TFrm_ClearDataLayout<TForm> {
  KELM_CLASS(TFrm_ClearData, TFrm_ClearDataLayout<TForm>)
public:
  explicit TFrm_ClearData(TComponent* AOwner) : inherited(AOwner) {}

  static const char* const Question;    // the warning asked before anything runs
  static const char* const DoneText;    // "数据初始化成功!"
  static const char* const FailedText;  // "数据初始化失败!"
  // The second line of the failure when a step's statement does more than delete rows; the
  // statement follows.
  static const char* const RefusedText;

  // Fills the list with the offered steps, each ticked.
  void LoadActions();

  // ---- handlers named by the layout
  void FormShow(TObject* Sender);
  void Btn_OKClick(TObject* Sender);
  void Btn_ExitClick(TObject* Sender);

private:
  void RunTicked();
  void RefreshOpenLists();
};
