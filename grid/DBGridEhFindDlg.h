#pragma once
// The grid's find dialog: searches the records of a grid's dataset for a text in one column
// or in all the columns listed, down, up or from the first record ("全部"), matching anywhere,
// the whole value or its beginning, with or without case and in the displayed or the stored
// text. One dialog, owned by the application, serves every grid; the grid opens it with Ctrl+F
// through TCustomDBGridEh::OpenFindDialogHook, which this unit sets.
#include "forms/TDBGridEhFindDlg.h"
#include "grid/DBCheckBoxEh.h"
#include "grid/DBEditEh.h"
#include "grid/DBGridEh.h"
#include "gui/Forms.h"

#include <memory>
#include <vector>

class TDBGridEhFindDlg : public TDBGridEhFindDlgLayout<TForm> {
  KELM_CLASS(TDBGridEhFindDlg, TDBGridEhFindDlgLayout<TForm>)
public:
  explicit TDBGridEhFindDlg(TComponent* AOwner);
  ~TDBGridEhFindDlg() override;

  // A column the caller offers, with the caption the column choice shows for it.
  struct TColumnChoice {
    String Caption;
    TColumnEh* Column = nullptr;
  };
  // Shows the dialog for Grid with Text to find: modal, or stay-on-top and focused. Without
  // Columns the grid's visible columns are offered; "<全部>" is always the last choice.
  void Execute(TCustomDBGridEh* Grid, const String& Text, const std::vector<TColumnChoice>& Columns, bool Modal);
  TCustomDBGridEh* Grid() const { return FGrid; }
  // The columns the next search walks, and where in them it stands.
  const TColumnsEhList* SearchColumns() const { return FColumns.get(); }
  int ColumnIndex() const { return FColumnIndex; }
  // Searches from the last match (or the start on a first try); true when found.
  bool FindNext(bool Reverse);

  // ---- handlers named by the layout
  void bFindClick(TObject* Sender);
  void bCancelClick(TObject* Sender);
  void cbTextChange(TObject* Sender);
  void cbFindInChange(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void FillColumnChoice(const std::vector<TColumnChoice>& Columns);
  void RebuildColumns();
  // The search's settings, read once per search: the walk compares hundreds of thousands of
  // cells against the same (upper-cased) text.
  struct TFindRule {
    bool CaseSensitive = false;
    bool UseFormat = false;
    int MatchKind = 0;
    String Text;  // upper-cased unless case-sensitive
  };
  TFindRule CurrentRule(const String& Text) const;
  static String ValueOf(TColumnEh* Column, const TFindRule& Rule);
  static bool Matches(const String& Value, const TFindRule& Rule);
  bool Step(bool Forward);
  TCustomDBGridEh* FGrid = nullptr;
  std::unique_ptr<TColumnsEhList> FColumns;
  std::vector<TColumnEh*> FChoiceColumns;  // by the index of cbFindIn's items
  int FColumnIndex = 0;
  bool FFirstTry = true;
  bool FFilling = false;
};

// The shared dialog, made on first use.
TDBGridEhFindDlg* DBGridEhFindDlg();
// What the grid calls for Ctrl+F.
void OpenGridFindDialogEh(TCustomDBGridEh* Grid, bool Modal, const String& Text);
