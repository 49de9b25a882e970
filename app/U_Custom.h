#pragma once
// The customer list "往来单位档案维护": the customers of t_custom in the grid dgCust over the
// data module's Qry_Cust, searched by one field, with the contacts of the current customer
// below. Its tool bar and popup run the main window's customer commands.
#include "forms/TFrm_Custom.h"
#include "gui/Forms.h"

class TFrm_Custom : public TFrm_CustomLayout<TForm> {
  KELM_CLASS(TFrm_Custom, TFrm_CustomLayout<TForm>)
public:
  explicit TFrm_Custom(TComponent* AOwner) : inherited(AOwner) {}
  ~TFrm_Custom() override;

  static const char* const NoFieldText;  // "请选择一种查询条件进行查询！"
  // The statement the list opens with: every customer in the order they were made.
  static const char* const AllCustomersSQL;

  // Shows the list as a search shows it, after any change to its rows (an add, an edit, a
  // delete, a restore): the columns and titles from T_FieldShow, the count, and the current
  // customer's contacts; the current row stays. A query closed by a restore opens again on
  // the customer noted before.
  void RefreshView();
  // Notes the current customer, for RefreshView after the query was closed.
  void NoteCurrentRow();

  // ---- handlers named by the layout
  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormKeyPress(TObject* Sender, Char& Key);
  void TB_ExitClick(TObject* Sender);
  void Btn_SearchClick(TObject* Sender);
  void dbedtCustCodeChange(TObject* Sender);
  void dgCustDblClick(TObject* Sender);
  void dgCustSortMarkingChanged(TObject* Sender);
  void N4Click(TObject* Sender);
  void N5Click(TObject* Sender);
  void N6Click(TObject* Sender);
  void N7Click(TObject* Sender);

private:
  void FillSearchFields();
  // The contacts of the current customer, with their columns.
  void LoadContacts();

  String FNotedCode;
};

extern TFrm_Custom* Frm_Custom;
