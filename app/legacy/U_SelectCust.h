#pragma once
// The customer picker "请选择客户": customers in a grid beside their category tree, narrowed
// as the user types into its code, name and contact edits; "选中返回" or a double click hands
// the chosen customer's name to the window that opened it (caller modes 6 and 9). New
// customers are added from here, and the category tree kept.
#include "forms/TFrm_SelectCust.h"
#include "gui/Forms.h"

class TFrm_SelectCust : public TFrm_SelectCustLayout<TForm> {
  KELM_CLASS(TFrm_SelectCust, TFrm_SelectCustLayout<TForm>)
public:
  explicit TFrm_SelectCust(TComponent* AOwner) : inherited(AOwner) {}
  ~TFrm_SelectCust() override;

  // ---- set by the opener
  int CallerMode = 0;

  static const char* const ColumnSet;  // "SelectCust"

  // Customers of the typed code (the whole code), with the name and contact containing
  // their typed parts; every customer when the edits are empty. Grid and count follow.
  void Search();
  // The current customer's name into the opener of modes 6 and 9, then closes.
  void ReturnSelection();

  // ---- handlers named by the layout
  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void Btn_SelectClick(TObject* Sender);
  void BitBtn1Click(TObject* Sender);
  void btRefuClick(TObject* Sender);
  void Button1Click(TObject* Sender);
  void DBGridEh1DblClick(TObject* Sender);
  void TreeView1DblClick(TObject* Sender);
  void Edit_CodeKeyUp(TObject* Sender, Word& Key, TShiftState Shift);
  void Edit_NameKeyUp(TObject* Sender, Word& Key, TShiftState Shift);
  void Edit_ContactKeyUp(TObject* Sender, Word& Key, TShiftState Shift);
  void N1Click(TObject* Sender);
  void N2Click(TObject* Sender);

private:
  // Opens the grid on SQL; the count in the status bar as Count gives it (none when null).
  void ShowRows(const String& SQL, String (*Count)(int));
};

extern TFrm_SelectCust* Frm_SelectCust;
