// The data-aware edit and the navigator.
#include "gui/DBCtrls.h"

#include "core/ClassBuilder.h"
#include "gui/CtrlUtils_p.h"
#include "gui/MessageBox.h"
#include "gui/WinGDI.h"

#include "core/Exceptions.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "core/Scope.h"

#include <algorithm>

using namespace ctrl_utils;

namespace {

// The field link of an edit: a request to focus the field's control focuses the edit.
class TEditFieldLink : public TFieldDataLink {
public:
  explicit TEditFieldLink(TWinControl* Edit) : FEdit(Edit) { SetControl(Edit); }

protected:
  void FocusControl(TField** AField) override {
    if (AField && *AField && *AField == Field() && FEdit->CanFocus()) FEdit->SetFocus();
    TFieldDataLink::FocusControl(AField);
  }

private:
  TWinControl* FEdit;
};

}  // namespace

// ================================================================ TDBEdit

KELM_PUBLISH(TDBEdit) { Published(b); }

TDBEdit::TDBEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {
  FDataLink = std::make_unique<TEditFieldLink>(this);
  FDataLink->OnDataChange = TNotifyEvent(this, &TDBEdit::DataChange);
  FDataLink->OnEditingChange = TNotifyEvent(this, &TDBEdit::EditingChange);
  FDataLink->OnUpdateData = TNotifyEvent(this, &TDBEdit::UpdateData);
  FDataLink->OnActiveChange = TNotifyEvent(this, &TDBEdit::ActiveChange);
  TCustomEdit::SetReadOnly(true);
}

TDBEdit::~TDBEdit() {
  Destroying();
  FDataLink->OnDataChange = nullptr;
  FDataLink->OnEditingChange = nullptr;
  FDataLink->OnUpdateData = nullptr;
  FDataLink->OnActiveChange = nullptr;
  FDataLink.reset();
}

void TDBEdit::SetDataSource(TDataSource* Value) {
  if (FDataLink->DataSource() == Value) return;
  if (TDataSource* old = FDataLink->DataSource()) old->RemoveFreeNotification(this);
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
  ApplyReadOnly();
}

void TDBEdit::SetDataField(const String& Value) {
  FDataLink->SetFieldName(Value);
  ApplyReadOnly();
}

void TDBEdit::SetReadOnly(bool Value) {
  FDataLink->SetReadOnly(Value);
  ApplyReadOnly();
}

void TDBEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomMaskEdit::Notification(AComponent, Operation);
  if (Operation == opRemove && FDataLink && AComponent == FDataLink->DataSource()) FDataLink->SetDataSource(nullptr);
}

void TDBEdit::Loaded() {
  TCustomMaskEdit::Loaded();
  DataChange(this);
}

// The edit takes typing only while the record is being edited; on entry it already does
// when the field can be changed, so an input method can compose into it.
void TDBEdit::ApplyReadOnly() {
  bool writable = !FDataLink->ReadOnly() && (FDataLink->Editing() || (FFocused && FDataLink->CanModify()));
  TCustomEdit::SetReadOnly(!writable);
}

bool TDBEdit::EditField() {
  bool editing = FDataLink->Edit();
  ApplyReadOnly();
  return editing;
}

void TDBEdit::DataChange(TObject*) {
  TField* f = FDataLink->Field();
  {
    TRestore setting(FSettingText, true);
    if (f) {
      if (EditMask() != f->EditMask()) SetEditMask(f->EditMask());
      if (f->DataType() == ftString || f->DataType() == ftWideString || f->DataType() == ftFixedChar)
        SetMaxLength(f->Size());
      else
        SetMaxLength(0);
      SetText(FFocused && FDataLink->CanModify() ? f->Text() : f->DisplayText());
    } else {
      SetEditMask(String());
      SetText(String());
    }
  }
  SetModified(false);
}

void TDBEdit::EditingChange(TObject*) { ApplyReadOnly(); }

bool TDBEdit::ExecuteAction(TBasicAction* Action) {
  return FDataLink->ExecuteAction(Action) || TCustomMaskEdit::ExecuteAction(Action);
}

bool TDBEdit::UpdateAction(TBasicAction* Action) {
  return FDataLink->UpdateAction(Action) || TCustomMaskEdit::UpdateAction(Action);
}

void TDBEdit::ActiveChange(TObject*) { ApplyReadOnly(); }

void TDBEdit::UpdateData(TObject*) {
  ValidateEdit();
  if (TField* f = FDataLink->Field()) f->SetText(Text());
}

void TDBEdit::Change() {
  // The text shown for a record is no change of the value; what the user types is.
  if (!FSettingText) FDataLink->Modified();
  TCustomMaskEdit::Change();
}

void TDBEdit::KeyDown(Word& Key, TShiftState Shift) {
  TCustomMaskEdit::KeyDown(Key, Shift);
  if (Key == VK_DELETE || (Key == VK_INSERT && Shift.Contains(ssShift))) EditField();
}

void TDBEdit::KeyPress(Char& Key) {
  TField* f = FDataLink->Field();
  if (Key >= 32 && f && !f->IsValidChar(Key)) {
    Beep();
    Key = 0;
  }
  switch (Key) {
    case 8:
    case 22:
    case 24:
      EditField();
      break;
    case 27:
      FDataLink->Reset();
      SelectAll();
      Key = 0;
      break;
    default:
      if (Key >= 32) EditField();
      break;
  }
  if (Key != 0) TCustomMaskEdit::KeyPress(Key);
}

void TDBEdit::DoEnter() {
  FFocused = true;
  ApplyReadOnly();
  if (FDataLink->Field() && FDataLink->CanModify()) DataChange(this);
  TCustomMaskEdit::DoEnter();
}

void TDBEdit::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CM_EXIT:
      // A refused value keeps the focus here: a step on failure only, not a restore.
      try {
        FDataLink->UpdateRecord();
      } catch (...) {
        SelectAll();
        if (CanFocus()) SetFocus();
        throw;
      }
      FFocused = false;
      ApplyReadOnly();
      if (FDataLink->Field() && !FDataLink->Editing()) DataChange(this);
      TCustomMaskEdit::Dispatch(M);
      return;
    case WM_PASTE:
    case WM_CUT:
      EditField();
      break;
    case CM_GETDATALINK:
      M.Result = reinterpret_cast<LRESULT>(FDataLink.get());
      return;
    default:
      break;
  }
  TCustomMaskEdit::Dispatch(M);
}

// ================================================================ TDBNavigator

namespace {

const char* const DefaultHints[10] = {"First record", "Prior record", "Next record",  "Last record",   "Insert record",
                                      "Delete record", "Edit record", "Post edit", "Cancel edit", "Refresh data"};

// The navigator's pictures, drawn once: black marks on a fuchsia ground, which the button
// shows transparent.
void MakeGlyph(TBitmap* B, TNavigateBtn Kind) {
  B->SetSize(16, 16);
  TCanvas* c = B->Canvas();
  c->Brush()->SetColor(clFuchsia);
  c->FillRect(Rect(0, 0, 16, 16));
  c->Pen()->SetColor(clBlack);
  c->Brush()->SetColor(clBlack);
  auto tri = [&](bool left, int x) {
    // A solid triangle 5 wide, 9 high, pointing left or right.
    for (int i = 0; i < 5; ++i) {
      int h = left ? i : 4 - i;
      c->FillRect(Rect(x + i, 8 - h, x + i + 1, 9 + h));
    }
  };
  switch (Kind) {
    case nbFirst: c->FillRect(Rect(4, 4, 6, 13)); tri(true, 6); break;
    case nbPrior: tri(true, 5); break;
    case nbNext: tri(false, 6); break;
    case nbLast: tri(false, 5); c->FillRect(Rect(10, 4, 12, 13)); break;
    case nbInsert: c->FillRect(Rect(7, 3, 9, 14)); c->FillRect(Rect(3, 7, 14, 9)); break;
    case nbDelete: c->FillRect(Rect(3, 7, 14, 9)); break;
    case nbEdit: c->FillRect(Rect(3, 12, 13, 13)); for (int i = 0; i < 8; ++i) c->FillRect(Rect(4 + i, 10 - i, 6 + i, 12 - i)); break;
    case nbPost: for (int i = 0; i < 4; ++i) c->FillRect(Rect(3 + i, 8 + i, 5 + i, 10 + i)); for (int i = 0; i < 7; ++i) c->FillRect(Rect(7 + i, 11 - i, 9 + i, 13 - i)); break;
    case nbCancel: for (int i = 0; i < 9; ++i) { c->FillRect(Rect(4 + i, 4 + i, 6 + i, 5 + i)); c->FillRect(Rect(12 - i, 4 + i, 14 - i, 5 + i)); } break;
    case nbRefresh:
      c->Brush()->SetStyle(bsClear);
      c->Pen()->SetWidth(2);
      c->Arc(3, 3, 14, 14, 14, 8, 8, 3);
      c->Brush()->SetStyle(bsSolid);
      c->FillRect(Rect(11, 9, 15, 11));
      break;
  }
}

}  // namespace

// The navigator's view of its dataset: every change may enable or disable buttons.
class TNavDataLink : public TDataLink {
public:
  explicit TNavDataLink(TDBNavigator* Nav) : FNav(Nav) { SetVisualControl(true); }

protected:
  void ActiveChanged() override { FNav->EnableButtons(); }
  void DataSetChanged() override { FNav->EnableButtons(); }
  void EditingChanged() override { FNav->EnableButtons(); }
  void DataSetScrolled(int) override { FNav->EnableButtons(); }

private:
  TDBNavigator* FNav;
};

KELM_PUBLISH(TNavButton) {}

TNavButton::TNavButton(TComponent* AOwner) : TSpeedButton(AOwner) {}

void TNavButton::Click() {
  TSpeedButton::Click();
  if (FNavigator) FNavigator->BtnClick(FIndex);
}

void TNavButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TSpeedButton::MouseDown(Button, Shift, X, Y);
  // Prior and Next repeat while held.
  if (Button == mbLeft && FNavigator && Enabled() && (FIndex == nbPrior || FIndex == nbNext)) FNavigator->StartRepeat(FIndex);
}

void TNavButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FNavigator) FNavigator->StopRepeat();
  TSpeedButton::MouseUp(Button, Shift, X, Y);
}

KELM_PUBLISH(TDBNavigator) { Published(b); }

TDBNavigator::TDBNavigator(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle({csAcceptsControls, csSetCaption, csDoubleClicks, csOpaque});
  FHints = std::make_unique<TStringList>();
  FHints->SetOnChange(TNotifyEvent::Lambda([this](TObject*) { UpdateHints(); }));
  FDataLink = std::make_unique<TNavDataLink>(this);
  for (int i = 0; i < 10; ++i) {
    auto* b = new TNavButton(this);
    b->FIndex = static_cast<TNavigateBtn>(i);
    b->FNavigator = this;
    TBitmap glyph;
    MakeGlyph(&glyph, b->FIndex);
    b->SetGlyph(&glyph);
    b->SetParent(this);
    FButtons[i] = b;
  }
  SetBounds(0, 0, 241, 25);
  UpdateHints();
  EnableButtons();
}

TDBNavigator::~TDBNavigator() {
  Destroying();
  StopRepeat();
  FDataLink.reset();
}

void TDBNavigator::SetDataSource(TDataSource* Value) {
  if (DataSource() == Value) return;
  if (TDataSource* old = DataSource()) old->RemoveFreeNotification(this);
  FDataLink->SetDataSource(Value);
  if (Value) Value->FreeNotification(this);
  EnableButtons();
}

void TDBNavigator::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && FDataLink && AComponent == FDataLink->DataSource()) {
    FDataLink->SetDataSource(nullptr);
    EnableButtons();
  }
}

void TDBNavigator::Loaded() {
  TCustomControl::Loaded();
  LayoutButtons();
  EnableButtons();
}

void TDBNavigator::SetVisibleButtons(TButtonSet Value) {
  FVisibleButtons = Value;
  for (int i = 0; i < 10; ++i) FButtons[i]->SetVisible(Value.Contains(static_cast<TNavigateBtn>(i)));
  LayoutButtons();
}

void TDBNavigator::SetFlat(bool Value) {
  FFlat = Value;
  for (TNavButton* b : FButtons) b->SetFlat(Value);
}

void TDBNavigator::SetHints(TStrings* Value) { FHints->Assign(Value); }

void TDBNavigator::UpdateHints() {
  for (int i = 0; i < 10; ++i)
    FButtons[i]->SetHint(i < FHints->Count() && !FHints->Strings(i).empty() ? FHints->Strings(i) : String(DefaultHints[i]));
}

void TDBNavigator::LayoutButtons() {
  int n = 0;
  for (TNavButton* b : FButtons) n += b->Visible() ? 1 : 0;
  if (n == 0) return;
  int w = ClientWidth() / n, extra = ClientWidth() % n, x = 0;
  for (TNavButton* b : FButtons) {
    if (!b->Visible()) continue;
    int bw = w + (extra-- > 0 ? 1 : 0);
    b->SetBounds(x, 0, bw, ClientHeight());
    x += bw;
  }
}

void TDBNavigator::EnableButtons() {
  TDataSet* ds = FDataLink->Active() ? DataSource()->DataSet() : nullptr;
  for (int i = nbFirst; i <= nbRefresh; ++i)
    FButtons[i]->SetEnabled(DataSetCommandAllowed(static_cast<TNavigateBtn>(i), ds));
}

void TDBNavigator::BtnClick(TNavigateBtn Index) {
  TDataSet* ds = DataSource() ? DataSource()->DataSet() : nullptr;
  if (ds && ds->Active()) {
    BeforeAction(this, Index);
    if (Index != nbDelete || !FConfirmDelete ||
        MessageBox(Handle(), "Delete record?", "Confirm", MB_OKCANCEL | MB_ICONQUESTION) != IDCANCEL)
      RunDataSetCommand(Index, ds);
  }
  OnClick(this, Index);
}

// ================================================================ dataset commands

namespace {

bool DataSetEditing(TDataSet* DataSet) { return DataSet->State() == dsEdit || DataSet->State() == dsInsert; }

// One command: what it does and when it can, on an active dataset.
struct TDataSetCommandRule {
  void (*Run)(TDataSet*);
  bool (*Allowed)(TDataSet*);
};

const TDataSetCommandRule kDataSetCommands[] = {
    {[](TDataSet* d) { d->First(); }, [](TDataSet* d) { return !d->Bof(); }},
    {[](TDataSet* d) { d->Prior(); }, [](TDataSet* d) { return !d->Bof(); }},
    {[](TDataSet* d) { d->Next(); }, [](TDataSet* d) { return !d->Eof(); }},
    {[](TDataSet* d) { d->Last(); }, [](TDataSet* d) { return !d->Eof(); }},
    {[](TDataSet* d) { d->Insert(); }, [](TDataSet* d) { return d->CanModify(); }},
    {[](TDataSet* d) { d->Delete(); }, [](TDataSet* d) { return d->CanModify() && !d->IsEmpty(); }},
    {[](TDataSet* d) { d->Edit(); }, [](TDataSet* d) { return d->CanModify() && !DataSetEditing(d); }},
    {[](TDataSet* d) { d->Post(); }, DataSetEditing},
    {[](TDataSet* d) { d->Cancel(); }, DataSetEditing},
    {[](TDataSet* d) { d->Refresh(); }, [](TDataSet*) { return true; }},
};
static_assert(std::size(kDataSetCommands) == nbRefresh + 1, "one rule per command");

}  // namespace

bool DataSetCommandAllowed(TNavigateBtn Command, TDataSet* DataSet) {
  return DataSet && DataSet->Active() && kDataSetCommands[Command].Allowed(DataSet);
}

void RunDataSetCommand(TNavigateBtn Command, TDataSet* DataSet) {
  if (DataSet && DataSet->Active()) kDataSetCommands[Command].Run(DataSet);
}

void TDBNavigator::StartRepeat(TNavigateBtn Index) {
  FRepeating = static_cast<int>(Index);
  SetTimer(Handle(), 1, 400);
}

void TDBNavigator::StopRepeat() {
  if (FRepeating < 0) return;
  FRepeating = -1;
  KillTimer(Handle(), 1);
}

void TDBNavigator::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_SIZE:
      TCustomControl::Dispatch(M);
      LayoutButtons();
      return;
    case WM_TIMER:
      if (M.WParam == 1 && FRepeating >= 0) {
        TNavButton* b = FButtons[FRepeating];
        if (!b->Enabled() || !(GetKeyState(VK_LBUTTON) < 0)) {
          StopRepeat();
          return;
        }
        SetTimer(Handle(), 1, 100);
        BtnClick(static_cast<TNavigateBtn>(FRepeating));
        return;
      }
      break;
    default:
      break;
  }
  TCustomControl::Dispatch(M);
}

void TDBNavigator::Paint() {
  HDC dc = Canvas()->Handle();
  Fill(dc, ClientRect(), ColorToRGB(Color()));
}
