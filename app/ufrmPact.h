#pragma once
// The contract list: the contracts found by type, state and search, and everything that
// belongs to the current one: its documents, fund plan, delivery plan and invoices, its notes,
// its customer's and project's particulars, and the totals of its planned and settled receipts
// and payments. It owns no queries; it works on the data module's qryPact and the detail
// queries, and follows the current contract through the hidden edit edtPactCode.
//
// Its components are those of the layout forms/TfrmPact.txt; the tool bar and the contract
// grid's popup run the main window's actions.
#include "forms/TfrmPact.h"
#include "gui/Forms.h"

#include <utility>
#include <vector>

class TDataSet;
struct TListSearch;

// The amounts of a search's contracts by contract type, as the chart draws them.
String PactChartSQL(const String& SearchSQL);

class TfrmPact : public TfrmPactLayout<TForm> {
  KELM_CLASS(TfrmPact, TfrmPactLayout<TForm>)
public:
  explicit TfrmPact(TComponent* AOwner) : inherited(AOwner) {}
  ~TfrmPact() override;

  // The state picked with the radio buttons; empty means every state.
  String StateFilter;
  // The grouped statement of the last search that ran; the chart window charts it.
  String ChartSQL;

  // The search the panel, the tree and the radio buttons describe now: the key in the column
  // the search-field box names, the date range, and the type (with its sub-types), state,
  // customer and project when given.
  TListSearch CurrentSearch() const;
  // Loads what follows the current contract: the four detail lists with their columns and
  // page captions, the notes, the customer and project panels and the totals. The contract
  // dialog calls it after an edit.
  void LoadCurrentContract();
  // Shows the list as a search shows it, after any change to its rows (an add, an edit, a
  // delete, a state change, a restore): the columns and titles from T_FieldShow, the count, and
  // the current contract's details, notes, panels and totals; the current row stays. A query
  // closed by a restore opens again on the contract noted before.
  void RefreshView();
  // Notes the current contract, for RefreshView after the query was closed.
  void NoteCurrentRow();
  // Writes State into every selected contract, in one transaction: all of them or, when one
  // fails, none. Rows no longer in the list are skipped; nothing happens without a selection.
  void SetSelectedState(const String& State);

  static const char* const WindowCaption;    // "合同信息"
  static const char* const TypeRootText;     // "合同类别"

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void Btn_SearchClick(TObject* Sender);
  void RadioButton1Click(TObject* Sender);
  void tvPactTypeDblClick(TObject* Sender);
  void edtPactCodeChange(TObject* Sender);
  void dgPactDblClick(TObject* Sender);
  void N13Click(TObject* Sender);
  void N14Click(TObject* Sender);
  void N15Click(TObject* Sender);
  void N16Click(TObject* Sender);
  void N8Click(TObject* Sender);
  void N9Click(TObject* Sender);
  void N10Click(TObject* Sender);
  void N11Click(TObject* Sender);
  void N1Click(TObject* Sender);
  void N2Click(TObject* Sender);
  void btnAddFPClick(TObject* Sender);
  void btnDelFPClick(TObject* Sender);
  void btnPostFPClick(TObject* Sender);
  void N5Click(TObject* Sender);
  void N6Click(TObject* Sender);
  void N4Click(TObject* Sender);
  void MenuItem4Click(TObject* Sender);
  void MenuItem8Click(TObject* Sender);
  void MenuItem10Click(TObject* Sender);
  void N18Click(TObject* Sender);
  void TB_ExitClick(TObject* Sender);

private:
  // The detail grids have their columns from T_FieldShow for this showing, and these titles
  // by field, which every reload gives the detail queries' new fields.
  bool FDetailColumnsBuilt = false;
  std::vector<std::vector<std::pair<String, String>>> FDetailTitles;
  String FNotedCode;

  void LoadDetails(const String& Code);
  void LoadPanels();
  void LoadTotals(const String& Code);
  // Sets the current plan row's f_check (and, marked done, its settlement date).
  void SetPlanState(TDataSet* Plan, const String& State, bool Settles);
  void SaveColumnsOf(TMenuItem* TfrmPactComponents::*Item);
};

extern TfrmPact* frmPact;
