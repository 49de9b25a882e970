#pragma once
// The receipt and payment schedules: the planned fund rows of every contract, searched by
// contract type, completion, planned dates, names and settlement method, and marked settled.
// The two windows share this one implementation; they differ only in the values of their
// kind (TMoneyKind) and in the names their layouts give the grid and its popup menu.
#include "gui/Forms.h"
#include "gui/Grids.h"

class TADOQuery;
class TColumnEh;
class TComboBox;
class TDateTimePicker;
class TDBGridEh;
class TEdit;
class TFrm_DataComponents;
class TStatusBar;
class TTreeView;

// The column every listed fund-plan row carries: the days from Today to its planned date,
// negative once it has passed ("jhdate-#yyyy-mm-dd# as xcday").
String DaysToGoColumn(TDateTime Today);

// What sets one schedule apart from the other.
struct TMoneyKind {
  const char* Caption;     // the window's caption
  const char* ZjType;      // the fund rows listed: "收款" or "付款"
  bool WithSubTypes;       // a type node lists its sub-types' rows as well
  TADOQuery* TFrm_DataComponents::*Query;  // the data module's query the grid shows
  const char* ListName;    // the T_FieldShow list of the grid's columns
  const char* PrintTitle;  // the print preview's title
};
extern const TMoneyKind ReceiptKind;  // "收款查询"
extern const TMoneyKind PaymentKind;  // "付款查询"

class TMoneySchedule : public TForm {
  KELM_CLASS(TMoneySchedule, TForm)
public:
  TMoneySchedule(TComponent* AOwner, const TMoneyKind& Kind);

  static const char* const SettledText;    // "已完成"
  static const char* const AllStatesText;  // "全部"

  const TMoneyKind& Kind() const { return FKind; }
  TADOQuery* Query() const;
  TDBGridEh* Grid() const { return F.Grid; }
  // The search statement the window's fields make, with the days counted from Today.
  String SearchSQL(TDateTime Today) const;
  // The type code of a tree node's text: the text before its first "-"; '' when it has none.
  static String TypeCodeOf(const String& NodeText);

  // ---- handlers named by the layouts
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void Btn_SearchClick(TObject* Sender);
  void tvPactTypeDblClick(TObject* Sender);
  void N8Click(TObject* Sender);
  void MenuItem1Click(TObject* Sender);
  void btnExpClick(TObject* Sender);
  void btnPrintClick(TObject* Sender);
  void btnCloseClick(TObject* Sender);

protected:
  // The controls both layouts hold, each window's own once its layout has loaded.
  struct TControls {
    TTreeView* Types = nullptr;
    TDateTimePicker* BeginDate = nullptr;
    TDateTimePicker* EndDate = nullptr;
    TComboBox* CompletionList = nullptr;
    TEdit* PactName = nullptr;
    TEdit* PrjName = nullptr;
    TEdit* PrjMan = nullptr;
    TEdit* CustName = nullptr;
    TComboBox* Method = nullptr;
    TDBGridEh* Grid = nullptr;
    TStatusBar* Status = nullptr;
  };
  void BindControls(const TControls& Controls) { F = Controls; }
  // The grid's cell drawing: a settled row's cells drawn again in white on green.
  void DrawSettledCell(const TRect& Rect, int DataCol, TColumnEh* Column, TGridDrawState State);

private:
  // Opens SQL on the window's query, rebuilds the columns and tells the row count.
  void OpenRows(const String& SQL);
  void FillMethods();

  const TMoneyKind& FKind;
  TControls F;
  // The last search, run again after a row is marked settled.
  String FSearchSQL;
};
