// The find dialog: the column choice, the walk over columns and records, matching and keys.
#include "grid/DBGridEhFindDlg.h"

#include "core/ClassBuilder.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "core/Scope.h"
#include "grid/GridConstsEh.h"
#include "gui/Application.h"
#include "gui/Dialogs.h"

KELM_PUBLISH(TDBGridEhFindDlg) {
  b.Method("bFindClick", &TDBGridEhFindDlg::bFindClick);
  b.Method("bCancelClick", &TDBGridEhFindDlg::bCancelClick);
  b.Method("cbTextChange", &TDBGridEhFindDlg::cbTextChange);
  b.Method("cbFindInChange", &TDBGridEhFindDlg::cbFindInChange);
  b.Method("FormKeyDown", &TDBGridEhFindDlg::FormKeyDown);
}

namespace {

TDBGridEhFindDlg* GFindDialog = nullptr;

const char* const kAllColumns = "<全部>";

// What the match-kind combo's items stand for.
enum TMatchKind { mkAnywhere = 0, mkWhole = 1, mkBeginning = 2 };
// What the direction combo's items stand for.
enum TDirection { dirUp = 0, dirDown = 1, dirAll = 2 };

// The grid opens the dialog through its hook, set when this unit is loaded.
const bool kHookSet = [] {
  TCustomDBGridEh::OpenFindDialogHook = &OpenGridFindDialogEh;
  return true;
}();

}  // namespace

TDBGridEhFindDlg::TDBGridEhFindDlg(TComponent* AOwner) : inherited(AOwner) {
  FColumns = std::make_unique<TColumnsEhList>();
}

TDBGridEhFindDlg::~TDBGridEhFindDlg() {
  if (GFindDialog == this) GFindDialog = nullptr;
}

void TDBGridEhFindDlg::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FGrid) {
    FGrid = nullptr;
    FColumns->Clear();
    FChoiceColumns.clear();
  }
}

TDBGridEhFindDlg* DBGridEhFindDlg() {
  if (!GFindDialog) CreateForm<TDBGridEhFindDlg>(Application, &GFindDialog);
  return GFindDialog;
}

void OpenGridFindDialogEh(TCustomDBGridEh* Grid, bool Modal, const String& Text) {
  DBGridEhFindDlg()->Execute(Grid, Text, {}, Modal);
}

// ---------------------------------------------------------------- showing

void TDBGridEhFindDlg::FillColumnChoice(const std::vector<TColumnChoice>& Columns) {
  TRestore filling(FFilling, true);
  cbFindIn->Items()->BeginUpdate();
  cbFindIn->KeyItems()->BeginUpdate();
  cbFindIn->Items()->Clear();
  cbFindIn->KeyItems()->Clear();
  FChoiceColumns.clear();
  auto add = [&](const String& Caption, TColumnEh* Column) {
    cbFindIn->Items()->Add(Caption);
    cbFindIn->KeyItems()->Add(Caption);
    FChoiceColumns.push_back(Column);
  };
  if (!Columns.empty()) {
    for (const TColumnChoice& c : Columns) add(c.Caption, c.Column);
  } else if (FGrid) {
    for (int i = 0; i < FGrid->VisibleColumns()->Count(); ++i) {
      TColumnEh* c = FGrid->VisibleColumns()->Items(i);
      add(c->Title()->Caption(), c);
    }
  }
  add(kAllColumns, nullptr);
  cbFindIn->Items()->EndUpdate();
  cbFindIn->KeyItems()->EndUpdate();
}

void TDBGridEhFindDlg::Execute(TCustomDBGridEh* Grid, const String& Text, const std::vector<TColumnChoice>& Columns,
                               bool Modal) {
  FColumnIndex = 0;
  cbText->SetEditTextEh(Text);
  if (FGrid) FGrid->RemoveFreeNotification(this);
  FGrid = Grid;
  // A grid freed while the dialog is up is forgotten, not searched.
  if (FGrid) FGrid->FreeNotification(this);
  FillColumnChoice(Columns);
  {
    TRestore filling(FFilling, true);
    TColumnEh* current = Grid ? Grid->CurrentColumn() : nullptr;
    if (current) cbFindIn->SetEditTextEh(current->Title()->Caption());
  }
  FFirstTry = true;
  if (Visible()) Close();
  RebuildColumns();
  // The text takes the focus: first in the tab order when the dialog shows, made active once
  // it is shown (a hidden window's control cannot be).
  if (Modal) {
    SetFormStyle(fsNormal);
    ShowModal();
  } else {
    SetFormStyle(fsStayOnTop);
    Show();
    if (CanFocus()) SetFocus();
    if (cbText->CanFocus()) SetActiveControl(cbText);
  }
}

// The columns searched: those before "<全部>" for it, else the chosen one.
void TDBGridEhFindDlg::RebuildColumns() {
  FColumns->Clear();
  int count = static_cast<int>(FChoiceColumns.size());
  if (count == 0) return;
  int chosen = cbFindIn->ItemIndex();
  if (chosen < 0 || chosen >= count) {
    TRestore filling(FFilling, true);
    chosen = count - 1;
    cbFindIn->SetItemIndex(chosen);
  }
  if (chosen == count - 1) {
    for (int i = 0; i < count - 1; ++i) FColumns->Add(FChoiceColumns[static_cast<std::size_t>(i)]);
  } else {
    FColumns->Add(FChoiceColumns[static_cast<std::size_t>(chosen)]);
  }
  cbTextChange(this);
}

void TDBGridEhFindDlg::cbTextChange(TObject*) {
  FFirstTry = true;
  FColumnIndex = cbFindDirection->ItemIndex() == dirUp ? std::max(0, FColumns->Count() - 1) : 0;
}

void TDBGridEhFindDlg::cbFindInChange(TObject*) {
  if (!FFilling) RebuildColumns();
}

// ---------------------------------------------------------------- finding

TDBGridEhFindDlg::TFindRule TDBGridEhFindDlg::CurrentRule(const String& Text) const {
  TFindRule r;
  r.CaseSensitive = cbCharCase->Checked();
  r.UseFormat = cbUseFormat->Checked();
  r.MatchKind = cbMatchinType->ItemIndex();
  r.Text = r.CaseSensitive ? Text : AnsiUpperCase(Text);
  return r;
}

String TDBGridEhFindDlg::ValueOf(TColumnEh* Column, const TFindRule& Rule) {
  if (Rule.UseFormat) return Column->CellText();
  TField* f = Column->Field();
  return f ? f->Text() : String();
}

bool TDBGridEhFindDlg::Matches(const String& Value, const TFindRule& Rule) {
  String v = Rule.CaseSensitive ? Value : AnsiUpperCase(Value);
  const String& t = Rule.Text;
  switch (Rule.MatchKind) {
    case mkWhole: return v == t;
    case mkBeginning: return LeftStr(v, ::Length(t)) == t;
    default: return v.find(t) != String::npos;
  }
}

// One step of the walk: the next (previous) column, else the next (previous) record at the
// first (last) column; false at the end of the dataset.
bool TDBGridEhFindDlg::Step(bool Forward) {
  TDataSet* ds = FGrid->DataSet();
  if (Forward) {
    if (++FColumnIndex < FColumns->Count()) return true;
    ds->Next();
    if (ds->Eof()) return false;
    FColumnIndex = 0;
    return true;
  }
  if (--FColumnIndex >= 0) return true;
  ds->Prior();
  if (ds->Bof()) return false;
  FColumnIndex = FColumns->Count() - 1;
  return true;
}

bool TDBGridEhFindDlg::FindNext(bool Reverse) {
  int direction = cbFindDirection->ItemIndex();
  bool forward = (direction != dirUp) != Reverse;
  const TFindRule rule = CurrentRule(cbText->Text());
  TDataSet* ds = FGrid && FGrid->DataSource() ? FGrid->DataSource()->DataSet() : nullptr;
  bool found = false;
  if (ds && ds->Active() && FColumns->Count() > 0) {
    TControlsHold hold(ds);
    String start = ds->Bookmark();
    FColumnIndex = std::clamp(FColumnIndex, 0, FColumns->Count() - 1);
    int startColumn = FColumnIndex;
    bool walking = true;
    if (direction == dirAll && FFirstTry) {
      ds->First();
      FColumnIndex = forward ? 0 : FColumns->Count() - 1;
      if (!forward) {
        ds->Last();
      }
    } else if (!FFirstTry) {
      walking = Step(forward);  // past the last match
    }
    while (walking && !ds->IsEmpty()) {
      if (Matches(ValueOf(FColumns->Items(FColumnIndex), rule), rule)) {
        found = true;
        break;
      }
      walking = Step(forward);
    }
    if (found) {
      FFirstTry = false;
      // Whatever the case rule, the matching column becomes current.
      FGrid->SetSelectedIndex(FColumns->Items(FColumnIndex)->Index());
    } else {
      // Not found: the walk goes back to where it stood, record and column.
      if (ds->BookmarkValid(start)) ds->GotoBookmark(start);
      FColumnIndex = startColumn;
    }
  }
  return found;
}

void TDBGridEhFindDlg::bFindClick(TObject*) {
  String text = cbText->Text();
  if (cbText->Items()->IndexOf(text) < 0) cbText->Items()->Add(text);
  bool reverse = GetKeyState(VK_CONTROL) < 0;
  if (!FindNext(reverse)) ShowMessage(Format(STextNotFoundEh, {text}));
}

void TDBGridEhFindDlg::bCancelClick(TObject*) {
  if (FormState().Contains(fsModal)) SetModalResult(mrCancel);
  else Close();
}

void TDBGridEhFindDlg::FormKeyDown(TObject*, Word& Key, TShiftState) {
  if (Key == VK_RETURN || Key == VK_ESCAPE) {
    // An open drop-down takes the key first.
    auto* combo = dynamic_cast<TCustomDBComboBoxEh*>(ActiveControl());
    bool dropped = combo && (combo->ListVisible() || combo->MRUList()->IsDroppedDown());
    if (!dropped && Key == VK_ESCAPE && !FormState().Contains(fsModal)) {
      Close();
      Key = 0;
    } else if (!dropped && Key == VK_RETURN) {
      bFindClick(this);
      Key = 0;
    }
  }
  cbText->SetModified(false);
}
