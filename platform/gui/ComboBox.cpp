// Combo boxes: the CB_ messages over the list, the edit part, the drop-down list and its keys.
#include "gui/ComboBox.h"
#include "core/ClassBuilder.h"
#include "gui/Clipbrd.h"

#include "gui/CtrlUtils_p.h"
#include "gui/Forms.h"
#include "gui/ListCtrls_p.h"
#include "gui/QtBridge_p.h"
#include "gui/QtGlue_p.h"
#include "gui/WinGDI.h"

#include "core/Exceptions.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <QtWidgets/QLineEdit>

#include <algorithm>

using namespace ctrl_utils;

// The edit field of the edit styles: Qt's line edit under a name of the layer's own.
class TComboEdit : public QLineEdit {
public:
  using QLineEdit::QLineEdit;
};

// A combo box answers with its list's results.
static_assert(LB_ERR == CB_ERR, "the item messages share their error answer");

namespace {

// Characters of a QString as the edit counts them.
int CharCount(const QString& s) { return static_cast<int>(s.toStdU32String().size()); }

// The UTF-16 units Qt counts for the first Count characters of Chars.
int UnitsOf(const std::u32string& Chars, int Count) {
  return static_cast<int>(QString::fromStdU32String(Chars.substr(0, static_cast<std::size_t>(Count))).size());
}

String InCase(const String& S, TEditCharCase Case) {
  if (Case == ecUpperCase) return AnsiUpperCase(S);
  if (Case == ecLowerCase) return AnsiLowerCase(S);
  return S;
}

constexpr TItemMessageStrings::TMessages ComboBoxMessages{
    CB_ADDSTRING,    CB_INSERTSTRING, CB_DELETESTRING, CB_FINDSTRINGEXACT, CB_GETLBTEXT,
    CB_GETLBTEXTLEN, CB_GETCOUNT,     CB_GETITEMDATA,  CB_SETITEMDATA};

}  // namespace

// ================================================================ TComboBoxStrings

TComboBoxStrings::TComboBoxStrings(TCustomComboBox* Combo)
    : TItemMessageStrings(Combo, ComboBoxMessages), FCombo(Combo) {}

void TComboBoxStrings::Clear() {
  String text = FCombo->Text();
  FCombo->Perform(CB_RESETCONTENT);
  // The edit styles keep what was typed; only the list goes.
  if (FCombo->HasEdit()) FCombo->SetEditText(text);
}

int TComboBoxStrings::CurrentIndex() const { return FCombo->ItemIndex(); }

void TComboBoxStrings::SetCurrentIndex(int Index) { FCombo->SetItemIndex(Index); }

void TComboBoxStrings::SetUpdateState(bool Updating) {
  FCombo->Perform(WM_SETREDRAW, Updating ? 0 : 1);
  FCombo->ListBox()->Perform(WM_SETREDRAW, Updating ? 0 : 1);
  if (!Updating) FCombo->Invalidate();
}

bool TComboBoxStrings::IsSorted() const { return FCombo->Sorted(); }

// ================================================================ TComboListBox

KELM_PUBLISH(TComboListBox) {}

TComboListBox::TComboListBox(TComponent* AOwner, TCustomComboBox* Combo) : TCustomListBox(AOwner), FCombo(Combo) {
  SetTabStop(false);
  SetAutoComplete(false);
  SetVisible(false);
}

void TComboListBox::CreateParams(TCreateParams& P) {
  TCustomListBox::CreateParams(P);
  if (!Parent()) {
    // The drop-down: a thin frame, above every window, never activated.
    P.Style = WS_POPUP | WS_BORDER;
    P.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  }
}

void TComboListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) { FCombo->DrawItem(Index, Rect, State); }

void TComboListBox::MeasureItem(int Index, int& Height) { FCombo->MeasureItem(Index, Height); }

void TComboListBox::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CN_DRAWITEM:
    case CN_MEASUREITEM:
      // The combo box draws and measures its list's items.
      if (auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(M.LParam); d && M.Msg == CN_DRAWITEM) {
        d->CtlType = ODT_COMBOBOX;
        d->hwndItem = FCombo->Handle();
      }
      if (auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(M.LParam); m && M.Msg == CN_MEASUREITEM) m->CtlType = ODT_COMBOBOX;
      M.Result = FCombo->Perform(M.Msg, M.WParam, M.LParam);
      return;
    case CN_COMMAND:
      // The simple style's list: a choice made in it is the combo box's.
      if (HiWord(M.WParam) == LBN_SELCHANGE && Parent() == FCombo) FCombo->ChooseFromList(ItemIndex());
      if (HiWord(M.WParam) == LBN_DBLCLK && Parent() == FCombo) FCombo->Notify(CBN_DBLCLK);
      return;
    default:
      TCustomListBox::Dispatch(M);
  }
}

void TComboListBox::DefaultHandler(TMessage& M) {
  if (Parent() == FCombo) {
    // The list under a simple combo box: the combo box keeps the focus.
    if ((M.Msg == WM_LBUTTONDOWN || M.Msg == WM_LBUTTONDBLCLK) && FCombo->CanFocus() && GetFocus() != FCombo->Handle())
      FCombo->SetFocus();
    if (M.Msg == WM_SETFOCUS) {
      FCombo->SetFocus();
      return;
    }
    TCustomListBox::DefaultHandler(M);
    return;
  }
  switch (M.Msg) {
    case WM_MOUSEMOVE: {
      // The highlight follows the mouse over the dropped list.
      int i = HitItem(PointFromLParam(M.LParam));
      if (i >= 0 && i != ItemIndex()) Perform(LB_SETCURSEL, static_cast<WPARAM>(i));
      return;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      return;  // the choice is made when the button comes up
    case WM_LBUTTONUP: {
      int i = HitItem(PointFromLParam(M.LParam));
      if (i >= 0) FCombo->ChooseFromList(i);
      return;
    }
    case WM_SETFOCUS:
      return;
    default:
      TCustomListBox::DefaultHandler(M);
  }
}

// ================================================================ TCustomComboBox

KELM_PUBLISH(TCustomComboBox) {}

KELM_PUBLISH(TComboBox) { Published(b); }

TCustomComboBox::TCustomComboBox(TComponent* AOwner) : TWinControl(AOwner) {
  FItems = std::make_unique<TComboBoxStrings>(this);
  FCanvas = std::make_unique<TControlCanvas>();
  FCanvas->SetControl(this);
  FList = std::make_unique<TComboListBox>(nullptr, this);
  SetControlStyle({csDoubleClicks, csFixedHeight, csOpaque});
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  FList->SetParentFont(false);
  FList->Font()->Assign(Font());
  SetStyle(csDropDown);
  SetBounds(0, 0, 145, EditHeight());
}

TCustomComboBox::~TCustomComboBox() {
  Destroying();
  if (FDropped) HidePopup(FList.get());
  FList.reset();
  if (FEdit) {
    Widget()->setFocusProxy(nullptr);
    delete FEdit;
    FEdit = nullptr;
  }
  FCanvas->SetControl(nullptr);
}

void TCustomComboBox::CreateParams(TCreateParams& P) {
  TWinControl::CreateParams(P);
  if (FStyle != csSimple) P.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomComboBox::Loaded() {
  TWinControl::Loaded();
  if (FLoadedIndex >= 0) SetItemIndex(FLoadedIndex);
  FLoadedIndex = -1;
  PlaceParts();
}

void TCustomComboBox::CreateWnd() {
  TWinControl::CreateWnd();
  PlaceParts();
}

// ---------------------------------------------------------------- properties

int TCustomComboBox::ItemIndex() const { return static_cast<int>(const_cast<TCustomComboBox*>(this)->Perform(CB_GETCURSEL)); }

void TCustomComboBox::SetItemIndex(int Value) {
  if (ComponentState().Contains(csLoading)) {
    // Layouts list the index before the items.
    FLoadedIndex = Value;
    return;
  }
  if (ItemIndex() == Value && (Value < 0 || EditText() == FList->Items()->Strings(Value))) return;
  Perform(CB_SETCURSEL, static_cast<WPARAM>(Value));
}

void TCustomComboBox::Clear() {
  FItems->Clear();
  SetEditText(String());
  Perform(CM_TEXTCHANGED);
}

void TCustomComboBox::SelectAll() { Perform(CB_SETEDITSEL, 0, MakeLParam(0, -1)); }

int TCustomComboBox::SelStart() const {
  DWORD start = 0;
  const_cast<TCustomComboBox*>(this)->Perform(CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), 0);
  return static_cast<int>(start);
}

void TCustomComboBox::SetSelStart(int Value) { Perform(CB_SETEDITSEL, 0, MakeLParam(Value, Value)); }

int TCustomComboBox::SelLength() const {
  DWORD start = 0, end = 0;
  const_cast<TCustomComboBox*>(this)->Perform(CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end - start);
}

void TCustomComboBox::SetSelLength(int Value) {
  int s = SelStart();
  Perform(CB_SETEDITSEL, 0, MakeLParam(s, s + Value));
}

String TCustomComboBox::SelText() const {
  if (!FEdit) return String();
  return FromQString(FEdit->selectedText());
}

void TCustomComboBox::SetEditReadOnly(bool Value) {
  FEditReadOnly = Value;
  if (FEdit) FEdit->setReadOnly(Value);
}

void TCustomComboBox::SetSelText(const String& Value) {
  if (!FEdit) return;
  FEdit->insert(ToQString(Value));
  EditChanged();
}

bool TCustomComboBox::DroppedDown() const { return const_cast<TCustomComboBox*>(this)->Perform(CB_GETDROPPEDSTATE) != 0; }

void TCustomComboBox::SetDroppedDown(bool Value) { Perform(CB_SHOWDROPDOWN, Value ? 1 : 0); }

HWND TCustomComboBox::ListHandle() const { return FList->Handle(); }

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
  bool first = !FEdit && FStyle == Value && Value == csDropDown;
  if (FStyle == Value && !first) return;
  String text = FEdit ? EditText() : String();
  FStyle = Value;
  if (FDropped) CloseDropDown(false);
  if (HasEdit() && !FEdit) {
    FEdit = new TComboEdit(Widget());
    FEdit->setFrame(false);
    FEdit->setContextMenuPolicy(Qt::NoContextMenu);
    FEdit->setDragEnabled(false);
    FEdit->setAcceptDrops(false);
    FEdit->setFocusPolicy(Qt::ClickFocus);
    FEdit->setText(ToQString(text));
    FEdit->setReadOnly(FEditReadOnly);
    Widget()->setFocusProxy(FEdit);
    FEdit->show();
  } else if (!HasEdit() && FEdit) {
    Widget()->setFocusProxy(nullptr);
    delete FEdit;
    FEdit = nullptr;
  }
  // The simple style's list lies under the edit; the others drop theirs down.
  if (FStyle == csSimple) {
    FList->SetParent(this);
    FList->SetVisible(true);
  } else if (FList->Parent()) {
    FList->SetVisible(false);
    FList->SetParent(nullptr);
  }
  FList->SetStyle(FStyle == csOwnerDrawFixed ? lbOwnerDrawFixed : FStyle == csOwnerDrawVariable ? lbOwnerDrawVariable : lbStandard);
  if (IsOwnerDraw()) FList->SetItemHeight(FItemHeight);
  ApplyEditLook();
  if (!ComponentState().Contains(csLoading)) RecreateWnd();
  SetBounds(Left(), Top(), Width(), Height());
  PlaceParts();
  Invalidate();
}

int TCustomComboBox::ItemHeight() const {
  if (IsOwnerDraw()) return FItemHeight;
  return CellHeightOf(Font());
}

void TCustomComboBox::SetItemHeight(int Value) {
  if (Value <= 0) return;
  FItemHeight = Value;
  FItemHeightSet = true;
  if (IsOwnerDraw()) FList->SetItemHeight(Value);
  SetBounds(Left(), Top(), Width(), Height());
}

void TCustomComboBox::SetMaxLength(int Value) {
  FMaxLength = std::max(0, Value);
  Perform(CB_LIMITTEXT, static_cast<WPARAM>(FMaxLength));
}

void TCustomComboBox::SetCharCase(TEditCharCase Value) {
  if (FCharCase == Value) return;
  FCharCase = Value;
  if (FEdit && Value != ecNormal) SetEditText(InCase(EditText(), Value));
}

bool TCustomComboBox::Sorted() const { return FList->Sorted(); }

void TCustomComboBox::SetSorted(bool Value) { FList->SetSorted(Value); }

void TCustomComboBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  // The drop-down styles are as high as their edit part; the font decides.
  if (FStyle != csSimple) AHeight = EditHeight();
  TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  PlaceParts();
}

// ---------------------------------------------------------------- overridables

void TCustomComboBox::Select() {
  if (OnSelect) OnSelect(this);
  else Change();
}

void TCustomComboBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  FCanvas->FillRect(Rect);
  if (Index >= 0 && Index < FItems->Count()) FCanvas->TextOut(Rect.Left + 2, Rect.Top, FItems->Strings(Index));
}

void TCustomComboBox::MeasureItem(int Index, int& Height) { OnMeasureItem(this, Index, Height); }

void TCustomComboBox::KeyPress(Char& Key) {
  TWinControl::KeyPress(Key);
  if (Key == 0 || HasEdit() || !FAutoComplete) return;
  // The list style: characters typed close together select the first item they begin.
  if (Key < 32) return;
  DWORD now = GetTickCount();
  if (now - FLastKeyTime >= 500) FFilter.clear();
  FLastKeyTime = now;
  AppendUtf8(FFilter, Key);
  int i = static_cast<int>(ForwardToList(LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(FFilter.c_str())));
  if (i >= 0 && i != ItemIndex()) SelectIndex(i, true);
  Key = 0;
}

TRect TCustomComboBox::ButtonRect() const {
  if (FStyle == csSimple) return {};
  TRect c = ClientRect();
  return {c.Right - GetSystemMetrics(SM_CXVSCROLL), c.Top, c.Right, c.Bottom};
}

TRect TCustomComboBox::EditRect() const {
  TRect c = ClientRect();
  if (FStyle == csSimple) return {1, 1, c.Right - 1, EditHeight() - 5};
  return {1, 1, ButtonRect().Left - 1, c.Bottom - 1};
}

void TCustomComboBox::Notify(Word Code) { Perform(CN_COMMAND, MakeWParam(0, Code), static_cast<LPARAM>(Handle())); }

// ---------------------------------------------------------------- messages

void TCustomComboBox::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CN_COMMAND:
      switch (HiWord(M.WParam)) {
        case CBN_SELCHANGE:
          Click();
          Select();
          break;
        case CBN_EDITCHANGE: Change(); break;
        case CBN_DROPDOWN: DropDown(); break;
        case CBN_CLOSEUP: CloseUp(); break;
        case CBN_DBLCLK: DblClick(); break;
        default: break;
      }
      return;
    case CN_DRAWITEM:
      list_ctrls::DrawItemMessage(*this, *FCanvas, M,
                                  [this](int I, const TRect& R, TOwnerDrawState S) { DrawItem(I, R, S); });
      return;
    case CN_MEASUREITEM:
      list_ctrls::MeasureItemMessage(M, [this](int I, int& H) { MeasureItem(I, H); });
      return;
    case WM_GETDLGCODE:
      M.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (FDropped ? DLGC_WANTALLKEYS : 0);
      return;
    case WM_SIZE:
      TWinControl::Dispatch(M);
      PlaceParts();
      return;
    case CM_FONTCHANGED:
      TWinControl::Dispatch(M);
      FList->Font()->Assign(Font());
      ApplyEditLook();
      SetBounds(Left(), Top(), Width(), Height());
      return;
    case CM_COLORCHANGED:
    case CM_ENABLEDCHANGED:
      TWinControl::Dispatch(M);
      FList->SetColor(Color());
      ApplyEditLook();
      return;
    case WM_ERASEBKGND:
      M.Result = 1;
      return;
    default:
      TWinControl::Dispatch(M);
  }
}

LRESULT TCustomComboBox::ForwardToList(UINT Msg, WPARAM WParam, LPARAM LParam) const { return FList->Perform(Msg, WParam, LParam); }

void TCustomComboBox::DefaultHandler(TMessage& M) {
  switch (M.Msg) {
    case CB_ADDSTRING: M.Result = ForwardToList(LB_ADDSTRING, M.WParam, M.LParam); return;
    case CB_INSERTSTRING: M.Result = ForwardToList(LB_INSERTSTRING, M.WParam, M.LParam); return;
    case CB_DELETESTRING:
      CBDeleteString(M);
      return;
    case CB_RESETCONTENT:
      CBResetContent(M);
      return;
    case CB_GETCOUNT: M.Result = ForwardToList(LB_GETCOUNT, 0, 0); return;
    case CB_GETLBTEXT: M.Result = ForwardToList(LB_GETTEXT, M.WParam, M.LParam); return;
    case CB_GETLBTEXTLEN: M.Result = ForwardToList(LB_GETTEXTLEN, M.WParam, M.LParam); return;
    case CB_GETITEMDATA: M.Result = ForwardToList(LB_GETITEMDATA, M.WParam, M.LParam); return;
    case CB_SETITEMDATA: M.Result = ForwardToList(LB_SETITEMDATA, M.WParam, M.LParam); return;
    case CB_FINDSTRING: M.Result = ForwardToList(LB_FINDSTRING, M.WParam, M.LParam); return;
    case CB_FINDSTRINGEXACT: M.Result = ForwardToList(LB_FINDSTRINGEXACT, M.WParam, M.LParam); return;
    case CB_GETTOPINDEX: M.Result = ForwardToList(LB_GETTOPINDEX, 0, 0); return;
    case CB_SETTOPINDEX: M.Result = ForwardToList(LB_SETTOPINDEX, M.WParam, 0); return;
    case CB_SELECTSTRING:
      CBSelectString(M);
      return;
    case CB_GETCURSEL: M.Result = ForwardToList(LB_GETCURSEL, 0, 0); return;
    case CB_SETCURSEL:
      CBSetCurSel(M);
      return;
    case CB_SHOWDROPDOWN:
      CBShowDropDown(M);
      return;
    case CB_GETDROPPEDSTATE: M.Result = FDropped ? 1 : 0; return;
    case EM_SETREADONLY:
      SetEditReadOnly(M.WParam != 0);
      M.Result = 1;
      return;
    case CB_GETDROPPEDCONTROLRECT:
      CBGetDroppedControlRect(M);
      return;
    case CB_GETITEMHEIGHT:
      M.Result = static_cast<int>(M.WParam) == -1 ? EditHeight() - 6 : ListItemHeight();
      return;
    case CB_SETITEMHEIGHT:
      CBSetItemHeight(M);
      return;
    case CB_GETDROPPEDWIDTH: M.Result = FDropDownWidth > 0 ? FDropDownWidth : Width(); return;
    case CB_SETDROPPEDWIDTH:
      CBSetDroppedWidth(M);
      return;
    case CB_LIMITTEXT:
      CBLimitText(M);
      return;
    case CB_GETEDITSEL:
      CBGetEditSel(M);
      return;
    case CB_SETEDITSEL:
      CBSetEditSel(M);
      return;
    case WM_GETTEXT:
      AnswerGetText(EditText(), M);
      return;
    case WM_GETTEXTLENGTH:
      AnswerGetTextLength(EditText(), M);
      return;
    case WM_SETTEXT:
      WMSetText(M);
      return;
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
    case WM_CLEAR:
      WMClipboard(M);
      return;
    case WM_PAINT:
      PaintCombo(reinterpret_cast<HDC>(M.WParam));
      return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      KeyDownDefault(M);
      return;
    case WM_CHAR:
      CharDefault(M);
      return;
    case WM_MOUSEMOVE:
      WMMouseMove(M);
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      WMLButtonDown(M);
      return;
    case WM_LBUTTONUP:
      if (FEdit && PtInRect(EditRect(), PointFromLParam(M.LParam))) TWinControl::DefaultHandler(M);
      return;
    case WM_SETFOCUS:
      WMSetFocus(M);
      return;
    case WM_KILLFOCUS:
      WMKillFocus(M);
      return;
    case WM_CANCELMODE:
      if (FDropped) CloseDropDown(false);
      return;
    case WM_MOUSEWHEEL:
      WMMouseWheelDefault(M);
      return;
    case WM_SETREDRAW:
      return;
    default:
      TWinControl::DefaultHandler(M);
  }
}

void TCustomComboBox::CBDeleteString(TMessage& M) {
  bool wasCurrent = static_cast<int>(M.WParam) == ItemIndex();
  M.Result = ForwardToList(LB_DELETESTRING, M.WParam, M.LParam);
  if (wasCurrent && !HasEdit()) Invalidate();
}

void TCustomComboBox::CBResetContent(TMessage& M) {
  ForwardToList(LB_RESETCONTENT, 0, 0);
  SetEditText(String());
  Invalidate();
}

void TCustomComboBox::CBSelectString(TMessage& M) {
  int i = static_cast<int>(ForwardToList(LB_FINDSTRING, M.WParam, M.LParam));
  if (i >= 0) SelectIndex(i, false);
  M.Result = i;
}

void TCustomComboBox::CBSetCurSel(TMessage& M) {
  int i = static_cast<int>(M.WParam);
  if (i < 0 || i >= FItems->Count()) {
    ForwardToList(LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SetEditText(String());
    Invalidate();
    M.Result = CB_ERR;
    return;
  }
  SelectIndex(i, false);
  M.Result = i;
}

void TCustomComboBox::CBShowDropDown(TMessage& M) {
  ShowDropDown(M.WParam != 0);
  M.Result = 1;
}

void TCustomComboBox::CBGetDroppedControlRect(TMessage& M) {
  if (auto* r = reinterpret_cast<TRect*>(M.LParam)) {
    TPoint p = ClientToScreen({0, 0});
    TRect nc = NonClientMargins();
    *r = FDropped ? FList->BoundsRect() : Bounds(p.X - nc.Left, p.Y - nc.Top, Width(), Height() + FList->Height());
  }
  M.Result = 1;
}

void TCustomComboBox::CBSetItemHeight(TMessage& M) {
  if (static_cast<int>(M.WParam) != -1) FList->Perform(LB_SETITEMHEIGHT, 0, M.LParam);
  M.Result = 0;
}

void TCustomComboBox::CBSetDroppedWidth(TMessage& M) {
  FDropDownWidth = static_cast<int>(M.WParam);
  M.Result = FDropDownWidth;
}

void TCustomComboBox::CBLimitText(TMessage& M) {
  FMaxLength = static_cast<int>(M.WParam);
  if (FEdit) FEdit->setMaxLength(FMaxLength > 0 ? FMaxLength : 32767);
  M.Result = 1;
}

void TCustomComboBox::CBGetEditSel(TMessage& M) {
  int start = 0, end = 0;
  if (FEdit) {
    if (FEdit->hasSelectedText()) {
      start = FEdit->selectionStart();
      end = start + static_cast<int>(FEdit->selectionLength());
    } else {
      start = end = FEdit->cursorPosition();
    }
    // Qt counts UTF-16 units; the edit counts characters.
    QString t = FEdit->text();
    start = CharCount(t.left(start));
    end = CharCount(t.left(end));
  }
  if (auto* p = reinterpret_cast<DWORD*>(M.WParam)) *p = static_cast<DWORD>(start);
  if (auto* p = reinterpret_cast<DWORD*>(M.LParam)) *p = static_cast<DWORD>(end);
  M.Result = MakeLParam(start, end);
}

void TCustomComboBox::CBSetEditSel(TMessage& M) {
  if (!FEdit) {
    M.Result = CB_ERR;
    return;
  }
  std::u32string chars = FEdit->text().toStdU32String();
  int n = static_cast<int>(chars.size());
  int start = static_cast<short>(LoWord(static_cast<WPARAM>(M.LParam)));
  int end = static_cast<short>(HiWord(static_cast<WPARAM>(M.LParam)));
  if (start < 0) {
    FEdit->deselect();
    M.Result = 1;
    return;
  }
  if (end < 0 || end > n) end = n;
  start = std::min(start, n);
  FEdit->setSelection(UnitsOf(chars, start), UnitsOf(chars, end) - UnitsOf(chars, start));
  M.Result = 1;
}

void TCustomComboBox::WMSetText(TMessage& M) {
  String s = M.LParam ? String(reinterpret_cast<const char*>(M.LParam)) : String();
  if (HasEdit()) {
    SetEditText(s);
    MatchTextToItem();
  } else {
    int i = static_cast<int>(ForwardToList(LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(s.c_str())));
    ForwardToList(LB_SETCURSEL, static_cast<WPARAM>(i), 0);
  }
  Invalidate();
  M.Result = 1;
}

void TCustomComboBox::WMClipboard(TMessage& M) {
  if (!FEdit) return;
  if (M.Msg == WM_COPY || M.Msg == WM_CUT) {
    if (FEdit->hasSelectedText()) Clipboard()->SetAsText(FromQString(FEdit->selectedText()));
  }
  if (FEditReadOnly) return;
  if (M.Msg == WM_CUT || M.Msg == WM_CLEAR) {
    if (FEdit->hasSelectedText()) {
      FEdit->del();
      EditChanged();
    }
  }
  if (M.Msg == WM_PASTE) {
    // A pasted text ends at its first line break: the field holds one line.
    String t = Clipboard()->AsText();
    if (TypeText(t.substr(0, t.find_first_of("\r\n")))) EditChanged();
  }
}

void TCustomComboBox::WMMouseMove(TMessage& M) {
  FJustClosed = false;
  if (FEdit && PtInRect(EditRect(), PointFromLParam(M.LParam))) TWinControl::DefaultHandler(M);
}

void TCustomComboBox::WMLButtonDown(TMessage& M) {
  bool reopen = !FJustClosed;
  FJustClosed = false;
  if (CanFocus() && GetFocus() != Handle()) SetFocus();
  TPoint p = PointFromLParam(M.LParam);
  if (FEdit && PtInRect(EditRect(), p)) {
    if (M.Msg == WM_LBUTTONDBLCLK) Notify(CBN_DBLCLK);
    TWinControl::DefaultHandler(M);  // the edit places its caret
    return;
  }
  if (FStyle == csSimple) return;
  // The button, or anywhere on the list style, opens and closes the list.
  if (FDropped) CloseDropDown(false);
  else if (reopen) ShowDropDown(true);
}

void TCustomComboBox::WMSetFocus(TMessage& M) {
  TWinControl::DefaultHandler(M);
  if (FEdit) FEdit->selectAll();
  Invalidate();
  Notify(CBN_SETFOCUS);
}

void TCustomComboBox::WMKillFocus(TMessage& M) {
  TWinControl::DefaultHandler(M);
  if (FDropped) CloseDropDown(false);
  if (FEdit) FEdit->deselect();
  Invalidate();
  Notify(CBN_KILLFOCUS);
}

void TCustomComboBox::WMMouseWheelDefault(TMessage& M) {
  if (FDropped) {
    FList->Perform(M.Msg, M.WParam, M.LParam);
    return;
  }
  int delta = WheelDeltaOf(M.WParam);
  int i = ItemIndex() + (delta > 0 ? -1 : 1);
  if (i >= 0 && i < FItems->Count()) SelectIndex(i, true);
}

// ---------------------------------------------------------------- the native model

int TCustomComboBox::ListItemHeight() const { return static_cast<int>(FList->Perform(LB_GETITEMHEIGHT, 0)); }

int TCustomComboBox::EditHeight() const {
  // The field is one item high (a text line and a pixel above and below it); the frame and
  // a pixel of space add three pixels on each side.
  int field = IsOwnerDraw() ? FItemHeight : CellHeightOf(Font()) + 2;
  return field + 6;
}

void TCustomComboBox::PlaceParts() {
  TRect in = InsideMargins();
  if (FEdit) {
    TRect r = EditRect();
    FEdit->setGeometry(r.Left + in.Left, r.Top + in.Top, std::max(1, r.Width()), std::max(1, r.Height()));
  }
  if (FStyle == csSimple && FList) {
    int top = EditHeight() - 3;
    FList->SetBounds(0, top, ClientWidth(), std::max(0, ClientHeight() - top));
  }
}

void TCustomComboBox::ApplyEditLook() {
  if (!FEdit) return;
  auto* gf = static_cast<TGdiFont*>(Font()->Handle());
  FEdit->setFont(MakeQFont(gf->Lf, gf->EmPixels(1.0)));
  QPalette pal = FEdit->palette();
  pal.setColor(QPalette::Base, ToQColor(ColorToRGB(Color())));
  pal.setColor(QPalette::Window, ToQColor(ColorToRGB(Color())));
  pal.setColor(QPalette::Text, ToQColor(ColorToRGB(Font()->Color())));
  pal.setColor(QPalette::Disabled, QPalette::Text, ToQColor(GetSysColor(COLOR_GRAYTEXT)));
  pal.setColor(QPalette::Highlight, ToQColor(GetSysColor(COLOR_HIGHLIGHT)));
  pal.setColor(QPalette::HighlightedText, ToQColor(GetSysColor(COLOR_HIGHLIGHTTEXT)));
  FEdit->setPalette(pal);
  FEdit->setMaxLength(FMaxLength > 0 ? FMaxLength : 32767);
}

String TCustomComboBox::EditText() const {
  if (FEdit) return FromQString(FEdit->text());
  int i = ItemIndex();
  return i >= 0 ? FList->Items()->Strings(i) : String();
}

void TCustomComboBox::SetEditText(const String& S) {
  if (!FEdit) return;
  FEdit->setText(ToQString(InCase(S, FCharCase)));
  if (GetFocus() == Handle()) FEdit->selectAll();
  Invalidate();
}

bool TCustomComboBox::TypeText(const String& S) {
  if (!FEdit) return false;
  String t = InCase(S, FCharCase);
  QString before = FEdit->text();
  if (FMaxLength > 0) {
    // Only what fits into the limit is inserted, whole characters.
    int room = FMaxLength - CharCount(before) + CharCount(FEdit->selectedText());
    if (room <= 0) {
      Beep();
      return false;
    }
    if (Length(t) > room) t = Copy(t, 1, room);
  }
  FEdit->insert(ToQString(t));
  return FEdit->text() != before;
}

void TCustomComboBox::MatchTextToItem() {
  String t = EditText();
  int i = t.empty() ? -1
                    : static_cast<int>(ForwardToList(LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(t.c_str())));
  ForwardToList(LB_SETCURSEL, static_cast<WPARAM>(i), 0);
}

void TCustomComboBox::EditChanged() {
  MatchTextToItem();
  Invalidate();
  Notify(CBN_EDITCHANGE);
}

void TCustomComboBox::SelectIndex(int Index, bool NotifyChange) {
  ForwardToList(LB_SETCURSEL, static_cast<WPARAM>(Index), 0);
  if (FEdit) SetEditText(Index >= 0 ? FList->Items()->Strings(Index) : String());
  Invalidate();
  if (NotifyChange) Notify(CBN_SELCHANGE);
}

void TCustomComboBox::ShowDropDown(bool Show) {
  if (Show == FDropped || FStyle == csSimple) return;
  if (!Show) {
    CloseDropDown(false);
    return;
  }
  Notify(CBN_DROPDOWN);
  // OnDropDown may have changed or freed what it shows; the combo box goes on only while it
  // can still show a list.
  if (!Showing()) return;
  int count = FItems->Count();
  int rows = std::clamp(count, 1, std::max(1, FDropDownCount));
  int h = 0;
  for (int i = 0; i < rows; ++i) h += count > 0 ? static_cast<int>(FList->Perform(LB_GETITEMHEIGHT, static_cast<WPARAM>(i))) : ListItemHeight();
  int w = std::max(FDropDownWidth, Width());
  TRect size{0, 0, w, h + 2};
  SizeDropDown(size);
  FList->HandleNeeded();
  FList->SetBounds(0, 0, std::max(1, size.Width()), std::max(1, size.Height()));
  FSelBeforeDrop = ItemIndex();
  if (FSelBeforeDrop >= 0) FList->SetTopIndex(std::max(0, std::min(FSelBeforeDrop, count - rows)));
  else FList->SetTopIndex(0);
  FDropped = true;
  TRect nc = NonClientMargins();
  TRect anchor{-nc.Left, -nc.Top, Width() - nc.Left, Height() - nc.Top};
  ShowPopupBelow(FList.get(), this, anchor, false, [this] {
    // Closed by a press outside it (perhaps on the combo box itself, which must not open it
    // again with the same press).
    FJustClosed = true;
    FList->SetVisible(false);
    CloseDropDown(false);
  });
  Invalidate();
}

void TCustomComboBox::CloseDropDown(bool Accept) {
  if (!FDropped) return;
  FDropped = false;
  HidePopup(FList.get());
  if (!Accept && ItemIndex() != FSelBeforeDrop) ForwardToList(LB_SETCURSEL, static_cast<WPARAM>(FSelBeforeDrop), 0);
  Invalidate();
  Notify(CBN_CLOSEUP);
}

void TCustomComboBox::ChooseFromList(int Index) {
  int before = FDropped ? FSelBeforeDrop : -2;
  if (FDropped) {
    // The choice stands: the list closes keeping it.
    FSelBeforeDrop = Index;
  }
  bool changed = before == -2 || Index != before || (FEdit && EditText() != FList->Items()->Strings(Index));
  SelectIndex(Index, false);
  if (FEdit && GetFocus() == Handle()) FEdit->selectAll();
  if (changed) Notify(CBN_SELCHANGE);
  if (FDropped) CloseDropDown(true);
}

void TCustomComboBox::KeyDownDefault(TMessage& M) {
  Word key = static_cast<Word>(M.WParam);
  bool alt = (M.LParam & AltMask) != 0;
  int count = FItems->Count();
  if (key == VK_F4 || (alt && (key == VK_DOWN || key == VK_UP))) {
    if (FStyle == csSimple) return;
    if (FDropped) CloseDropDown(true);
    else ShowDropDown(true);
    return;
  }
  if (M.Msg == WM_SYSKEYDOWN) return;
  if (FDropped && (key == VK_RETURN || key == VK_ESCAPE)) {
    CloseDropDown(key == VK_RETURN);
    return;
  }
  int cur = ItemIndex();
  int next = -2;
  int page = std::max(1, FDropped ? FList->ClientHeight() / std::max(1, ListItemHeight()) - 1 : FDropDownCount - 1);
  switch (key) {
    case VK_UP: next = cur < 0 ? 0 : cur - 1; break;
    case VK_DOWN: next = cur < 0 ? 0 : cur + 1; break;
    case VK_PRIOR: if (!HasEdit() || FDropped) next = cur - page; break;
    case VK_NEXT: if (!HasEdit() || FDropped) next = cur < 0 ? page : cur + page; break;
    case VK_HOME: if (!HasEdit()) next = 0; break;
    case VK_END: if (!HasEdit()) next = count - 1; break;
    case VK_DELETE:
      if (FEdit && !FEditReadOnly) {
        QString before = FEdit->text();
        if (IsKeyDown(VK_SHIFT)) {
          Perform(WM_CUT);
          return;
        }
        FEdit->del();  // the selection, else the character after the caret
        if (FEdit->text() != before) EditChanged();
      }
      return;
    case VK_INSERT:
      if (IsKeyDown(VK_SHIFT)) Perform(WM_PASTE);
      else if (IsKeyDown(VK_CONTROL)) Perform(WM_COPY);
      return;
    default:
      break;
  }
  if (next != -2) {
    if (count == 0) return;
    next = std::clamp(next, 0, count - 1);
    if (next != cur || (FEdit && EditText() != FList->Items()->Strings(next))) {
      SelectIndex(next, true);
      if (FDropped) FSelBeforeDrop = next;
    }
    return;
  }
  // Moving the caret and the selection inside the text is the edit's own work.
  if (FEdit && (key == VK_LEFT || key == VK_RIGHT || key == VK_HOME || key == VK_END)) TWinControl::DefaultHandler(M);
}

void TCustomComboBox::CharDefault(TMessage& M) {
  if (!FEdit) return;
  Char c = static_cast<Char>(M.WParam);
  // A read-only field still selects and copies.
  if (FEditReadOnly && c != 1 && c != 3) return;
  switch (c) {
    case 1:  // Ctrl+A
      FEdit->selectAll();
      return;
    case 3:  // Ctrl+C
      Perform(WM_COPY);
      return;
    case 22:  // Ctrl+V
      Perform(WM_PASTE);
      return;
    case 24:  // Ctrl+X
      Perform(WM_CUT);
      return;
    case 8:  // Backspace
      if (FEdit->hasSelectedText() || FEdit->cursorPosition() > 0) {
        FEdit->backspace();
        EditChanged();
      }
      return;
    default:
      break;
  }
  if (c < 32) return;
  String s;
  AppendUtf8(s, c);
  if (!TypeText(s)) return;
  if (FAutoComplete && !FEdit->hasSelectedText() && FEdit->cursorPosition() == FEdit->text().size()) {
    // Completion: the first item that begins with the text typed so far, the rest selected.
    String typed = EditText();
    int i = static_cast<int>(ForwardToList(LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(typed.c_str())));
    if (i >= 0) {
      String item = FList->Items()->Strings(i);
      int typedLen = Length(typed);
      SetEditText(Copy(typed, 1, typedLen) + Copy(item, typedLen + 1, Length(item)));
      QString all = FEdit->text();
      int from = UnitsOf(all.toStdU32String(), typedLen);
      FEdit->setSelection(all.size(), from - static_cast<int>(all.size()));
    }
  }
  if (FAutoDropDown && !FDropped) ShowDropDown(true);
  EditChanged();
}

// ---------------------------------------------------------------- painting

void TCustomComboBox::PaintCombo(HDC DC) {
  if (!DC) return;
  TRect c = ClientRect();
  HBRUSH back = Brush()->Handle();
  FillRect(DC, c, back);
  bool focused = GetFocus() == Handle();
  if (FStyle == csSimple) {
    TRect frame{0, 0, c.Right, EditHeight() - 3};
    DrawEdge(DC, frame, EDGE_SUNKEN, BF_RECT);
  }
  TRect field = EditRect();
  int index = ItemIndex();
  if (IsOwnerDraw() && !HasEdit()) {
    UINT state = ODS_COMBOBOXEDIT | (focused && !FDropped ? ODS_SELECTED | ODS_FOCUS : 0) | (Enabled() ? 0 : ODS_DISABLED);
    LPARAM data = index >= 0 ? static_cast<LPARAM>(FList->Perform(LB_GETITEMDATA, static_cast<WPARAM>(index))) : 0;
    list_ctrls::PerformDrawItem(*this, ODT_COMBOBOX, index, state, DC, field, data);
  } else {
    // The text of the field (under the edit, which shows its own, for the edit styles).
    bool hilite = !HasEdit() && focused && !FDropped;
    TRect sel = field;
    InflateRect(sel, -1, -1);
    list_ctrls::DrawItemText(DC, sel, EditText(), 1, *this, hilite, !Enabled());
    if (hilite) DrawFocusRect(DC, sel);
  }
  TRect btn = ButtonRect();
  if (!IsRectEmpty(btn)) {
    UINT state = DFCS_SCROLLCOMBOBOX;
    if (FDropped) state |= DFCS_PUSHED | DFCS_FLAT;
    if (!Enabled()) state |= DFCS_INACTIVE;
    DrawFrameControl(DC, btn, DFC_SCROLL, state);
  }
}
