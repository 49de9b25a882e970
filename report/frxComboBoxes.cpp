#include "report/frxComboBoxes.h"

#include "core/ClassBuilder.h"
#include "core/Scope.h"
#include "core/Registry.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Buttons.h"
#include "gui/Canvas.h"
#include "gui/GdiDC.h"
#include "gui/GdiDraw.h"
#include "gui/GdiText.h"
#include "gui/Forms.h"
#include "gui/Screen.h"
#include "gui/SysColors.h"

#include <algorithm>
#include <cmath>

KELM_PUBLISH(TfrxCustomComboBox) {}

KELM_PUBLISH(TfrxComboBox) {
  b.Prop("ListWidth", &TfrxComboBox::ListWidth, &TfrxComboBox::SetListWidth).Default(0);
  b.Prop("ReadOnly", &TfrxComboBox::ReadOnly, &TfrxComboBox::SetReadOnly).Default(false);
  b.Prop("DropDownCount", &TfrxComboBox::DropDownCount, &TfrxComboBox::SetDropDownCount).Default(8);
  b.Prop("ItemIndex", &TfrxComboBox::ItemIndex, &TfrxComboBox::SetItemIndex).Default(-1);
  b.Prop("MaxLength", &TfrxComboBox::MaxLength, &TfrxComboBox::SetMaxLength).Default(0);
  b.Prop("Sorted", &TfrxComboBox::Sorted, &TfrxComboBox::SetSorted).Default(false);
  PublishAnchors(b);
  PublishColor(b);
  PublishEnabled(b);
  PublishFont(b);
  PublishParentFont(b);
  PublishParentShowHint(b);
  PublishPopupMenu(b);
  PublishShowHint(b);
  PublishTabOrder(b);
  PublishText(b);
  PublishVisible(b);
  PublishTabStop(b).Default(true);
  b.Prop("OnChange", &TfrxComboBox::OnChange, &TfrxComboBox::OnChange);
  PublishOnClick(b);
  b.Prop("OnCloseUp", &TfrxComboBox::OnCloseUp, &TfrxComboBox::OnCloseUp);
  PublishOnDblClick(b);
  b.Prop("OnDropDown", &TfrxComboBox::OnDropDown, &TfrxComboBox::OnDropDown);
  PublishOnEnter(b);
  PublishOnExit(b);
  PublishOnKeyDown(b);
  PublishOnKeyPress(b);
  PublishOnKeyUp(b);
  b.Prop("OnSelect", &TfrxComboBox::OnSelect, &TfrxComboBox::OnSelect);
  b.Prop("Items", &TfrxComboBox::Items, &TfrxComboBox::SetItems);
}

KELM_PUBLISH(TfrxFontPreview) {}

KELM_PUBLISH(TfrxFontComboBox) {
  b.Prop("ShowMRU", &TfrxFontComboBox::ShowMRU, &TfrxFontComboBox::SetShowMRU).Default(true);
  b.Prop("MRURegKey", &TfrxFontComboBox::MRURegKey, &TfrxFontComboBox::SetMRURegKey);
  b.Prop("DropDownCount", &TfrxFontComboBox::DropDownCount, &TfrxFontComboBox::SetDropDownCount).Default(12);
  PublishAnchors(b);
  PublishEnabled(b);
  PublishFont(b);
  PublishParentFont(b);
  PublishTabOrder(b);
  PublishText(b);
  PublishVisible(b);
  PublishTabStop(b).Default(true);
  b.Prop("OnChange", &TfrxFontComboBox::OnChange, &TfrxFontComboBox::OnChange);
  PublishOnClick(b);
}

// ================================================================ TfrxCustomComboBox

TfrxCustomComboBox::TfrxCustomComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {
  SetWidth(100);
  RecalcEntryHeight();
}

int TfrxCustomComboBox::ComputeEntryHeight() {
  TBitmap probe;
  probe.Canvas()->Font()->Assign(Font());
  return probe.Canvas()->TextHeight("Wg");
}

void TfrxCustomComboBox::RecalcEntryHeight() {
  FEntryHeight = std::max(1, ComputeEntryHeight());
  Perform(CB_SETITEMHEIGHT, 0, FEntryHeight);
}

void TfrxCustomComboBox::SetReadOnly(bool Value) {
  FReadOnly = Value;
  if (HandleAllocated()) Perform(EM_SETREADONLY, Value ? 1 : 0, 0);
}

void TfrxCustomComboBox::CreateParams(TCreateParams& Params) {
  TCustomComboBox::CreateParams(Params);
  // The box draws its own frame over the whole window.
  Params.ExStyle &= ~DWORD(WS_EX_CLIENTEDGE);
}

void TfrxCustomComboBox::CreateWnd() {
  TCustomComboBox::CreateWnd();
  Perform(EM_SETREADONLY, FReadOnly ? 1 : 0, 0);
}

TRect TfrxCustomComboBox::EditRect() const {
  int left = FEditOffset + 3, top = 3;
  return {left, top, left + std::max(1, Width() - FButtonWidth - FEditOffset - 7), top + std::max(1, Height() - 6)};
}

void TfrxCustomComboBox::SizeDropDown(TRect& Bounds) {
  int count = Items()->Count();
  int width = FListWidth != 0 ? FListWidth : Width() - 1;
  int height = DropDownCount() == 0 || count == 0 ? FEntryHeight + 4 : FEntryHeight * std::min(DropDownCount(), count) + 4;
  Bounds = {0, 0, width, height};
  // A list that would leave the screen at the bottom opens upwards.
  TPoint bottom = ClientToScreen({width, FEntryHeight + height + 6});
  FUpDropdown = Screen && bottom.Y > Screen->Height();
}

bool TfrxCustomComboBox::Active() const {
  return ComponentState().Contains(csDesigning) || DroppedDown() || GetFocus() == Handle() || FMouseInControl;
}

void TfrxCustomComboBox::PaintPicture(HDC DC, const TRect& Area, int) {
  if (FEditOffset > 0) FillRect(DC, Area, GetSysColorBrush(COLOR_WINDOW));
}

void TfrxCustomComboBox::PaintFlat(HDC DC) {
  const int w = Width(), h = Height();
  TRect client{0, 0, w, h};
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE), window = GetSysColorBrush(COLOR_WINDOW);
  auto arrow = [&](int dx) {
    int x = static_cast<int>(std::lround(FButtonWidth / 2.0)) + w - FButtonWidth - 4 + dx;
    int y = static_cast<int>(std::lround((h - 4) / 2.0)) + 1 + dx;
    auto* black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    for (int i = 0; i < 3; ++i) FillRect(DC, {x + i, y + i, x + i + 5 - 2 * i, y + i + 1}, black);
  };
  if (!Enabled()) {
    FillRect(DC, client, face);
    FrameRect(DC, {2, 2, w - 2, h - 2}, window);
    arrow(0);
    return;
  }
  PaintPicture(DC, {3, 3, FEditOffset + 3, h - 3}, ItemIndex());
  bool active = Active();
  FrameRect(DC, {1, 1, w - 1, h - 1}, face);
  FrameRect(DC, {2, 2, w - FButtonWidth - 3, h - 2}, window);
  if (active) DrawEdge(DC, client, BDR_SUNKENOUTER, BF_RECT);
  else FrameRect(DC, client, face);
  TRect button{w - FButtonWidth - 2, 2, w - 2, h - 2};
  FillRect(DC, button, face);
  bool pressed = active && DroppedDown();
  if (!active) FrameRect(DC, button, window);
  else DrawEdge(DC, button, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  FillRect(DC, {w - FButtonWidth - 3, 2, w - FButtonWidth - 2, h - 2}, active ? face : window);
  arrow(pressed ? 1 : 0);
}

void TfrxCustomComboBox::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      TCustomComboBox::Dispatch(M);
      FMouseInControl = M.Msg == CM_MOUSEENTER;
      if (Enabled() && !DroppedDown() && GetFocus() != Handle()) Invalidate();
      return;
    case CM_FONTCHANGED:
      TCustomComboBox::Dispatch(M);
      RecalcEntryHeight();
      return;
    default: TCustomComboBox::Dispatch(M);
  }
}

void TfrxCustomComboBox::WndProc(TMessage& M) {
  TCustomComboBox::WndProc(M);
  switch (M.Msg) {
    case WM_PAINT:
      if (M.WParam) PaintFlat(reinterpret_cast<HDC>(M.WParam));
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case CM_ENABLEDCHANGED:
    case WM_SETTEXT: Invalidate(); break;
    default: break;
  }
}

// ================================================================ TfrxFontPreview

TfrxFontPreview::TfrxFontPreview(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 200, 50);
  SetVisible(false);
  FPanel = new TPanel(this);
  FPanel->SetParent(this);
  FPanel->SetAlign(alClient);
  FPanel->SetBevelInner(bvNone);
  FPanel->SetBevelOuter(bvNone);
  FPanel->SetBorderStyle(bsSingle);
  FPanel->SetColor(clWindow);
  FPanel->Font()->SetColor(clWindowText);
  FPanel->Font()->SetSize(18);
}

void TfrxFontPreview::CreateParams(TCreateParams& P) {
  TWinControl::CreateParams(P);
  P.Style = WS_POPUP;
  P.ExStyle = WS_EX_TOOLWINDOW;
}

// ================================================================ TfrxFontComboBox

const char* const TfrxFontComboBox::DefaultMRURegKey = "\\Software\\Zude Vizerav\\MRUFont";

TfrxFontComboBox::TfrxFontComboBox(TComponent* AOwner)
    : TfrxCustomComboBox(AOwner), FMRURegKey(DefaultMRURegKey) {
  SetDropDownCount(12);
  SetWidth(150);
  SetEditOffset(16);
  SetReadOnly(true);
  ListBox()->SetStyle(lbOwnerDrawFixed);
  RecalcEntryHeight();
  if (!ComponentState().Contains(csDesigning)) FPreview = new TfrxFontPreview(this);
}

TfrxFontComboBox::~TfrxFontComboBox() = default;

void TfrxFontComboBox::Loaded() {
  TfrxCustomComboBox::Loaded();
  if (ComponentState().Contains(csDesigning)) return;
  String text = Text();
  FillFontList();
  int at = Items()->IndexOf(text);
  SetItemIndex(at >= 0 ? at : 0);
}

void TfrxFontComboBox::Click() {
  if (!FFilling && !ComponentState().Contains(csReading)) TfrxCustomComboBox::Click();
}

void TfrxFontComboBox::FillFontList() {
  TRestore<bool> filling(FFilling, true);
  Items()->BeginUpdate();
  TScopeExit endUpdate([this] { Items()->EndUpdate(); });
  Clear();
  TStringList names;
  names.SetSorted(true);
  // Printers draw with the screen's fonts here: one enumeration gives both.
  for (const TFontFamilyEntry& f : EnumFontFamilies(GetScreenDC())) {
    String name = f.FaceName.substr(0, 32);
    if (names.IndexOf(name) < 0) names.AddObject(name, reinterpret_cast<TObject*>(static_cast<std::intptr_t>(f.FontType)));
  }
  Items()->Assign(&names);
  SetSorted(false);
  if (!FShowMRU) return;
  FLastMRUIndex = -1;
  TRegistry reg;
  if (!reg.OpenKey(FMRURegKey, true)) return;
  for (int n = MRUCount - 1; n >= 0; --n) {
    String font = reg.ValueExists("Font" + IntToStr(n)) ? reg.ReadString("Font" + IntToStr(n)) : String();
    if (!font.empty() && names.IndexOf(font) >= 0) {
      int type = reg.ValueExists("FontType" + IntToStr(n)) ? reg.ReadInteger("FontType" + IntToStr(n)) : 0;
      Items()->InsertObject(0, font, reinterpret_cast<TObject*>(static_cast<std::intptr_t>(type)));
      ++FLastMRUIndex;
    } else {
      // A name no longer installed, or none: the slot is emptied.
      reg.WriteString("Font" + IntToStr(n), "");
      reg.WriteInteger("FontType" + IntToStr(n), 0);
    }
  }
}

void TfrxFontComboBox::DropDown() {
  if (ItemIndex() < 5 && Items()->Count() > 0) ListBox()->SetItemIndex(0);
  if (FPreview) {
    FPreview->Panel()->SetCaption(Text());
    FPreview->Panel()->Font()->SetName(Text());
    TPoint p = ClientToScreen({Width(), Height()});
    if (Screen && p.X + FPreview->Width() > Screen->Width()) p.X = ClientToScreen({0, 0}).X - FPreview->Width() - 1;
    if (UpDropdown()) p.Y = ClientToScreen({0, 0}).Y - FPreview->Height();
    FPreview->SetBounds(p.X, p.Y, FPreview->Width(), FPreview->Height());
    FPreview->SetVisible(true);
  }
  TfrxCustomComboBox::DropDown();
}

void TfrxFontComboBox::CloseUp() {
  if (FPreview) FPreview->SetVisible(false);
  if (ItemIndex() > 0 && FShowMRU) UpdateMRU();
  TfrxCustomComboBox::CloseUp();
}

void TfrxFontComboBox::UpdateMRU() {
  String name = Items()->Strings(ItemIndex());
  int at = Items()->IndexOf(name);  // the first entry of that name: a recent one, if it is
  if (at < 0) return;
  TObject* type = Items()->Objects(at);
  if (at > FLastMRUIndex) {
    Items()->InsertObject(0, name, type);
    SetItemIndex(0);
    if (FLastMRUIndex > 3) Items()->Delete(MRUCount);
    else ++FLastMRUIndex;
  } else {
    Items()->Delete(at);
    Items()->InsertObject(0, name, type);
    SetItemIndex(0);
  }
  WriteMRU();
}

void TfrxFontComboBox::WriteMRU() {
  TRegistry reg;
  if (!reg.OpenKey(FMRURegKey, true)) return;
  for (int n = 0; n < MRUCount; ++n) {
    bool used = n <= FLastMRUIndex;
    reg.WriteString("Font" + IntToStr(n), used ? Items()->Strings(n) : String());
    reg.WriteInteger("FontType" + IntToStr(n),
                     used ? static_cast<int>(reinterpret_cast<std::intptr_t>(Items()->Objects(n))) : 0);
  }
}

int TfrxFontComboBox::FontTypeAt(int Index) const {
  if (Index < 0 || Index >= Items()->Count()) return 0;
  return static_cast<int>(reinterpret_cast<std::intptr_t>(Items()->Objects(Index)));
}

// The font type as a small "T": black for outline fonts, grey for device fonts.
void TfrxFontComboBox::PaintTypeMark(HDC DC, const TRect& Area, int FontType) {
  if (!(FontType & (TRUETYPE_FONTTYPE | DEVICE_FONTTYPE))) return;
  HBRUSH ink = GetSysColorBrush(FontType & TRUETYPE_FONTTYPE ? COLOR_WINDOWTEXT : COLOR_BTNSHADOW);
  int x = Area.Left + 2, y = Area.Top + (Area.Height() - 9) / 2;
  FillRect(DC, {x, y, x + 9, y + 2}, ink);
  FillRect(DC, {x + 3, y, x + 6, y + 9}, ink);
}

void TfrxFontComboBox::PaintPicture(HDC DC, const TRect& Area, int Index) {
  TfrxCustomComboBox::PaintPicture(DC, Area, Index);
  PaintTypeMark(DC, Area, FontTypeAt(Items()->IndexOf(Text())));
}

void TfrxFontComboBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  TCanvas* c = Canvas();
  c->FillRect(Rect);
  if (Index < 0 || Index >= Items()->Count()) return;
  const String name = Items()->Strings(Index);
  if (State.Contains(odSelected) && FPreview) {
    FPreview->Panel()->Font()->SetName(name);
    FPreview->Panel()->SetCaption(name);
  }
  HDC dc = c->Handle();
  PaintTypeMark(dc, {Rect.Left + 1, Rect.Top, Rect.Left + 16, Rect.Bottom}, FontTypeAt(Index));
  TRect text = Rect;
  text.Left += 15 + 2;  // no pictures: the 15-pixel indent
  SetBkMode(dc, TRANSPARENT);
  DrawText(dc, name, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  HBRUSH rule = GetSysColorBrush(COLOR_BTNSHADOW);
  if (Index == FLastMRUIndex) FillRect(dc, {Rect.Left, Rect.Bottom - 2, Rect.Right, Rect.Bottom - 1}, rule);
  if (FLastMRUIndex >= 0 && Index == FLastMRUIndex + 1) FillRect(dc, {Rect.Left, Rect.Top, Rect.Right, Rect.Top + 1}, rule);
}

// ================================================================ TfrxComboEdit

KELM_PUBLISH(TfrxComboEdit) {
  b.Prop("Glyph", &TfrxComboEdit::Glyph, &TfrxComboEdit::SetGlyph);
  b.Prop("ButtonEnabled", &TfrxComboEdit::ButtonEnabled, &TfrxComboEdit::SetButtonEnabled).Default(true);
  b.Prop("ButtonHint", &TfrxComboEdit::ButtonHint, &TfrxComboEdit::SetButtonHint);
  b.Prop("OnButtonClick", &TfrxComboEdit::OnButtonClick, &TfrxComboEdit::OnButtonClick);
  PublishAnchors(b);
  PublishColor(b);
  PublishEnabled(b);
  PublishFont(b);
  PublishParentFont(b);
  PublishShowHint(b);
  PublishTabOrder(b);
  PublishText(b);
  PublishVisible(b);
  PublishTabStop(b).Default(true);
  b.Prop("OnChange", &TfrxComboEdit::OnChange, &TfrxComboEdit::OnChange);
  PublishOnEnter(b);
  PublishOnExit(b);
  PublishOnKeyDown(b);
  PublishOnKeyPress(b);
  PublishOnKeyUp(b);
}

TfrxComboEdit::TfrxComboEdit(TComponent* AOwner) : TCustomComboBox(AOwner) {
  SetStyle(csSimple);
  FPanel = new TPanel(this);
  FPanel->SetParent(this);
  FPanel->SetBevelOuter(bvNone);
  FPanel->SetBevelInner(bvNone);
  FButton = new TSpeedButton(this);
  FButton->SetParent(FPanel);
  FButton->SetAlign(alClient);
  FButton->SetFlat(true);
  FButton->OnClick = MakeEvent(this, &TfrxComboEdit::ButtonClick);
  SetHeight(21);
  PlaceButton();
}

TBitmap* TfrxComboEdit::Glyph() const { return FButton->Glyph(); }
void TfrxComboEdit::SetGlyph(TBitmap* Value) { FButton->SetGlyph(Value); }
bool TfrxComboEdit::ButtonEnabled() const { return FButton->Enabled(); }
void TfrxComboEdit::SetButtonEnabled(bool Value) { FButton->SetEnabled(Value); }
String TfrxComboEdit::ButtonHint() const { return FButton->Hint(); }
void TfrxComboEdit::SetButtonHint(const String& Value) { FButton->SetHint(Value); }

void TfrxComboEdit::SetEnabled(bool Value) {
  TCustomComboBox::SetEnabled(Value);
  if (FButton) FButton->SetEnabled(Value);
}

void TfrxComboEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TCustomComboBox::SetBounds(ALeft, ATop, AWidth, AHeight);
  PlaceButton();
}

void TfrxComboEdit::PlaceButton() {
  if (!FPanel) return;
  const int h = Height(), side = std::max(1, h - 4);
  FPanel->SetBounds(Width() - h + 2, 2, side, side);
}

TRect TfrxComboEdit::EditRect() const {
  TRect r = TCustomComboBox::EditRect();
  r.Right = r.Left + std::max(1, Width() - Height() - 4);
  return r;
}

void TfrxComboEdit::ButtonClick(TObject*) {
  if (CanFocus()) SetFocus();
  OnButtonClick(this);
}

void TfrxComboEdit::KeyPress(Char& Key) {
  if (Key == '\r' || Key == 27)
    if (TCustomForm* form = GetParentForm(this)) form->Perform(CM_DIALOGKEY, Key == '\r' ? VK_RETURN : VK_ESCAPE, 0);
  TCustomComboBox::KeyPress(Key);
}
