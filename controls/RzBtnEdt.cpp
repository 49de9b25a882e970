#include "controls/RzBtnEdt.h"

#include "core/ClassBuilder.h"
#include "core/Filer.h"

#include <array>
#include <cassert>
#include <memory>

// ================================================================ kind glyphs

namespace {
// Kinds 1..8; the bitmaps are resources of the program.
constexpr const char* KindGlyphNames[] = {"",
                                          "RZBTNEDT_LOOKUP",
                                          "RZBTNEDT_DROPDOWN",
                                          "RZBTNEDT_CALENDAR",
                                          "RZBTNEDT_ACCEPT",
                                          "RZBTNEDT_REJECT",
                                          "RZBTNEDT_FOLDER",
                                          "RZBTNEDT_FIND",
                                          "RZBTNEDT_SEARCH"};

std::array<std::unique_ptr<TBitmap>, 9>& KindGlyphCache() {
  static std::array<std::unique_ptr<TBitmap>, 9> cache;
  return cache;
}
}  // namespace

TBitmap* ButtonKindGlyph(TButtonKind Kind) {
  if (Kind <= TButtonKind::bkCustom || Kind > TButtonKind::bkSearch) return nullptr;
  auto& slot = KindGlyphCache()[Kind];
  if (!slot) {
    auto b = std::make_unique<TBitmap>();
    b->LoadFromResourceName(KindGlyphNames[Kind]);
    slot = std::move(b);
  }
  return slot.get();
}

// ================================================================ TRzButtonPair

KELM_PUBLISH(TRzButtonPair) { Published(b); }

TRzButtonPair::TRzButtonPair(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle(ControlStyle() - csAcceptsControls - csSetCaption);
  FButton = CreateButton();
  FButton->SetVisible(true);
  FAltBtn = CreateButton();
  SetBounds(Left(), Top(), 34, 21);
}

TRzControlButton* TRzButtonPair::CreateButton() {
  auto* b = new TRzControlButton(this);
  b->SetParent(this);
  b->SetControlStyle(b->ControlStyle() + csNoDesignVisible);
  b->OnClick = TNotifyEvent(this, &TRzButtonPair::ButtonClicked);
  b->OnMouseDown = TMouseEvent(this, &TRzButtonPair::ButtonMouseDown);
  b->SetVisible(false);
  b->SetEnabled(true);
  b->SetWidth(RzThemesEnabled() ? 15 : 17);
  return b;
}

void TRzButtonPair::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TRzButtonPair::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  LayoutButtons();
}

void TRzButtonPair::Dispatch(TMessage& M) {
  TWinControl::Dispatch(M);
  if (M.Msg == WM_SIZE) LayoutButtons();
}

// The main button is always the leftmost one shown.
void TRzButtonPair::LayoutButtons() {
  if (!FButton || !FAltBtn || ComponentState().Contains(csLoading)) return;
  const int h = Height() - 1;
  int x = 0;
  for (TRzControlButton* b : {FButton, FAltBtn}) {
    if (!b->Visible()) continue;
    b->SetBounds(x, 0, b->Width(), h);
    x += b->Width();
  }
}

void TRzButtonPair::SetFlat(bool Value) {
  if (Value == FFlat) return;
  FFlat = Value;
  FButton->SetFlat(Value);
  FAltBtn->SetFlat(Value);
}

void TRzButtonPair::SetColor(TColor Value) {
  TControl::SetColor(Value);
  FButton->SetColor(Value);
  FAltBtn->SetColor(Value);
}

void TRzButtonPair::SetEnabled(bool Value) {
  if (Value == Enabled()) return;
  TWinControl::SetEnabled(Value);
  FButton->SetEnabled(Value);
  FAltBtn->SetEnabled(Value);
}

void TRzButtonPair::ButtonClicked(TObject* Sender) {
  if (Sender == FAltBtn) DoAltBtnClick();
  else DoButtonClick();
}

void TRzButtonPair::ButtonMouseDown(TObject*, TMouseButton Button, TShiftState, int, int) {
  if (Button != mbLeft) return;
  auto wantsFocus = [](TWinControl* c) { return c->TabStop() && c->CanFocus() && !c->Focused(); };
  TWinControl* target = FFocusControl && wantsFocus(FFocusControl) ? FFocusControl : wantsFocus(this) ? this : nullptr;
  if (!target) return;
  target->SetFocus();
  if (!target->Focused()) Abort();
}

// ================================================================ TRzCustomButtonEdit

KELM_PUBLISH(TRzCustomButtonEdit) {}

KELM_PUBLISH(TRzButtonEdit) { Published(b); }

TRzCustomButtonEdit::TRzCustomButtonEdit(TComponent* AOwner) : TRzEdit(AOwner) {
  FButtons = new TRzButtonPair(this);
  FButtons->SetParent(this);
  FButtons->SetBounds(0, 0, 17, 10);
  FButtons->SetVisible(true);
  FButtons->SetFocusControl(this);
  FButtons->OnAltBtnClick = TNotifyEvent(this, &TRzCustomButtonEdit::AltBtnClick);
  FButtons->OnButtonClick = TNotifyEvent(this, &TRzCustomButtonEdit::ButtonClick);
  SetControlStyle(ControlStyle() - csSetCaption);
  TControl::SetWidth(121);
  FButtons->AltBtn()->SetVisible(false);
  AssignKindGlyph(AltIndex);
  AssignKindGlyph(MainIndex);
}

TRzControlButton* TRzCustomButtonEdit::ButtonOf(int Index) const {
  assert(Index == AltIndex || Index == MainIndex);
  return Index == AltIndex ? FButtons->AltBtn() : FButtons->Button();
}

// ---------------------------------------------------------------- kinds and glyphs

void TRzCustomButtonEdit::AssignKindGlyph(int Index) {
  TBitmap* glyph = ButtonKindGlyph(GetKind(Index));
  if (!glyph) return;
  ButtonOf(Index)->SetGlyph(glyph);
  ButtonOf(Index)->SetNumGlyphs(2);
}

void TRzCustomButtonEdit::SetKind(int Index, TButtonKind Value) {
  TButtonKind& kind = Index == AltIndex ? FAltBtnKind : FButtonKind;
  if (Value == kind) return;
  kind = Value;
  if (Value == TButtonKind::bkDropDown) {
    TBitmap none;
    ButtonOf(Index)->SetGlyph(&none);
    ButtonOf(Index)->SetStyle(TRzControlButtonStyle::cbsDropDown);
  } else if (Value != TButtonKind::bkCustom && !Loading()) {
    AssignKindGlyph(Index);
  }
}

void TRzCustomButtonEdit::SetGlyph(int Index, TBitmap* Value) {
  ButtonOf(Index)->SetGlyph(Value);
  (Index == AltIndex ? FAltBtnKind : FButtonKind) = TButtonKind::bkCustom;
}

void TRzCustomButtonEdit::SetVisible(int Index, bool Value) {
  ButtonOf(Index)->SetVisible(Value);
  LayoutButtonPair();
}

void TRzCustomButtonEdit::SetWidth(int Index, int Value) {
  ButtonOf(Index)->SetWidth(Value);
  LayoutButtonPair();
}

void TRzCustomButtonEdit::Loaded() {
  TRzEdit::Loaded();
  for (int i : {AltIndex, MainIndex})
    if (GetKind(i) != TButtonKind::bkCustom) AssignKindGlyph(i);
  LayoutButtonPair();
}

// ---------------------------------------------------------------- layout

void TRzCustomButtonEdit::CreateParams(TCreateParams& P) {
  TRzEdit::CreateParams(P);
  P.Style |= WS_CLIPCHILDREN;
}

void TRzCustomButtonEdit::CreateWnd() {
  TRzEdit::CreateWnd();
  UpdateMargins();
}

void TRzCustomButtonEdit::LayoutButtonPair() {
  if (Loading() || !FButtons) return;
  const int lineHeight = FontTextLineHeight(Font());
  if (Height() < lineHeight) {
    // The resize lays the pair out again.
    SetHeight(lineHeight);
    if (Height() >= lineHeight) return;
  }
  int w = 0;
  for (int i : {MainIndex, AltIndex})
    if (ButtonOf(i)->Visible()) w += ButtonOf(i)->Width();
  int left = Width() - w - 4, top = 0;
  if (RightToLeft()) left = 0;
  else if (!FrameVisible() && !Ctl3D()) left = Width() - w - 1, top = 1;
  FButtons->SetBounds(left, top, w, Height() - 3);
  UpdateMargins();
  Invalidate();
}

void TRzCustomButtonEdit::UpdateMargins() {
  if (!HandleAllocated() || !FButtons) return;
  const int reserved = FButtons->Width() + 2;
  const bool rtl = RightToLeft();
  Perform(EM_SETMARGINS, EC_LEFTMARGIN, MakeLParam(rtl ? reserved : 0, 0));
  Perform(EM_SETMARGINS, EC_RIGHTMARGIN, MakeLParam(0, rtl ? 0 : reserved));
}

void TRzCustomButtonEdit::EditAreaRect(TRect& R) const {
  R = ClientRect();
  R.Right -= FButtons->Width() + 2;
}

void TRzCustomButtonEdit::SetFlatButtons(bool Value) {
  TRzEdit::SetFlatButtons(Value);
  FButtons->SetFlat(Value);
  LayoutButtonPair();
}

void TRzCustomButtonEdit::SetFrameStyle(TFrameStyle Value) {
  TRzEdit::SetFrameStyle(Value);
  LayoutButtonPair();
}

void TRzCustomButtonEdit::SetFrameVisible(bool Value) {
  TRzEdit::SetFrameVisible(Value);
  UpdateFrame(false, false);
}

void TRzCustomButtonEdit::SetAlignment(TLeftRight Value) {
  TRzEdit::SetAlignment(Value);
  UpdateMargins();
}

void TRzCustomButtonEdit::UpdateFrame(bool IsMouse, bool Value) {
  TRzEdit::UpdateFrame(IsMouse, Value);
  if (!FlatButtons()) return;
  const bool hot = Value || Focused();
  if (RzThemesEnabled()) {
    FButtons->SetFlat(!hot);
    FButtons->SetColor(Color());
  } else {
    FButtons->SetColor(hot ? FFlatBtnColor : Color());
  }
}

// ---------------------------------------------------------------- keys

void TRzCustomButtonEdit::KeyDown(Word& Key, TShiftState Shift) {
  TRzEdit::KeyDown(Key, Shift);
  if (!FAllowKeyEdit && Key == VK_DELETE) {
    Key = 0;
    MessageBeep(0);
    return;
  }
  FKeyHandled = false;
  // A shortcut of 0 is none: a key a handler cleared matches nothing.
  const TShortCut sc = ShortCut(Key, Shift);
  if (sc == 0) return;
  TRzControlButton* main = FButtons->Button();
  TRzControlButton* alt = FButtons->AltBtn();
  if (main->Visible() && main->Enabled() && sc == FButtonShortCut) main->Click();
  else if (alt->Visible() && alt->Enabled() && sc == FAltBtnShortCut) alt->Click();
  else return;
  FKeyHandled = true;
}

void TRzCustomButtonEdit::KeyPress(Char& Key) {
  TRzEdit::KeyPress(Key);
  if (!FAllowKeyEdit && (Key == 8 || Key >= 32)) {
    Key = 0;
    MessageBeep(0);
  }
  // The character of a shortcut key never reaches the text.
  if (FKeyHandled) Key = 0;
}

// ---------------------------------------------------------------- messages

void TRzCustomButtonEdit::DefineProperties(TFiler* Filer) {
  TRzEdit::DefineProperties(Filer);
  Filer->DefineProperty("ButtonShortCutText", [this](TReader* r) { FButtonShortCut = TextToShortCut(r->ReadString()); },
                        nullptr, false);
  Filer->DefineProperty("AltBtnShortCutText", [this](TReader* r) { FAltBtnShortCut = TextToShortCut(r->ReadString()); },
                        nullptr, false);
  Filer->DefineProperty("FlatButtonParentColor", &TRzOldPropReader::SkipBoolean, nullptr, false);
}

void TRzCustomButtonEdit::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_SIZE:
      TRzEdit::Dispatch(M);
      LayoutButtonPair();
      return;
    case WM_CUT:
    case WM_PASTE:
      if (KeyEditAllowed()) TRzEdit::Dispatch(M);
      return;
    case CM_ENABLEDCHANGED:
      TRzEdit::Dispatch(M);
      UpdateMargins();
      FButtons->SetEnabled(Enabled());
      if (FlatButtons()) FButtons->SetColor(Color());
      return;
    case CM_FONTCHANGED:
      TRzEdit::Dispatch(M);
      UpdateMargins();
      FButtons->SetEnabled(Enabled());
      return;
    case CM_ENTER:
      UpdateMargins();
      if (AutoSelect() && !ControlState().Contains(csLButtonDown)) SelectAll();
      TRzEdit::Dispatch(M);
      return;
    case CM_EXIT:
      TRzEdit::Dispatch(M);
      UpdateMargins();
      return;
    default:
      TRzEdit::Dispatch(M);
      return;
  }
}

// ================================================================ registration

void RegisterAuxEditControls() {
  RegisterClasses({TRzFrameController::StaticClass(), TRzRegIniFile::StaticClass(), TRzEdit::StaticClass(),
                   TRzControlButton::StaticClass(), TRzButtonPair::StaticClass(), TRzButtonEdit::StaticClass()});
}
