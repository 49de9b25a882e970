#pragma once
// The bill search "查看所有单据": an MDI list of the bills of T_Bill, narrowed by the bill's
// own columns and by those of its lines (through the view S_BillDetail); a bill several of
// whose lines match is listed once. No bill window belongs to the system, so opening a bill
// does nothing.
#include "forms/TFrm_AllBill.h"
#include "gui/Forms.h"

#include <vector>

class TFrm_AllBill : public TFrm_AllBillLayout<TForm> {
  KELM_CLASS(TFrm_AllBill, TFrm_AllBillLayout<TForm>)
public:
  explicit TFrm_AllBill(TComponent* AOwner) : inherited(AOwner) {}
  ~TFrm_AllBill() override;

  static const char* const ColumnSet;     // "AllBill"
  static const char* const AllBillsSQL;   // "select * from T_Bill order by BillCode"
  static const char* const NotFoundText;  // "没有找到您想要的单据!"

  // Every bill, the columns built and the count in the main window's status bar.
  void LoadBills();
  // The search's conditions on S_BillDetail, in order, from the filled criteria and the two
  // dates (the to-date takes the whole of its day).
  std::vector<String> SearchConditions() const;
  // The bills of the conditions' lines, each once: "select * from T_Bill where BillCode
  // in(...)"; '' when no line matches.
  static String BillsOfLinesSQL(const std::vector<String>& Conditions);
  // Nothing: no bill window belongs to the system.
  void OpenBill();

  // ---- handlers named by the layout
  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void Btn_SearchClick(TObject* Sender);
  void BitBtn1Click(TObject* Sender);
  void BitBtn2Click(TObject* Sender);
  void Btn_BillClick(TObject* Sender);
  void DBGridEh1DblClick(TObject* Sender);
  void DBGridEh1SortMarkingChanged(TObject* Sender);
  void Edit_CustButtonClick(TObject* Sender);
  void Edit_ProjectCodeButtonClick(TObject* Sender);
  void Edit_ProjectNameButtonClick(TObject* Sender);

private:
  void ShowBills(const String& SQL);
  void PickProject(int Mode);
};

extern TFrm_AllBill* Frm_AllBill;
