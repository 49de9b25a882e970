// The data grid's in-cell editor: style and button strip, keys and completion, the drop-downs
// and the recently-entered-texts list.
#include "grid/DBGridEhInplace.h"
#include "grid/DBGridEhImpl.h"

#include "core/ClassBuilder.h"
#include "core/SysUtils.h"
#include "grid/CalculatorEh.h"
#include "grid/DBGridEhAux.h"
#include "grid/DBLookupGridEh.h"
#include "grid/CellTextEh.h"
#include "gui/Clipbrd.h"
#include "gui/ExtCtrls.h"
#include "gui/Menus.h"
#include "gui/Screen.h"
#include "gui/WinGDI.h"
#include "core/Mask.h"
#include "core/StrUtils.h"

#include <algorithm>
#include <cassert>
#include <climits>

namespace {

// A date drops a calendar down; a time of day has no day to pick.
bool IsDateField(TField* F) { return IsDateTimeFieldType(F->DataType()) && F->DataType() != ftTime; }

bool IsNumericField(TField* F) { return IsNumericFieldType(F->DataType()); }

// Rounds Width * 3 / 2 with halves going to the even neighbour.
int ThreeHalves(int Width) {
  int twice = Width * 3;
  int q = twice / 2;
  if (twice % 2 != 0 && q % 2 != 0) ++q;
  return q;
}

// The main button's face by editor style.
struct TStyleButton {
  TEditStyle Style;
  TEditButtonStyleEh Button;
};
constexpr TStyleButton kMainButtons[] = {
    {edsSimple, ebsDropDownEh},   {edsEllipsis, ebsEllipsisEh},     {edsPickList, ebsDropDownEh},
    {edsDataList, ebsDropDownEh}, {edsDateCalendar, ebsDropDownEh}, {edsUpDown, ebsUpDownEh},
    {edsDropDown, ebsDropDownEh},
};

TEditButtonStyleEh MainButtonStyle(TEditStyle Style) {
  for (const auto& e : kMainButtons)
    if (e.Style == Style) return e.Button;
  return ebsDropDownEh;
}

bool IsCtrlOnly(TShiftState Shift) { return Shift == TShiftState{ssCtrl}; }

int IndexOfText(TStrings* Items, const String& Text) {
  for (int i = 0; i < Items->Count(); ++i)
    if (AnsiCompareText(Items->Strings(i), Text) == 0) return i;
  return -1;
}

// The first item starting with Prefix, without regard to case; -1 when none.
int FindPrefix(TStrings* Items, const String& Prefix) {
  String p = AnsiUpperCase(Prefix);
  for (int i = 0; i < Items->Count(); ++i)
    if (AnsiUpperCase(Items->Strings(i)).starts_with(p)) return i;
  return -1;
}

// The fields a lookup field's key is read from; none when one is missing.
std::vector<TField*> KeyFieldsOf(TColumnEh* Column) {
  std::vector<TField*> r;
  TField* f = Column->Field();
  if (!f || !f->DataSet() || f->KeyFields().empty()) return r;
  for (const String& name : SplitTrimmed(f->KeyFields(), ';')) {
    TField* k = f->DataSet()->FindField(name);
    if (!k) return {};
    r.push_back(k);
  }
  return r;
}

// Assigning an equal font would still lay the text out again; moving between cells of one
// font should not.
bool SameFont(const TFont* A, const TFont* B) {
  return A->Name() == B->Name() && A->Height() == B->Height() && A->Style() == B->Style() &&
         A->Color() == B->Color() && A->Charset() == B->Charset() && A->Pitch() == B->Pitch() &&
         A->Orientation() == B->Orientation();
}

// Rows wrap when the grid font's line with its leadings and the text margin fits the data row.
bool WordWrapPossible(TCustomDBGridEh* Grid) {
  constexpr int kTextMargin = 4;
  TCanvas* canvas = Grid->Canvas();
  canvas->Font()->Assign(Grid->Font());
  TEXTMETRIC tm{};
  GetTextMetrics(canvas->Handle(), &tm);
  int line = tm.tmHeight + tm.tmExternalLeading + tm.tmInternalLeading + kTextMargin;
  return line < Grid->RowHeights(Grid->Row());
}

int CharLength(const String& S) { return static_cast<int>(Utf8ToUtf32(S).size()); }

String CharLeft(const String& S, int Count) {
  std::u32string u = Utf8ToUtf32(S);
  return Utf32ToUtf8(u.substr(0, static_cast<std::size_t>(std::max(0, Count))));
}

String CharMid(const String& S, int From) {
  std::u32string u = Utf8ToUtf32(S);
  if (From >= static_cast<int>(u.size())) return String();
  return Utf32ToUtf8(u.substr(static_cast<std::size_t>(std::max(0, From))));
}

}  // namespace

TEditStyle ColumnEditStyle(TColumnEh* Column) {
  if (!Column) return edsSimple;
  switch (Column->ButtonStyle()) {
    case cbsEllipsis: return edsEllipsis;
    case cbsUpDown: return edsUpDown;
    case cbsDropDown: return edsDropDown;
    case cbsNone: return edsSimple;
    case cbsAuto: break;
  }
  TField* f = Column->Field();
  if (!f) return edsSimple;
  bool readOnly = Column->ReadOnly();
  if (f->FieldKind() == fkLookup) {
    TCustomDBGridEh* g = Column->Grid();
    std::vector<TField*> keys = KeyFieldsOf(Column);
    bool writable = g && !g->ReadOnly() && g->DataLink()->Active() && !g->DataLink()->ReadOnly();
    bool explicitReadOnly = Column->AssignedValues().Contains(evReadOnly) && readOnly;
    return !keys.empty() && AllFieldsModifiable(keys) && !explicitReadOnly && writable ? edsDataList : edsSimple;
  }
  if (Column->PickList()->Count() > 0 && !readOnly) return edsPickList;
  if (IsDateField(f) && !readOnly) return edsDateCalendar;
  return edsSimple;
}

// ================================================================ creation

KELM_PUBLISH(TDBGridInplaceEdit) {}

TDBGridInplaceEdit::TDBGridInplaceEdit(TComponent* AOwner) : TInplaceEdit(AOwner) {
  auto* g = dynamic_cast<TCustomDBGridEh*>(AOwner);
  FButtonStripWidth = g && g->Flat() ? FlatButtonWidth() + 1 : GetSystemMetrics(SM_CXVSCROLL);
}

TDBGridInplaceEdit::~TDBGridInplaceEdit() {
  // The lists are owned by the editor (the lookup grid by its column); no close-up reaches
  // back once it goes.
  ReleaseLookupGrid();
  FListVisible = false;
  if (FMRUList && FMRUList->IsDroppedDown()) FMRUList->SetDroppedDown(false);
}

TCustomDBGridEh* TDBGridInplaceEdit::DBGrid() const { return dynamic_cast<TCustomDBGridEh*>(Grid()); }

TColumnEh* TDBGridInplaceEdit::CurrentColumn() const {
  TCustomDBGridEh* g = DBGrid();
  return g ? g->CurrentColumn() : nullptr;
}

// ================================================================ loading

void TDBGridInplaceEdit::UpdateContents() {
  if (DBGrid()) LoadFromColumn();
  else TInplaceEdit::UpdateContents();
}

void TDBGridInplaceEdit::LoadFromColumn() {
  TCustomDBGridEh* g = DBGrid();
  TColumnEh* c = CurrentColumn();
  ApplyEditStyle(ColumnEditStyle(c));
  if (!g || !c) {
    TInplaceEdit::UpdateContents();
    FMRUList = nullptr;
    return;
  }
  if (!SameFont(Font(), c->Font())) Font()->Assign(c->Font());
  TColCellParamsEh params;
  CellParams(g, c, params);
  if (Color() != params.Background()) SetColor(params.Background());
  FImageIndex = params.ImageIndex();
  bool columnReadOnly = !c->IsEditable(false);
  FExplicitReadOnly = params.ReadOnly() != columnReadOnly;
  if (FExplicitReadOnly) SetReadOnly(params.ReadOnly());
  SetWordWrap(c->WordWrap() && WordWrapPossible(g));
  SetText(String());
  SetEditMask(TGridImpl::GetEditMask(g, g->Col(), g->Row()));
  SetText(params.Text());
  SetMaxLength(TGridImpl::GetEditLimit(g));
  SetModified(false);
  FMRUList = c->MRUList();
  RefreshImageIndex();
  LayoutEditButtons();
  EnableEditButtons();
  UpdateFormatRect();
}

// The cell's parameters as the editor shows them: the column's, then the grid's and the
// column's handlers in edit mode.
void TDBGridInplaceEdit::CellParams(TCustomDBGridEh* Grid, TColumnEh* Column, TColCellParamsEh& params) {
  Column->FillCellParams(&params);
  params.SetCol(Grid->Col());
  params.SetRow(Grid->Row());
  params.SetBackground(Column->Color());
  params.SetFont(Font());
  params.SetState(TGridDrawState{gdFocused});
  params.SetText(TGridImpl::CellEditText(Grid, Grid->Col()));
  params.SetReadOnly(!Column->IsEditable(false));
  TColor background = params.Background();
  if (Grid->OnGetCellParams) Grid->OnGetCellParams(Grid, Column, Font(), background, params.State());
  params.SetBackground(background);
  Column->FireGetCellParams(true, &params);
  TGridImpl::Of(Grid).FEditText = params.Text();
}

void TDBGridInplaceEdit::CreateWnd() {
  TInplaceEdit::CreateWnd();
  FFormatRectSet = false;
  UpdateFormatRect();
}

// The text keeps inside the text rectangle; an unchanged one is not set again, which would lay
// the text out anew.
void TDBGridInplaceEdit::UpdateFormatRect() {
  if (!HandleAllocated()) return;
  TRect r = TextRect();
  if (FFormatRectSet && r == FFormatRect) return;
  FFormatRect = r;
  FFormatRectSet = true;
  Perform(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

void TDBGridInplaceEdit::ApplyEditStyle(TEditStyle Style) {
  FStyle = Style;
  TColumnEh* c = CurrentColumn();
  FActiveList = nullptr;
  ReleaseLookupGrid();
  switch (Style) {
    case edsPickList:
      if (!FPickList) {
        FPickList = new TPopupListboxEh(this);
        FPickList->SetVisible(false);
        FPickList->OnMouseUp = TMouseEvent::Lambda(
            [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) { PickListMouseUp(S, B, Sh, X, Y); });
      }
      FPickList->SetImages(c ? c->ImageList() : nullptr);
      FActiveList = FPickList;
      break;
    case edsDateCalendar:
      if (!FCalendar) FCalendar = new TPopupMonthCalendarEh(this);
      FActiveList = FCalendar;
      break;
    case edsDataList:
      // A lookup column without a list dataset opens nothing.
      FLookupGrid = c && c->ListDataSet() ? c->DropDownList() : nullptr;
      if (FLookupGrid) {
        FLookupGrid->OnListCloseUp = TListCloseUpEventEh::Lambda([this](TObject*, bool A) { LookupListClosed(A); });
        FLookupGrid->OnColumnMovedEh = TNotifyEvent::Lambda([this](TObject*) { LookupColumnsMoved(); });
      }
      FActiveList = FLookupGrid;
      break;
    case edsDropDown:
      if (CalculatorAllowed()) FActiveList = CalculatorPopup();
      break;
    default: break;
  }
  SetReadOnly(c && c->ReadOnly());
  Invalidate();
}

// A wrapping editor is a multi-line edit without automatic horizontal scrolling; its window is
// made anew, keeping the text.
void TDBGridInplaceEdit::SetWordWrap(bool Value) {
  if (Value == FWordWrap) return;
  FWordWrap = Value;
  SetMultiLine(Value);
  SetWordWraps(Value);
  if (HandleAllocated()) RecreateWnd();
}

// ================================================================ button strip

TEditButtonControlEh* TDBGridInplaceEdit::NewEditButtonControl() {
  auto* b = new TEditButtonControlEh(this);
  b->SetBounds(0, 0, 10, 17);
  TControlStyle style = b->ControlStyle();
  style += TControlStyle{csOpaque, csReplicatable};
  b->SetControlStyle(style);
  return b;
}

void TDBGridInplaceEdit::ButtonsNeeded(int Count) {
  while (ButtonCount() > Count) {
    TButtonPair p = FButtons.back();
    FButtons.pop_back();
    delete p.Button;
    delete p.Separator;
  }
  while (ButtonCount() < Count) {
    TButtonPair p;
    p.Button = NewEditButtonControl();
    p.Button->SetParent(this);
    p.Separator = new TShape(this);
    p.Separator->SetParent(this);
    p.Button->OnDown = TButtonDownEventEh::Lambda([this](TObject* S, bool Top, bool& Repeat, bool& Handled) {
      ButtonPressed(S, Top, Repeat, Handled);
    });
    p.Button->OnClick = TNotifyEvent::Lambda([this](TObject* S) {
      bool handled = false;
      ButtonClicked(S, handled);
    });
    p.Button->OnMouseUp = TMouseEvent::Lambda([this](TObject* S, TMouseButton, TShiftState, int X, int Y) {
      auto* b = static_cast<TControl*>(S);
      if (!PtInRect(b->ClientRect(), TPoint{X, Y})) FNoCloseOnClick = false;
    });
    p.Button->OnMouseMove = TMouseMoveEvent::Lambda([this](TObject* S, TShiftState, int X, int Y) {
      if (ButtonCount() > 0 && S == ButtonControl(0)) DragIntoList(X, Y);
    });
    FButtons.push_back(p);
  }
}

int TDBGridInplaceEdit::ButtonWidthFor(bool Visible, int Preferred) const {
  if (!Visible) return 0;
  if (Preferred > 0) return Preferred;
  TCustomDBGridEh* g = DBGrid();
  return g && g->Flat() ? FlatButtonWidth() : GetSystemMetrics(SM_CXVSCROLL);
}

int TDBGridInplaceEdit::ButtonHeightFor(int Width, bool MainButton) const {
  TCustomDBGridEh* g = DBGrid();
  int client = ClientHeight();
  if (ThreeHalves(Width) >= client) return client;
  return MainButton ? EditButtonHeightFor(Width, g && g->Flat()) : Width;
}

void TDBGridInplaceEdit::LayoutEditButtons() {
  TColumnEh* c = CurrentColumn();
  TEditButtonsEh* extra = c ? c->EditButtons() : nullptr;
  int n = extra ? extra->Count() : 0;
  ButtonsNeeded(n + 1);
  bool flat = DBGrid() && DBGrid()->Flat();
  int minHeight = INT_MAX;
  std::vector<int> widths(static_cast<std::size_t>(n + 1));
  for (int i = 0; i <= n; ++i) {
    TButtonPair& p = FButtons[static_cast<std::size_t>(i)];
    bool visible;
    int width;
    if (i == 0) {
      visible = FStyle != edsSimple;
      p.Button->SetStyle(MainButtonStyle(FStyle));
      p.Button->Glyph()->Assign(nullptr);
      p.Button->SetHint(String());
      width = ButtonWidthFor(visible, 0);
    } else {
      TEditButtonEh* e = extra->Items(i - 1);
      visible = e->Visible();
      p.Button->SetStyle(e->Style());
      p.Button->Glyph()->Assign(e->Glyph());
      p.Button->SetNumGlyphs(e->NumGlyphs());
      p.Button->SetHint(e->Hint());
      width = ButtonWidthFor(visible, e->Width());
    }
    p.Button->SetFlat(flat);
    p.Button->SetVisible(visible);
    p.Button->SetTag(0);
    p.Separator->SetVisible(flat && visible);
    widths[static_cast<std::size_t>(i)] = width;
    if (visible) minHeight = std::min(minHeight, ButtonHeightFor(width, i == 0));
  }
  if (minHeight == INT_MAX) minHeight = ClientHeight();
  bool rtl = c && c->UseRightToLeftReading();
  int x = rtl ? 0 : ClientWidth();
  for (int i = n; i >= 0; --i) {
    TButtonPair& p = FButtons[static_cast<std::size_t>(i)];
    int w = widths[static_cast<std::size_t>(i)];
    int sep = p.Separator->Visible() ? 1 : 0;
    if (rtl) {
      p.Button->SetBounds(x, 0, w, minHeight);
      p.Separator->SetBounds(x + w, 0, sep, minHeight);
      x += w + sep;
    } else {
      p.Button->SetBounds(x - w, 0, w, minHeight);
      p.Separator->SetBounds(x - w - sep, 0, sep, minHeight);
      x -= w + sep;
    }
  }
  FButtonStripWidth = rtl ? x : ClientWidth() - x;
}

void TDBGridInplaceEdit::EnableEditButtons() {
  TCustomDBGridEh* g = DBGrid();
  bool usable = Enabled() && g && g->DataLink()->Active();
  for (const TButtonPair& p : FButtons) p.Button->SetEnabled(usable);
}

TEditButtonEh* TDBGridInplaceEdit::ButtonForShortCut(TShortCut Key) const {
  TColumnEh* c = CurrentColumn();
  if (!c || Key == scNone) return nullptr;
  for (int i = 0; i < c->EditButtons()->Count(); ++i)
    if (c->EditButtons()->Items(i)->ShortCut() == Key) return c->EditButtons()->Items(i);
  return nullptr;
}

TRect TDBGridInplaceEdit::TextRect() {
  TCustomDBGridEh* g = DBGrid();
  bool flat = g && g->Flat();
  TRect r = flat ? Rect(2, 1, Width() - 2, Height() - 1) : Rect(2, 2, Width() - 2, Height());
  int fontHeight = std::abs(Font()->Height());
  if (r.Height() < fontHeight && r.Bottom < Height()) ++r.Bottom;
  TColumnEh* c = CurrentColumn();
  bool rtl = c && c->UseRightToLeftReading();
  if (rtl) r.Left += FButtonStripWidth;
  else r.Right -= FButtonStripWidth;
  if (c && c->ImageList() && c->ShowImageAndText()) {
    int w = c->ImageList()->Width() + 5;
    if (rtl) r.Right -= w;
    else r.Left += w;
  }
  if (int indent = TreeIndent(); indent > 0) {
    if (rtl) r.Right -= indent + 1;
    else r.Left += indent + 1;
  }
  return r;
}

// The indent of one tree level, the band left of a node's text that opens and closes it.
constexpr int kTreeLevelIndent = 18;

int TDBGridInplaceEdit::TreeIndent() const {
  TCustomDBGridEh* g = DBGrid();
  IMemTableEh* tree = g ? g->MemTableSupport() : nullptr;
  if (!tree || !tree->TreeViewActive() || g->VisibleColumns()->Count() == 0) return 0;
  if (CurrentColumn() != g->VisibleColumns()->Items(0)) return 0;
  return std::max(0, tree->NodeLevel() * kTreeLevelIndent);
}

// ================================================================ button events

void TDBGridInplaceEdit::ButtonPressed(TObject* Sender, bool TopButton, bool& AutoRepeat, bool& Handled) {
  if (CanFocus()) SetFocus();
  Handled = false;
  auto* button = static_cast<TEditButtonControlEh*>(Sender);
  TMsg pending;
  if (HandleAllocated() && PeekMessage(pending, Handle(), CM_MENUCLOSED, CM_MENUCLOSED, PM_NOREMOVE) &&
      pending.wParam == static_cast<WPARAM>(button->Tag())) {
    DiscardPendingMessage(Handle(), CM_MENUCLOSED);
    return;
  }
  TColumnEh* c = CurrentColumn();
  if (ButtonCount() > 0 && button == ButtonControl(0)) {
    if (c && c->OnEditButtonDown) c->OnEditButtonDown(c, TopButton, AutoRepeat, Handled);
    if (!Handled) MainButtonDefault(!TopButton);
    return;
  }
  for (int i = 1; i < ButtonCount() && c; ++i) {
    if (ButtonControl(i) != button || i - 1 >= c->EditButtons()->Count()) continue;
    TEditButtonEh* e = c->EditButtons()->Items(i - 1);
    if (e->OnDown) e->OnDown(e, TopButton, AutoRepeat, Handled);
    if (Handled || !e->DropdownMenu()) return;
    TPoint p = button->ClientToScreen({0, button->Height()});
    if (e->DropdownMenu()->Alignment() == paRight) p.X += button->Width();
    e->DropdownMenu()->Popup(p.X, p.Y);
    PostMessage(Handle(), CM_MENUCLOSED, static_cast<WPARAM>(button->Tag()), 0);
    button->Perform(WM_LBUTTONUP, 0, 0);
    return;
  }
}

void TDBGridInplaceEdit::MainButtonDefault(bool Lower) {
  if (FStyle == edsUpDown) {
    StepFromButton(Lower);
    return;
  }
  if (!FListVisible) {
    OpenDropDown();
    FNoCloseOnClick = true;
  }
}

void TDBGridInplaceEdit::ButtonClicked(TObject* Sender, bool& Handled) {
  TCustomDBGridEh* g = DBGrid();
  TColumnEh* c = CurrentColumn();
  bool main = ButtonCount() > 0 && Sender == ButtonControl(0);
  if (main && (FStyle == edsEllipsis || FStyle == edsDropDown) && g && g->OnEditButtonClick) g->OnEditButtonClick(g);
  if (main) {
    if (c && c->OnEditButtonClick) c->OnEditButtonClick(c, Handled);
  } else if (c) {
    for (int i = 1; i < ButtonCount() && i - 1 < c->EditButtons()->Count(); ++i)
      if (ButtonControl(i) == Sender) {
        TEditButtonEh* e = c->EditButtons()->Items(i - 1);
        if (e->OnClick) e->OnClick(e, Handled);
      }
  }
  if (!Handled && main && FListVisible && !FNoCloseOnClick) CloseDropDown(false);
  FNoCloseOnClick = false;
}

void TDBGridInplaceEdit::StepFromButton(bool Lower) {
  TCustomDBGridEh* g = DBGrid();
  TColumnEh* c = CurrentColumn();
  if (!g || !c || !c->IsEditable(true)) return;
  if (TGridImpl::GetEditText(g, g->Col(), g->Row()) != Text()) {
    TGridImpl::SetEditText(g, g->Col(), g->Row(), Text());
    g->UpdateData();
  }
  Extended step = Lower ? -c->Increment() : c->Increment();
  if (c->ColumnKind() != ckText) step = -step;
  c->StepValue(step);
}

// ================================================================ keys

void TDBGridInplaceEdit::KeyDown(Word& Key, TShiftState Shift) {
  TCustomDBGridEh* g = DBGrid();
  TColumnEh* c = CurrentColumn();
  if ((FStyle == edsEllipsis || FStyle == edsDropDown) && Key == VK_RETURN && IsCtrlOnly(Shift)) {
    // The Enter's character would insert a line; it goes with the key.
    if (HandleAllocated()) DiscardPendingMessage(Handle(), WM_CHAR);
    if (g && g->OnEditButtonClick) g->OnEditButtonClick(g);
    Key = 0;
    return;
  }
  if (Key == VK_DELETE && Shift.Empty() && DeleteInListColumn(Key)) {
    Key = 0;
    return;
  }
  if (c && (c->ColumnKind() == ckLookup || c->ColumnKind() == ckKeyList) && Key == VK_BACK) {
    if (!c->OnNotInList) {
      Key = VK_LEFT;
    } else {
      BackspaceInListColumn();
      Key = 0;
      return;
    }
  }
  if (FWordWrap && (Key == VK_UP || Key == VK_DOWN) && !WrapKeyGoesToGrid(Key)) {
    TCustomMaskEdit::KeyDown(Key, Shift);  // the caret moves between the lines
    return;
  }
  if (GridKeys(Key, Shift)) return;
  if (SpecRowShortCut(ShortCut(Key, Shift))) {
    Key = 0;
    return;
  }
  if (TEditButtonEh* b = ButtonForShortCut(ShortCut(Key, Shift))) {
    for (int i = 1; i < ButtonCount(); ++i)
      if (c && i - 1 < c->EditButtons()->Count() && c->EditButtons()->Items(i - 1) == b) {
        bool repeat = false, handled = false;
        ButtonPressed(ButtonControl(i), true, repeat, handled);
        handled = false;
        ButtonClicked(ButtonControl(i), handled);
      }
    Key = 0;
    return;
  }
  TInplaceEdit::KeyDown(Key, Shift);
}

// Enter under dghEnterAsTab and Ctrl+' are the grid's; Ctrl+F searches or opens the find
// dialog with the selected text. True when the key was taken.
bool TDBGridInplaceEdit::GridKeys(Word& Key, TShiftState Shift) {
  TCustomDBGridEh* g = DBGrid();
  if (!g) return false;
  TShortCut sc = ShortCut(Key, Shift);
  bool enterAsTab = Key == VK_RETURN && Shift.Empty() && g->OptionsEh().Contains(dghEnterAsTab);
  if (enterAsTab || sc == kCopyFromAboveShortCutEh) {
    // The Enter's character would arrive at the editor of the next cell.
    if (enterAsTab && HandleAllocated()) DiscardPendingMessage(Handle(), WM_CHAR);
    TGridImpl::KeyDown(g, Key, Shift);
    Key = 0;
    return true;
  }
  // The incremental search and the find dialog share their short cut.
  static_assert(kIncSearchShortCutEh == kFindDialogShortCutEh);
  if (sc != kIncSearchShortCutEh || !g->StartFind(SelText())) return false;
  Key = 0;
  return true;
}

// Under dgAlwaysShowEditor Up on the first line, Down on the last, or either over the whole
// text leave the wrapped text for the grid.
bool TDBGridInplaceEdit::WrapKeyGoesToGrid(Word Key) {
  TCustomDBGridEh* g = DBGrid();
  if (!g || !g->Options().Contains(dgAlwaysShowEditor)) return false;
  if (SelLength() > 0 && SelLength() == CharLength(Text())) return true;
  int line = static_cast<int>(Perform(EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0));
  int lines = static_cast<int>(Perform(EM_GETLINECOUNT, 0, 0));
  return Key == VK_UP ? line == 0 : line >= lines - 1;
}

// The special row's shortcut in a lookup editor puts the special row's text and value in;
// true when the key is used up.
bool TDBGridInplaceEdit::SpecRowShortCut(TShortCut Key) {
  TCustomDBGridEh* g = DBGrid();
  TColumnEh* c = CurrentColumn();
  if (FStyle != edsDataList || !g || !c) return false;
  TSpecRowEh* row = c->DropDownSpecRow();
  if (!row->Visible() || row->ShortCut() != Key || !c->IsEditable(false)) return false;
  if (c->IsEditable(true)) {
    String text = row->CellCount() > 0 ? row->CellText(0) : String();
    SetText(text);
    TGridImpl::SetEditText(g, g->Col(), g->Row(), text);
    TGridImpl::Of(g).FEditValue = row->Value();
    g->DataLink()->MarkModified();
    SelectAll();
  }
  return true;
}

// Backspace in a list column that takes texts outside its list: the selection and the
// character before it go, then the key follows the text.
void TDBGridInplaceEdit::BackspaceInListColumn() {
  TCustomDBGridEh* g = DBGrid();
  TColumnEh* c = CurrentColumn();
  int start = SelStart();
  String rest = CharLeft(Text(), start) + CharMid(Text(), start + SelLength());
  if (c->IsEditable(true)) {
    g->DataLink()->Edit();
    if (start > 0) {
      rest = CharLeft(rest, start - 1) + CharMid(rest, start);
      --start;
    }
    SetEditorText(rest, start, start);
  }
  SyncKeyFromText();
  if (FPickList && FStyle == edsPickList) FPickList->SetItemIndex(IndexOfText(FPickList->Items(), g->EditText()));
}

// Delete in a lookup or key-list column: true when the key is used up.
bool TDBGridInplaceEdit::DeleteInListColumn(Word) {
  TCustomDBGridEh* g = DBGrid();
  TColumnEh* c = CurrentColumn();
  if (!g || !c || (c->ColumnKind() != ckLookup && c->ColumnKind() != ckKeyList) || !c->IsEditable(false)) return false;
  bool all = SelLength() > 0 && SelLength() == CharLength(Text());
  if (all && c->IsEditable(true)) {
    if (FStyle == edsDataList && AllFieldsModifiable(KeyFieldsOf(c))) {
      g->DataLink()->Edit();
      g->DataLink()->MarkModified();
      TGridImpl::Of(g).FEditValue = Null();
      TGridImpl::SetEditText(g, g->Col(), g->Row(), String());
      SetEditorText(String(), 0, 0);
    } else if (FStyle == edsPickList && c->ColumnKind() == ckKeyList) {
      SetEditorText(String(), 0, 0);
      TGridImpl::SetEditText(g, g->Col(), g->Row(), Text());
    }
    return true;
  }
  if (c->OnNotInList) {
    // Only the selection goes; the caret stays where it began.
    int start = SelStart();
    String rest = CharLeft(Text(), start) + CharMid(Text(), start + SelLength());
    if (c->IsEditable(true)) SetEditorText(rest, start, start);
    SyncKeyFromText();
    if (FPickList && FStyle == edsPickList) FPickList->SetItemIndex(IndexOfText(FPickList->Items(), g->EditText()));
    return true;
  }
  return true;
}

void TDBGridInplaceEdit::KeyPress(Char& Key) {
  String typed = Utf32ToUtf8(std::u32string(1, Key));
  if (!CompleteTypedText(typed)) {
    Key = 0;
    return;
  }
  if (Key == 10 && KeyboardStateToShiftState() == TShiftState{ssCtrl}) {
    Key = 0;
    return;
  }
  if (Key) TInplaceEdit::KeyPress(Key);
  if (Key == 8 && FMRUList && FMRUList->Active() && Visible() && !FListVisible && Text().empty()) OpenMRUList();
  if (Key >= 32 || Key == 8) FUserTyped = true;
}

void TDBGridInplaceEdit::SetEditorText(const String& Text, int SelFrom, int SelTo) {
  SetText(Text);
  SetSelStart(SelFrom);
  SetSelLength(SelTo - SelFrom);
}

bool TDBGridInplaceEdit::CompleteFromLookup(TColumnEh* Column, const String& Candidate) {
  TCustomDBGridEh* g = DBGrid();
  TField* f = Column->Field();
  TDataSet* list = Column->ListDataSet();
  if (!list || !f) return false;
  if (list->Locate(f->LookupResultField(), Variant(Candidate), TLocateOptions{loCaseInsensitive, loPartialKey})) {
    String found = list->FieldByName(f->LookupResultField())->Text();
    TGridImpl::Of(g).FEditValue = list->FieldValues(f->LookupKeyFields());
    g->DataLink()->Edit();
    if (g->DataSet()->State() == dsEdit || g->DataSet()->State() == dsInsert) g->DataLink()->MarkModified();
    SetEditorText(found, CharLength(Candidate), CharLength(found));
    TGridImpl::SetEditText(g, g->Col(), g->Row(), Text());
    return true;
  }
  if (Column->OnNotInList && Column->IsEditable(true)) {
    SetEditorText(Candidate, CharLength(Candidate), CharLength(Candidate));
    TGridImpl::Of(g).FEditValue = Null();
    TGridImpl::SetEditText(g, g->Col(), g->Row(), Text());
  }
  return false;
}

bool TDBGridInplaceEdit::CompleteFromPickList(TColumnEh* Column, const String& Candidate, bool& Discard) {
  TCustomDBGridEh* g = DBGrid();
  int i = FindPrefix(Column->PickList(), Candidate);
  if (i >= 0) {
    Discard = true;
    String item = Column->PickList()->Strings(i);
    if (g->DataSet() && Column->IsEditable(true)) g->DataLink()->MarkModified();
    SetEditorText(item, CharLength(Candidate), CharLength(item));
    TGridImpl::SetEditText(g, g->Col(), g->Row(), Text());
    if (FPickList) FPickList->SetItemIndex(i);
    return true;
  }
  if (Column->OnNotInList && Column->ColumnKind() == ckKeyList) {
    SetEditorText(Candidate, CharLength(Candidate), CharLength(Candidate));
    TGridImpl::Of(g).FEditValue = Null();
    TGridImpl::SetEditText(g, g->Col(), g->Row(), Text());
    if (FPickList) FPickList->SetItemIndex(-1);
  }
  return false;
}

// False when the typed text is used up (the character goes no further).
bool TDBGridInplaceEdit::CompleteTypedText(String& Typed) {
  TCustomDBGridEh* g = DBGrid();
  TColumnEh* c = CurrentColumn();
  if (!g || !c) return true;
  bool backspace = Typed == "\b";
  if (Typed.size() == 1 && static_cast<unsigned char>(Typed[0]) < 32 && !backspace) return true;
  String candidate = CharLeft(Text(), SelStart()) + (backspace ? String() : Typed);
  if (FStyle == edsDataList) {
    if (TGridImpl::CanEditModify(g) && g->OperationsAllowEdit() && c->ListDataSet() && !backspace)
      CompleteFromLookup(c, candidate);
    Typed.clear();
    return false;
  }
  bool keyList = c->ColumnKind() == ckKeyList;
  if (!keyList && FStyle != edsPickList) return true;
  bool discard = false;
  if (TGridImpl::CanEditModify(g) && !(backspace && keyList)) CompleteFromPickList(c, candidate, discard);
  if (keyList || discard) {
    Typed.clear();
    return false;
  }
  return true;
}

void TDBGridInplaceEdit::SyncKeyFromText() {
  TCustomDBGridEh* g = DBGrid();
  TColumnEh* c = CurrentColumn();
  if (!g || !c || !c->IsEditable(true)) return;
  TGridImpl::SetEditText(g, g->Col(), g->Row(), Text());
  if (FStyle != edsDataList) return;
  TField* f = c->Field();
  TDataSet* list = c->ListDataSet();
  if (f && list && list->Locate(f->LookupResultField(), Variant(Text()), TLocateOptions{loCaseInsensitive}))
    TGridImpl::Of(g).FEditValue = list->FieldValues(f->LookupKeyFields());
  else
    TGridImpl::Of(g).FEditValue = Null();
}

void TDBGridInplaceEdit::PasteText() {
  TCustomDBGridEh* g = DBGrid();
  TColumnEh* c = CurrentColumn();
  if (!g || !c || !g->OperationsAllowEdit() || !c->IsEditable(false)) return;
  if (!Clipboard()->HasFormat(CF_TEXT)) return;
  String candidate = CharLeft(Text(), SelStart()) + Clipboard()->AsText() + CharMid(Text(), SelStart() + SelLength());
  if (FStyle == edsDataList) {
    CompleteFromLookup(c, candidate);
    return;
  }
  bool discard = false;
  if (TGridImpl::CanEditModify(g)) CompleteFromPickList(c, candidate, discard);
}

// ================================================================ drop-downs

TPopupCalculatorEh* TDBGridInplaceEdit::CalculatorPopup() {
  if (!FCalculator) {
    FCalculator = new TPopupCalculatorEh(this);
    FCalculator->SetVisible(false);
    if (HandleAllocated()) FCalculator->HandleNeeded();
  }
  return FCalculator;
}

bool TDBGridInplaceEdit::CalculatorAllowed() const {
  TColumnEh* c = CurrentColumn();
  return FStyle == edsDropDown && c && c->Field() && IsNumericField(c->Field());
}

void TDBGridInplaceEdit::FillPickList(TColumnEh* Column) {
  TStrings* picks = Column->PickList();
  TStrings* items = FPickList->Items();
  items->Clear();
  int keys = Column->KeyList()->Count();
  int n = keys > 0 ? std::min(keys, picks->Count()) : picks->Count();
  for (int i = 0; i < n; ++i) items->AddObject(picks->Strings(i), picks->Objects(i));
  FPickList->SetColor(Color());
  FPickList->Font()->Assign(Font());
  int rows = std::max(1, static_cast<int>(Column->DropDownRows()));
  int shown = std::min(std::max(n, 1), rows);
  FPickList->SetHeight(shown * FPickList->RowHeight() + 4);
  TField* f = Column->Field();
  if (f && f->IsNull()) FPickList->SetItemIndex(-1);
  else FPickList->SetItemIndex(IndexOfText(keys > 0 ? picks : items, Text()));
  int widest = 0;
  for (int i = 0; i < n; ++i) widest = std::max(widest, FPickList->Canvas()->TextWidth(items->Strings(i)));
  FPickList->SetClientWidth(std::max(FPickList->ClientWidth(), widest) + 4);
}

void TDBGridInplaceEdit::PrepareCalendar() {
  TColumnEh* c = CurrentColumn();
  FCalendar->SetColor(Color());
  FCalendar->Font()->Assign(Font());
  TDateTime d = Date();
  if (!Text().empty() && !TryStrToDate(Text(), d)) {
    TField* f = c ? c->Field() : nullptr;
    d = f && !f->IsNull() && f->AsDateTime() != 0 ? f->AsDateTime() : Date();
  }
  FCalendar->SetDate(d);
  TRect req = FCalendar->MinReqRect();
  FCalendar->SetBounds(FCalendar->Left(), FCalendar->Top(), req.Width() + 4, req.Height() + 4);
}

void TDBGridInplaceEdit::OpenDropDown() {
  if (FListVisible || !FActiveList) return;
  TColumnEh* c = CurrentColumn();
  TCustomDBGridEh* g = DBGrid();
  if (!c || !g) return;
  FActiveList->SetWidth(Width());
  FTextBeforeDrop = g->EditText();
  if (FActiveList == FCalendar) {
    PrepareCalendar();
  } else if (FActiveList == FCalculator) {
    double v = 0;
    if (!Text().empty() && !TryStrToFloat(Text(), v)) v = 0;
    FCalculator->SetDropDownValue(Variant(v));
    FCalculator->SetFlatButtons(g->Flat());
    SetSelLength(0);
  } else if (FActiveList == FPickList) {
    FillPickList(c);
  } else if (FActiveList && FActiveList == FLookupGrid) {
    PrepareLookupGrid(c);
  }
  CloseMRUList(false);
  TPoint p = PlaceDropDownUnder(this, FActiveList, daLeft);
  if (FActiveList == FPickList) {
    FPickList->SizeGrip()->ShowGrip(c->DropDownSizing());
    FPickList->SetWasResized(false);
  }
  if (FLookupGrid && FActiveList == FLookupGrid) {
    FLookupGrid->SizeGrip()->ShowGrip(c->DropDownSizing());
    FLookupGrid->SetWasResized(false);
  }
  ShowPopupAt(FActiveList, p.X, p.Y, this, [this] { CloseDropDown(false); });
  FListVisible = true;
  Invalidate();
  if (ButtonCount() > 0) ButtonControl(0)->SetAlwaysDown(true);
}

void TDBGridInplaceEdit::CloseDropDown(bool Accept) {
  Variant key = Null();
  if (FActiveList && (FActiveList->Focused() || IsOwnControl(GetFocus())) && CanFocus()) SetFocus();
  if (!FListVisible) return;
  if (ButtonCount() > 0) ButtonControl(0)->SetAlwaysDown(false);
  if (FCloseLock) return;
  if (HWND cap = GetCapture()) SendMessage(cap, WM_CANCELMODE, 0, 0);
  TColumnEh* c = CurrentColumn();
  if (FActiveList == FPickList && c) {
    int i = FPickList->ItemIndex();
    if (i >= 0) key = c->KeyList()->Count() > 0 ? Variant(c->KeyList()->Strings(i)) : Variant(FPickList->Items()->Strings(i));
    if (FPickList->WasResized()) {
      c->SetDropDownRows(static_cast<Cardinal>(FPickList->ClientHeight() / std::max(1, FPickList->RowHeight())));
      c->SetDropDownWidth(FPickList->Width());
    }
  }
  if (FLookupGrid && FActiveList == FLookupGrid && c) {
    key = FLookupGrid->ChosenKey();
    if (FLookupGrid->WasResized()) {
      c->SetDropDownRows(static_cast<Cardinal>(FLookupGrid->ListRows()));
      c->SetDropDownWidth(FLookupGrid->Width());
    }
    if (FLookupColumnsMoved) c->DropDownSpecRow()->SetCellsText(FLookupGrid->SpecRow()->CellsText());
  }
  TWinControl* list = FActiveList;
  FListVisible = false;
  HidePopup(list);
  if (FLookupGrid && list == FLookupGrid) {
    FLookupGrid->SetAutoFitListColWidths(false);
    FLookupGrid->SetListSource(nullptr);
    FLookupSource->SetDataSet(nullptr);
  }
  Invalidate();
  TCustomDBGridEh* g = DBGrid();
  if (!Accept) {
    // The keys moved the text along the list; the text from before the drop-down comes back.
    if (g && (list == FPickList || (list && list == FLookupGrid))) SetText(FTextBeforeDrop);
    return;
  }
  AcceptChoice(key);
}

void TDBGridInplaceEdit::AcceptChoice(const Variant& Key) {
  TCustomDBGridEh* g = DBGrid();
  TColumnEh* c = CurrentColumn();
  if (!g || !c) return;
  if (FActiveList == FCalendar) {
    if (c->IsEditable(true) && TGridImpl::CanEditModify(g)) {
      g->DataLink()->Edit();
      TDateTime d = FCalendar->Date();
      c->WriteValue(DateToStr(d), Variant(d), false);
    }
  } else if (FActiveList == FCalculator) {
    // An error value is refused before the record is touched, so the editor keeps its text.
    Variant v = FCalculator->GetDropDownValue();
    TVarType t = VarType(v);
    if (t != varSmallint && t != varInteger && t != varSingle && t != varDouble && t != varCurrency) return;
    if (!c->IsEditable(true) || !TGridImpl::CanEditModify(g)) return;
    SetText(FloatToStr(v.AsDouble()));
    TGridImpl::SetEditText(g, g->Col(), g->Row(), Text());
    SelectAll();
  } else if (FActiveList && FActiveList == FLookupGrid) {
    AcceptLookup(Key);
  } else if (FActiveList == FPickList) {
    if (VarIsNull(Key) || !TGridImpl::CanEditModify(g)) return;
    int i = FPickList->ItemIndex();
    if (c->KeyList()->Count() > 0 && i >= 0) SetText(FPickList->Items()->Strings(i));
    else if (c->KeyList()->Count() == 0) SetText(VarToStr(Key));
    TGridImpl::SetEditText(g, g->Col(), g->Row(), Text());
    RefreshImageIndex();
  }
}

void TDBGridInplaceEdit::PickListMouseUp(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
  if (Button == mbLeft) CloseDropDown(PtInRect(FPickList->ClientRect(), TPoint{X, Y}));
}

// The lookup grid shows the editor's colours, the column's special row and list settings.
void TDBGridInplaceEdit::PrepareLookupGrid(TColumnEh* Column) {
  TCustomDBGridEh* g = DBGrid();
  TDataSet* list = Column->ListDataSet();
  TPopupDataGridEh* grid = FLookupGrid;
  grid->SetColor(Color());
  grid->Font()->Assign(Font());
  grid->SetSpecRow(Column->DropDownSpecRow());
  int rows = static_cast<int>(Column->DropDownRows());
  if (list->IsSequenced() && list->RecordCount() >= 1 && list->RecordCount() < rows) rows = list->RecordCount();
  grid->SetTitlesShown(Column->DropDownShowTitles());
  if (!FLookupSource) FLookupSource = std::make_unique<TDataSource>(nullptr);
  FLookupSource->SetDataSet(list);
  TField* f = Column->Field();
  grid->SetKeyField(f ? f->LookupKeyFields() : String());
  grid->SetListFieldPosition(0);
  grid->SetListField(Column->LookupDisplayFields());
  grid->SetAutoFitListColWidths(false);
  grid->SetUseMultiTitleEh(Column->DropDownBox()->UseMultiTitle());
  grid->SetListSource(FLookupSource.get());
  grid->SetListRows(rows);
  int width = Column->DropDownWidth();
  if (width == -1) grid->SetClientWidth(grid->ColumnsTotalWidth());
  else grid->SetWidth(width > 0 ? width : Width());
  if (grid->Width() < Width()) grid->SetWidth(Width());
  grid->SetChosenKey(g->EditValue());
  FLookupColumnsMoved = false;
  grid->SetAutoFitListColWidths(Column->DropDownBox()->AutoFitColWidths());
  grid->SetListRows(rows);
}

// Writes the chosen key into the record; a key the record refuses leaves the field's text
// (and a blank) in the editor and the error goes on.
void TDBGridInplaceEdit::AcceptLookup(const Variant& Key) {
  TCustomDBGridEh* g = DBGrid();
  TColumnEh* c = CurrentColumn();
  if (!AllFieldsModifiable(KeyFieldsOf(c)) || !TGridImpl::CanEditModify(g) || !c->IsEditable(true)) return;
  g->DataLink()->Edit();
  if (g->DataLink()->Editing()) g->DataLink()->MarkModified();
  String chosen = FLookupGrid->ChosenText();
  try {
    TGridImpl::Of(g).FEditValue = Key;
    TGridImpl::SetEditText(g, g->Col(), g->Row(), chosen);
    g->UpdateData();
  } catch (...) {
    TField* f = c->Field();
    SetText((f ? f->Text() : String()) + " ");
    throw;
  }
  SetText(chosen);
  SelectAll();
}

// The editor text follows the item the keys moved the pick list (or the lookup grid) to.
void TDBGridInplaceEdit::FollowList() {
  if (FLookupGrid && FActiveList == FLookupGrid) {
    if (FLookupGrid->ChosenText() != Text()) {
      SetText(FLookupGrid->ChosenText());
      SelectAll();
    }
    return;
  }
  if (FActiveList != FPickList) return;
  int i = FPickList->ItemIndex();
  if (i >= 0 && FPickList->Items()->Strings(i) != Text()) {
    SetText(FPickList->Items()->Strings(i));
    SelectAll();
  }
}

bool TDBGridInplaceEdit::IsOwnControl(HWND Window) const {
  if (!Window) return false;
  for (TWinControl* w : {static_cast<TWinControl*>(FPickList), static_cast<TWinControl*>(FCalendar),
                         static_cast<TWinControl*>(FLookupGrid),
                         static_cast<TWinControl*>(FCalculator), static_cast<TWinControl*>(FMRUListBox)}) {
    if (!w || !w->HandleAllocated()) continue;
    if (w->Handle() == Window) return true;
    for (TWinControl* p = FindControl(Window); p; p = p->Parent())
      if (p == w) return true;
  }
  return false;
}

// A drag from the pressed main button into the open list selects there: the button lets go
// of the mouse and the list is pressed at the point instead.
bool TDBGridInplaceEdit::DragIntoList(int X, int Y) {
  if (!FListVisible || !FActiveList || ButtonCount() == 0) return false;
  TEditButtonControlEh* b = ButtonControl(0);
  if (!b->MouseCapture()) return false;
  TPoint p = FActiveList->ScreenToClient(b->ClientToScreen({X, Y}));
  if (!PtInRect(FActiveList->ClientRect(), p)) return false;
  b->Perform(WM_CANCELMODE, 0, 0);
  FActiveList->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(p.X, p.Y));
  return true;
}

// ---------------------------------------------------------------- keys of the drop-downs

// Enter, Esc and Alt+Up/Down open and close; true when the message is used up.
bool TDBGridInplaceEdit::HandleListKeys(TMessage& M) {
  bool down = M.Msg == WM_KEYDOWN || M.Msg == WM_SYSKEYDOWN;
  TShiftState shift = KeyboardStateToShiftState();
  bool calculator = FActiveList && FActiveList == FCalculator;
  if (M.Msg == WM_CHAR && (M.WParam == 13 || M.WParam == 27) && !shift.Contains(ssAlt)) {
    if (FListVisible && !calculator) {
      CloseDropDown(M.WParam == 13);
      return true;
    }
  }
  if (down && M.WParam == VK_RETURN && !FListVisible && IsCtrlOnly(shift)) {
    OpenDropDown();
    DiscardPendingMessage(Handle(), WM_CHAR);
    return true;
  }
  if (down && (M.WParam == VK_RETURN || M.WParam == VK_ESCAPE) && FListVisible && !calculator) {
    // The character closes; the key itself must not reach the grid.
    return true;
  }
  if (down && (M.WParam == VK_UP || M.WParam == VK_DOWN) && shift.Contains(ssAlt)) {
    if (FListVisible) CloseDropDown(true);
    else OpenDropDown();
    return true;
  }
  return false;
}

// Keys the open list takes from the editor; true when forwarded.
bool TDBGridInplaceEdit::ForwardToList(TMessage& M) {
  if (!FListVisible || !FActiveList) return false;
  TShiftState shift = KeyboardStateToShiftState();
  if (FActiveList == FCalculator) {
    // Enter and Esc come as keys and as characters; the calculator acts on whichever it reads.
    bool key = M.Msg == WM_KEYDOWN && (M.WParam == VK_RETURN || M.WParam == VK_ESCAPE);
    bool ch = M.Msg == WM_CHAR && ((M.WParam >= 32 && M.WParam <= 126) || M.WParam == 13 || M.WParam == 27);
    if (!key && !ch) return false;
    FCalculator->Perform(M.Msg, M.WParam, M.LParam);
    // A key that closed the calculator takes its character along: it must not reach the grid.
    if (key && !FListVisible && HandleAllocated()) DiscardPendingMessage(Handle(), WM_CHAR);
    return true;
  }
  if (M.Msg != WM_KEYDOWN) return false;
  bool nav = ((M.WParam == VK_UP || M.WParam == VK_DOWN || M.WParam == VK_PRIOR || M.WParam == VK_NEXT) &&
              !shift.Contains(ssShift)) ||
             ((M.WParam == VK_HOME || M.WParam == VK_END) && shift.Contains(ssCtrl)) ||
             (FActiveList == FCalendar && (M.WParam == VK_LEFT || M.WParam == VK_RIGHT));
  if (!nav) return false;
  FActiveList->Perform(M.Msg, M.WParam, M.LParam);
  FollowList();
  return true;
}

bool TDBGridInplaceEdit::MRUListKeys(TMessage& M) {
  if (!MRUDroppedDown()) return false;
  TShiftState shift = KeyboardStateToShiftState();
  if (M.Msg == WM_KEYDOWN) {
    bool nav = ((M.WParam == VK_UP || M.WParam == VK_DOWN || M.WParam == VK_PRIOR || M.WParam == VK_NEXT) &&
                !shift.Contains(ssAlt)) ||
               ((M.WParam == VK_HOME || M.WParam == VK_END) && shift.Contains(ssCtrl));
    if (nav) {
      FMRUListBox->Perform(M.Msg, M.WParam, M.LParam);
      return true;
    }
    return M.WParam == VK_RETURN || M.WParam == VK_ESCAPE;
  }
  if (M.Msg == WM_CHAR && (M.WParam == 13 || M.WParam == 27)) {
    CloseMRUList(M.WParam == 13);
    return true;
  }
  return false;
}

// ================================================================ recently entered texts

TMRUListboxEh* TDBGridInplaceEdit::MRUListBox() {
  if (!FMRUListBox) {
    FMRUListBox = new TMRUListboxEh(this);
    FMRUListBox->SetVisible(false);
    FMRUListBox->SetCtl3D(false);
    FMRUListBox->SetSorted(true);
    FMRUListBox->OnMouseUp = TMouseEvent::Lambda(
        [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) { MRUListMouseUp(S, B, Sh, X, Y); });
  }
  return FMRUListBox;
}

bool TDBGridInplaceEdit::AcceptMRUItem(const String& Item) {
  String head = CharLeft(Item, CharLength(Text()));
  bool accept = FMRUList->CaseSensitive() ? head == Text() : AnsiCompareText(head, Text()) == 0;
  if (FMRUList->OnAcceptItem) FMRUList->OnAcceptItem(CurrentColumn(), Item, accept);
  return accept;
}

void TDBGridInplaceEdit::OpenMRUList() {
  if (!FMRUList) return;
  TMRUListboxEh* box = MRUListBox();
  box->Items()->Clear();
  bool complete = FMRUList->CollectMatches(box->Items(), Text());
  // Items the column's filter refuses leave the list.
  for (int i = box->Items()->Count() - 1; i >= 0; --i)
    if (!AcceptMRUItem(box->Items()->Strings(i))) box->Items()->Delete(i);
  if (!complete) {
    CloseMRUList(false);
    return;
  }
  box->ShowMatches(FMRUList, this, TextRect(), [this] { CloseMRUList(false); });
}

// Lets go of the lookup grid of the column shown last (a column that goes frees it).
void TDBGridInplaceEdit::ReleaseLookupGrid() {
  if (!FLookupGrid) return;
  if (FListVisible && FActiveList == FLookupGrid) {
    FListVisible = false;
    HidePopup(FLookupGrid);
  }
  if (FActiveList == FLookupGrid) FActiveList = nullptr;
  FLookupGrid->OnListCloseUp = TListCloseUpEventEh();
  FLookupGrid->OnColumnMovedEh = TNotifyEvent();
  FLookupGrid = nullptr;
}

void TDBGridInplaceEdit::ColumnGone(TColumnEh* Column) {
  if (FLookupGrid && Column->HasDropDownList() && Column->DropDownList() == FLookupGrid) ReleaseLookupGrid();
  if (!FMRUList || FMRUList != Column->MRUList()) return;
  CloseMRUList(false);
  FMRUList = nullptr;
}

void TDBGridInplaceEdit::CloseMRUList(bool Accept) {
  if (!MRUDroppedDown()) return;
  if (HWND cap = GetCapture()) SendMessage(cap, WM_CANCELMODE, 0, 0);
  bool hadFocus = FMRUListBox->Focused();
  FMRUList->SetDroppedDown(false);
  HidePopup(FMRUListBox);
  if (hadFocus && CanFocus()) SetFocus();
  TCustomDBGridEh* g = DBGrid();
  if (!Accept || ReadOnly() || !g) return;
  g->DataLink()->Edit();
  if (!g->DataLink()->Editing()) return;
  int i = FMRUListBox->ItemIndex();
  if (i >= 0) {
    SetText(FMRUListBox->Items()->Strings(i));
    TGridImpl::SetEditText(g, g->Col(), g->Row(), Text());
    g->DataLink()->MarkModified();
  }
  if (Focused()) SelectAll();
}

void TDBGridInplaceEdit::MRUListMouseUp(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
  if (Button == mbLeft) CloseMRUList(PtInRect(FMRUListBox->ClientRect(), TPoint{X, Y}));
}

// After a message that may have changed the text by the user's hand.
void TDBGridInplaceEdit::AfterUserTyping() {
  if (!FUserTyped) return;
  FUserTyped = false;
  RefreshImageIndex();
  if (!FMRUList) return;
  String blank = EditMask().empty() ? String() : FormatMaskText(EditMask(), String());
  if (MRUDroppedDown() && Text() == blank) {
    CloseMRUList(false);
    return;
  }
  if (FMRUList->Active() && Visible() && !FListVisible && Text() != blank) OpenMRUList();
}

void TDBGridInplaceEdit::Change() {
  TInplaceEdit::Change();
  RefreshImageIndex();
}

// Mouse messages outside the text rectangle stay away from the edit unless it holds the
// mouse; a press left of a tree node's text opens or closes the node first.
bool TDBGridInplaceEdit::MouseOutsideText(TMessage& M) {
  TPoint p = PointFromLParam(M.LParam);
  bool press = M.Msg == WM_LBUTTONDOWN || M.Msg == WM_RBUTTONDOWN || M.Msg == WM_MBUTTONDOWN;
  if (int indent = TreeIndent(); press && indent > 0 && p.X >= indent - kTreeLevelIndent && p.X < indent) {
    TCustomDBGridEh* g = DBGrid();
    IMemTableEh* tree = g->MemTableSupport();
    int target = tree->SetNodeExpanded(tree->CurrentViewRecordNumber(), !tree->NodeExpanded());
    if (target > 0 && target != tree->CurrentViewRecordNumber() && g->DataSet()) g->DataSet()->SetRecNo(target);
  }
  return !MouseCapture() && !PtInRect(TextRect(), p);
}

// ================================================================ painting, images, focus

void TDBGridInplaceEdit::RefreshImageIndex() {
  TColumnEh* c = CurrentColumn();
  int index = -1;
  if (c && c->ImageList()) {
    if (c->PickList()->Count() > 0) index = c->PickList()->IndexOf(Text());
    else if (c->Field() && IsNumericField(c->Field()) && !c->Field()->IsNull()) index = c->Field()->AsInteger();
    if (index == -1) index = c->NotInKeyListIndex();
  }
  if (index != FImageIndex) {
    FImageIndex = index;
    Invalidate();
  }
}

bool TDBGridInplaceEdit::RequiredMarkShown() {
  TCustomDBGridEh* g = DBGrid();
  TColumnEh* c = CurrentColumn();
  if (!g || !c || !c->HighlightRequired() || !g->DataLink()->Active()) return false;
  TDataSet* ds = g->DataSet();
  TField* f = c->Field();
  bool shown = ds && (ds->State() == dsEdit || ds->State() == dsInsert) && f && f->Required() && f->IsNull();
  if (c->OnCheckDrawRequiredState) c->OnCheckDrawRequiredState(this, Text(), shown);
  return shown;
}

void TDBGridInplaceEdit::DrawRequiredMark(HDC DC) {
  if (!RequiredMarkShown()) return;
  TRect r = TextRect();
  TCanvas canvas;
  canvas.SetHandle(DC);
  canvas.Pen()->SetColor(clRed);
  DrawDottedLine(&canvas, {r.Left + 2, Height() - 2}, r.Right - 3 - (r.Left + 2), false, true);
  canvas.SetHandle(nullptr);
}

// The column's image before the text, in the strip TextRect leaves free.
void TDBGridInplaceEdit::PaintImage(HDC DC) {
  TColumnEh* c = CurrentColumn();
  if (!c || !c->ImageList() || !c->ShowImageAndText() || FImageIndex < 0 || !Visible()) return;
  int w = c->ImageList()->Width(), x = TreeIndent() + 2;
  bool rtl = c->UseRightToLeftReading();
  TRect r = rtl ? Rect(Width() - x - w, 0, Width() - x, Height()) : Rect(x, 0, x + w, Height());
  TCanvas canvas;
  canvas.SetHandle(DC);
  DrawImageCentered(&canvas, r, c->ImageList(), false, FImageIndex);
  canvas.SetHandle(nullptr);
}

void TDBGridInplaceEdit::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR: {
      bool listStyle = FStyle == edsPickList || FStyle == edsDataList || FStyle == edsDateCalendar || CalculatorAllowed();
      if (listStyle && (HandleListKeys(M) || ForwardToList(M))) return;
      if (M.Msg == WM_CHAR && listStyle && !FListVisible && M.WParam >= 32 && CurrentColumn() &&
          CurrentColumn()->AutoDropDown())
        OpenDropDown();
      if (MRUListKeys(M)) return;
      break;
    }
    case WM_PASTE:
      if (DBGrid() && CurrentColumn() &&
          (FStyle == edsDataList || CurrentColumn()->ColumnKind() == ckKeyList)) {
        PasteText();
        return;
      }
      break;
    case WM_MOUSEWHEEL:
      if (FListVisible) return;
      break;
    case WM_KILLFOCUS: {
      HWND to = reinterpret_cast<HWND>(M.WParam);
      if (FListVisible && !IsOwnControl(to)) CloseDropDown(false);
      if (MRUDroppedDown() && !(FMRUListBox->HandleAllocated() && to == FMRUListBox->Handle())) CloseMRUList(false);
      TInplaceEdit::Dispatch(M);
      if (TCustomDBGridEh* g = DBGrid()) g->RefreshFocusHighlight();
      return;
    }
    case WM_SETFOCUS:
      TInplaceEdit::Dispatch(M);
      if (TCustomDBGridEh* g = DBGrid()) g->RefreshFocusHighlight();
      return;
    case WM_SETCURSOR:
      // Over the button strip and the image the arrow, over the text the edit's own.
      if (!MouseCapture() && HandleAllocated()) {
        TPoint p;
        GetCursorPos(&p);
        if (!PtInRect(TextRect(), ScreenToClient(p))) {
          ::SetCursor(Screen->Cursors(crArrow));
          M.Result = 1;
          return;
        }
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      if (MouseOutsideText(M)) return;
      break;
    case CM_CANCELMODE: {
      auto* sender = reinterpret_cast<TControl*>(M.LParam);
      auto* w = dynamic_cast<TWinControl*>(sender);
      bool own = sender == this || (w && w->HandleAllocated() && IsOwnControl(w->Handle()));
      for (int i = 0; i < ButtonCount() && !own; ++i) own = sender == ButtonControl(i);
      if (!own) {
        CloseDropDown(false);
        CloseMRUList(false);
      }
      break;
    }
    case WM_PAINT:
      TInplaceEdit::Dispatch(M);
      if (HDC dc = reinterpret_cast<HDC>(M.WParam)) {
        DrawRequiredMark(dc);
        PaintImage(dc);
      }
      return;
    case WM_SIZE:
      TInplaceEdit::Dispatch(M);
      if (HandleAllocated()) DiscardPendingMessage(Handle(), CM_MENUCLOSED);
      LayoutEditButtons();
      EnableEditButtons();
      UpdateFormatRect();
      return;
    case CM_ENABLEDCHANGED:
      TInplaceEdit::Dispatch(M);
      EnableEditButtons();
      return;
    case WM_LBUTTONDBLCLK:
      TInplaceEdit::Dispatch(M);
      if (TColumnEh* c = CurrentColumn(); c && c->DblClickNextVal())
        c->StepValue(KeyboardStateToShiftState().Contains(ssShift) ? -1 : 1);
      return;
    default: break;
  }
  TInplaceEdit::Dispatch(M);
  AfterUserTyping();
}
