// TControl: bounds, alignment requests, properties with their change messages, mouse
// messages, actions and dragging.
#include "gui/Control.h"

#include "gui/Application.h"
#include "gui/DragImages.h"
#include "gui/Forms.h"
#include "gui/QtGlue_p.h"
#include "gui/Screen.h"

#include "core/ClassBuilder.h"
#include "core/Exceptions.h"
#include "core/Filer.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "core/TypInfo.h"
#include "core/Scope.h"

#include <algorithm>

// ================================================================ cursors by name

namespace {

struct TCursorName {
  TCursor Value;
  const char* Name;
};
const TCursorName kCursorNames[] = {
    {crDefault, "crDefault"},   {crArrow, "crArrow"},         {crCross, "crCross"},
    {crIBeam, "crIBeam"},       {crSizeNESW, "crSizeNESW"},   {crSizeNS, "crSizeNS"},
    {crSizeNWSE, "crSizeNWSE"}, {crSizeWE, "crSizeWE"},       {crUpArrow, "crUpArrow"},
    {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},         {crNoDrop, "crNoDrop"},
    {crHSplit, "crHSplit"},     {crVSplit, "crVSplit"},       {crMultiDrag, "crMultiDrag"},
    {crSQLWait, "crSQLWait"},   {crNo, "crNo"},               {crAppStart, "crAppStart"},
    {crHelp, "crHelp"},         {crHandPoint, "crHandPoint"}, {crSizeAll, "crSizeAll"},
    {crNone, "crNone"},         {crSize, "crSize"},
};

[[maybe_unused]] const bool kCursorIdentsRegistered = [] {
  RegisterIntegerConsts("TCursor", IdentToCursor, CursorToIdent);
  return true;
}();

}  // namespace

bool CursorToIdent(Int64 Cursor, String& Ident) {
  for (const auto& c : kCursorNames)
    if (c.Value == Cursor) {
      Ident = c.Name;
      return true;
    }
  return false;
}

bool IdentToCursor(const String& Ident, Int64& Cursor) {
  for (const auto& c : kCursorNames)
    if (SameText(Ident, c.Name)) {
      Cursor = c.Value;
      return true;
    }
  return false;
}

String CursorToString(TCursor Cursor) {
  String s;
  if (CursorToIdent(Cursor, s)) return s;
  return std::to_string(Cursor);
}

TCursor StringToCursor(const String& S) {
  Int64 v = 0;
  if (IdentToCursor(S, v)) return static_cast<TCursor>(v);
  return static_cast<TCursor>(StrToInt(S));
}

// ================================================================ small helpers

namespace control_props {
void UnknownProperty(const char* Class, const char* Name) {
  throw EPropertyError(String("No published control property '") + Name + "' for " + Class);
}
}  // namespace control_props

TShiftState KeysToShiftState(Word Keys) {
  TShiftState s;
  if (Keys & MK_SHIFT) s += ssShift;
  if (Keys & MK_CONTROL) s += ssCtrl;
  if (Keys & MK_LBUTTON) s += ssLeft;
  if (Keys & MK_RBUTTON) s += ssRight;
  if (Keys & MK_MBUTTON) s += ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s += ssAlt;
  return s;
}

TShiftState KeyDataToShiftState(LPARAM KeyData) {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s += ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s += ssCtrl;
  if (KeyData & AltMask) s += ssAlt;
  return s;
}

TShiftState KeyboardStateToShiftState() {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s += ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s += ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s += ssAlt;
  if (GetKeyState(VK_LBUTTON) < 0) s += ssLeft;
  if (GetKeyState(VK_RBUTTON) < 0) s += ssRight;
  if (GetKeyState(VK_MBUTTON) < 0) s += ssMiddle;
  return s;
}

String GetShortHint(const String& Hint) {
  auto p = Hint.find('|');
  return p == String::npos ? Hint : Hint.substr(0, p);
}

String GetLongHint(const String& Hint) {
  auto p = Hint.find('|');
  return p == String::npos ? Hint : Hint.substr(p + 1);
}

// The top of the parent chain when it is a form (an MDI child has no parent: it is the top).
TCustomForm* GetParentForm(TControl* Control) {
  while (Control && Control->Parent()) Control = Control->Parent();
  return dynamic_cast<TCustomForm*>(Control);
}

TWinControl* GetTopParent(TControl* Control) {
  if (!Control) return nullptr;
  while (Control->Parent()) Control = Control->Parent();
  return dynamic_cast<TWinControl*>(Control);
}

String StripHotkey(const String& Text) {
  String out;
  for (std::size_t i = 0; i < Text.size(); ++i) {
    if (Text[i] == '&') {
      if (i + 1 == Text.size()) {
        out += '_';
        break;
      }
      ++i;
    }
    out += Text[i];
  }
  return out;
}

bool IsAccel(Char Key, const String& Text) {
  std::size_t i = 0;
  while (i < Text.size()) {
    if (Text[i] == '&') {
      if (i + 1 < Text.size() && Text[i + 1] == '&') {
        i += 2;
        continue;
      }
      std::size_t p = i + 1;
      if (p >= Text.size()) return false;
      char32_t c = DecodeUtf8(Text, p);
      String a, b;
      AppendUtf8(a, c);
      AppendUtf8(b, Key);
      return AnsiSameText(a, b);
    }
    ++i;
  }
  return false;
}

// ================================================================ TSizeConstraints

KELM_PUBLISH(TSizeConstraints) { Published(b); }

void TSizeConstraints::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TSizeConstraints*>(Source)) {
    FMaxHeight = s->FMaxHeight;
    FMaxWidth = s->FMaxWidth;
    FMinHeight = s->FMinHeight;
    FMinWidth = s->FMinWidth;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

TPersistent* TSizeConstraints::GetOwner() const { return FControl; }

void TSizeConstraints::SetMaxHeight(int v) {
  if (v < 0) v = 0;
  if (v == FMaxHeight) return;
  FMaxHeight = v;
  if (v > 0 && v < FMinHeight) FMinHeight = v;
  Changed();
}
void TSizeConstraints::SetMaxWidth(int v) {
  if (v < 0) v = 0;
  if (v == FMaxWidth) return;
  FMaxWidth = v;
  if (v > 0 && v < FMinWidth) FMinWidth = v;
  Changed();
}
void TSizeConstraints::SetMinHeight(int v) {
  if (v < 0) v = 0;
  if (v == FMinHeight) return;
  FMinHeight = v;
  if (FMaxHeight > 0 && v > FMaxHeight) FMaxHeight = v;
  Changed();
}
void TSizeConstraints::SetMinWidth(int v) {
  if (v < 0) v = 0;
  if (v == FMinWidth) return;
  FMinWidth = v;
  if (FMaxWidth > 0 && v > FMaxWidth) FMaxWidth = v;
  Changed();
}

void TSizeConstraints::Changed() {
  if (FControl && !FControl->ComponentState().Contains(csLoading)) FControl->SetBounds(FControl->Left(), FControl->Top(), FControl->Width(), FControl->Height());
  OnChange(this);
}

// ================================================================ the action link of a control

TControlActionLink::TControlActionLink(TControl* AClient) : TBasicActionLink(AClient), FClient(AClient) {}

bool TControlActionLink::ClientValue(TActionLinkProp Prop, Variant& Value) const {
  return FClient->ActionClientValue(Prop, Value);
}

void TControlActionLink::SetClientValue(TActionLinkProp Prop, const Variant& Value) {
  FClient->SetActionClientValue(Prop, Value);
}

TNotifyEvent* TControlActionLink::ClientOnClick() { return &FClient->OnClick; }

// ================================================================ drag objects

namespace {
TDragObject* gDragObject = nullptr;
bool gDragOwned = false;
TControl* gDragSource = nullptr;
TControl* gDragTarget = nullptr;
bool gDragAccepted = false;
HWND gDragWindow = 0;
}  // namespace

TDragObject* CurrentDragObject() { return gDragObject; }

TCursor TDragControlObject::GetDragCursor(bool Accepted, int X, int Y) {
  if (!Accepted) return crNoDrop;
  return FControl ? FControl->DragCursor() : crDrag;
}

TObject* TDragControlObject::Source() { return FControl; }

TDragImageList* TDragControlObject::GetDragImages() {
  if (!FControl || !FControl->ControlStyle().Contains(csDisplayDragImage)) return nullptr;
  return FControl->GetDragImages();
}

void TDragObject::HideDragImage() {
  if (TDragImageList* images = GetDragImages()) images->HideDragImage();
}

void TDragObject::ShowDragImage() {
  if (TDragImageList* images = GetDragImages()) images->ShowDragImage();
}

// ================================================================ TControl

KELM_PUBLISH(TControl) { Published(b); }

namespace {

// The window procedure a control starts with; recognisable, so a control can tell whether
// someone else's procedure stands in front of its own.
struct TOwnWindowProc {
  TControl* Control;
  void operator()(TMessage& M) const { Control->WndProc(M); }
};

}  // namespace

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
  WindowProc = TOwnWindowProc{this};
  FFont = std::make_unique<TFont>();
  FFont->SetOnChange(TNotifyEvent(this, &TControl::FontChanged));
  FConstraints = std::make_unique<TSizeConstraints>(this);
}

bool TControl::WindowProcIsOwn() const {
  const auto* own = WindowProc.target<TOwnWindowProc>();
  return own && own->Control == this;
}

void TControl::ChangeScale(int M, int D) {
  if (M == D || D == 0) return;
  const TScalingFlags flags =
      ComponentState().Contains(csLoading) ? FScalingFlags : TScalingFlags{sfLeft, sfTop, sfWidth, sfHeight, sfFont};
  const int l = flags.Contains(sfLeft) ? MulDiv(Left(), M, D) : Left();
  const int t = flags.Contains(sfTop) ? MulDiv(Top(), M, D) : Top();
  const int w = flags.Contains(sfWidth) ? MulDiv(Left() + Width(), M, D) - MulDiv(Left(), M, D) : Width();
  const int h = flags.Contains(sfHeight) ? MulDiv(Top() + Height(), M, D) - MulDiv(Top(), M, D) : Height();
  SetBounds(l, t, w, h);
  if (!FParentFont && flags.Contains(sfFont)) FFont->SetSize(MulDiv(FFont->Size(), M, D));
}

void TControl::RestoreWindowProc() { WindowProc = TOwnWindowProc{this}; }

TControl::~TControl() {
  gui_glue::ControlDestroyed(this);
  if (gDragSource == this) EndDrag(false);
  if (gDragTarget == this) gDragTarget = nullptr;
  FActionLink.reset();
  if (FParent) FParent->RemoveControl(this);
  FParent = nullptr;
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::SetParentComponent(TComponent* Value) {
  if (auto* w = dynamic_cast<TWinControl*>(Value)) SetParent(w);
}

void TControl::SetParent(TWinControl* AParent) {
  if (FParent == AParent) return;
  if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (FParent) FParent->RemoveControl(this);
  if (AParent) AParent->InsertControl(this);
}

void TControl::SetName(const String& Value) {
  String old = Name();
  bool follow = FControlStyle.Contains(csSetCaption) && !ComponentState().Contains(csLoading) &&
                !ComponentState().Contains(csReading) && WindowText() == old;
  TComponent::SetName(Value);
  if (follow) SetText(Value);
}

// ---------------------------------------------------------------- bounds

void TControl::CheckConstraints(int& W, int& H) const {
  const TSizeConstraints& c = *FConstraints;
  if (c.MinWidth() > 0 && W < c.MinWidth()) W = c.MinWidth();
  if (c.MinHeight() > 0 && H < c.MinHeight()) H = c.MinHeight();
  if (c.MaxWidth() > 0 && W > c.MaxWidth()) W = c.MaxWidth();
  if (c.MaxHeight() > 0 && H > c.MaxHeight()) H = c.MaxHeight();
}

bool TControl::CanResize(int& NewWidth, int& NewHeight) {
  bool r = true;
  OnCanResize(this, NewWidth, NewHeight, r);
  return r;
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (AWidth < 0) AWidth = 0;
  if (AHeight < 0) AHeight = 0;
  bool loading = ComponentState().Contains(csLoading);
  if (!loading) {
    if ((AWidth != FWidth || AHeight != FHeight) && !CanResize(AWidth, AHeight)) {
      AWidth = FWidth;
      AHeight = FHeight;
    }
    if (FAutoSize && !CanAutoSize(AWidth, AHeight)) {
      AWidth = FWidth;
      AHeight = FHeight;
    }
    CheckConstraints(AWidth, AHeight);
  }
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  bool sized = AWidth != FWidth || AHeight != FHeight;
  UpdateBoundsRect(Bounds(ALeft, ATop, AWidth, AHeight));
  UpdateAnchorRules();
  RequestAlign();
  // A windowed control reports its size through WM_SIZE.
  if (sized && !loading && !dynamic_cast<TWinControl*>(this)) Resize();
}

void TControl::UpdateBoundsRect(const TRect& R) {
  if (FParent && FVisible) FParent->InvalidateRect(&R);  // where it was
  FLeft = R.Left;
  FTop = R.Top;
  FWidth = R.Width();
  FHeight = R.Height();
  if (FParent && FVisible) {
    TRect r = BoundsRect();
    FParent->InvalidateRect(&r);
  }
}

// Taken whenever the control is placed by code or by its layout (the parent is then at its
// designed size, as alignment waits for the end of loading), never by alignment itself.
void TControl::UpdateAnchorRules() {
  if (FAnchorMove) return;
  if (FAnchors == TAnchors{akLeft, akTop} || !FParent) {
    FOriginalParentSize = {0, 0};
    return;
  }
  if (FAnchors.Contains(akRight)) FAnchorRules.X = FAnchors.Contains(akLeft) ? FWidth : FLeft;
  else FAnchorRules.X = FLeft + FWidth / 2;
  if (FAnchors.Contains(akBottom)) FAnchorRules.Y = FAnchors.Contains(akTop) ? FHeight : FTop;
  else FAnchorRules.Y = FTop + FHeight / 2;
  TRect pc = FParent->ClientRect();
  FOriginalParentSize = {pc.Right, pc.Bottom};
}

void TControl::SetAnchoredBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TRestore anchorMove(FAnchorMove, true);
  SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TControl::RequestAlign() {
  if (FParent) FParent->AlignControl(this);
}

TRect TControl::ClientRect() const { return Rect(0, 0, FWidth, FHeight); }

void TControl::SetClientWidth(int v) { SetClientSize(v, ClientHeight()); }
void TControl::SetClientHeight(int v) { SetClientSize(ClientWidth(), v); }

void TControl::SetClientSize(int w, int h) {
  TRect c = ClientRect();
  SetBounds(FLeft, FTop, FWidth - c.Width() + w, FHeight - c.Height() + h);
}

TPoint TControl::ClientOrigin() const {
  if (!FParent) return {FLeft, FTop};
  TPoint p = FParent->ClientOrigin();
  return {p.X + FLeft, p.Y + FTop};
}

TPoint TControl::ClientToScreen(TPoint p) const {
  TPoint o = ClientOrigin();
  return {p.X + o.X, p.Y + o.Y};
}

TPoint TControl::ScreenToClient(TPoint p) const {
  TPoint o = ClientOrigin();
  return {p.X - o.X, p.Y - o.Y};
}

TPoint TControl::ClientToParent(TPoint p, TWinControl* AParent) const {
  if (!AParent) AParent = FParent;
  if (!AParent) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  const TControl* c = this;
  while (c && c != AParent) {
    p.X += c->FLeft;
    p.Y += c->FTop;
    c = c->FParent;
    if (!c) throw EInvalidOperation("'" + AParent->Name() + "' is not a parent of '" + Name() + "'");
  }
  return p;
}

TPoint TControl::ParentToClient(TPoint p, TWinControl* AParent) const {
  TPoint o = ClientToParent({0, 0}, AParent);
  return {p.X - o.X, p.Y - o.Y};
}

namespace {
TAnchors AnchorsOfAlign(TAlign a) {
  switch (a) {
    case alTop: return {akLeft, akTop, akRight};
    case alBottom: return {akLeft, akRight, akBottom};
    case alLeft: return {akLeft, akTop, akBottom};
    case alRight: return {akRight, akTop, akBottom};
    case alClient: return {akLeft, akTop, akRight, akBottom};
    default: return {akLeft, akTop};
  }
}
}  // namespace

void TControl::SetAlign(TAlign v) {
  if (v == FAlign) return;
  TAlign old = FAlign;
  FAlign = v;
  bool loading = ComponentState().Contains(csLoading);
  if (!loading) {
    // Turning a top/bottom control into a left/right one (or back) swaps its extent.
    bool oldHorz = old == alTop || old == alBottom, newVert = v == alLeft || v == alRight;
    if (oldHorz == newVert && old != alNone && old != alClient && old != alCustom && v != alNone && v != alClient &&
        v != alCustom)
      SetBounds(FLeft, FTop, FHeight, FWidth);
    FAnchors = AnchorsOfAlign(v);
  }
  RequestAlign();
}

void TControl::SetAnchors(TAnchors v) {
  if (v == FAnchors) return;
  FAnchors = v;
  UpdateAnchorRules();
}

void TControl::SetAutoSize(bool v) {
  if (v == FAutoSize) return;
  FAutoSize = v;
  if (v) AdjustSize();
}

void TControl::AdjustSize() {
  if (!ComponentState().Contains(csLoading)) SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TControl::Resize() { OnResize(this); }

// ---------------------------------------------------------------- state properties

void TControl::SetVisible(bool v) {
  if (v == FVisible) return;
  VisibleChanging();
  FVisible = v;
  Perform(CM_VISIBLECHANGED, v ? 1 : 0, 0);
  RequestAlign();
}

void TControl::Show() {
  if (FParent) FParent->ShowControl(this);
  SetVisible(true);
}

void TControl::Hide() { SetVisible(false); }

void TControl::SetEnabled(bool v) {
  if (v == FEnabled) return;
  FEnabled = v;
  Perform(CM_ENABLEDCHANGED);
}

String TControl::GetText() const {
  auto* self = const_cast<TControl*>(this);
  LRESULT len = self->Perform(WM_GETTEXTLENGTH, 0, 0);
  if (len <= 0) return String();
  String buf(static_cast<std::size_t>(len) * kMaxCharBytes + 1, '\0');
  LRESULT got = self->Perform(WM_GETTEXT, static_cast<WPARAM>(len) + 1, reinterpret_cast<LPARAM>(buf.data()));
  if (got <= 0) return String();
  buf.resize(std::char_traits<char>::length(buf.c_str()));
  return buf;
}

void TControl::SetText(const TCaption& v) {
  if (GetText() == v) return;
  Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(v.c_str()));
  Perform(CM_TEXTCHANGED);
}

void TControl::FontChanged(TObject*) {
  if (!FParentFontSyncing) FParentFont = false;
  Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool v) {
  if (v == FParentFont) return;
  FParentFont = v;
  if (v && FParent && !ComponentState().Contains(csReading)) Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetColor(TColor v) {
  if (v == FColor) {
    FParentColor = false;
    return;
  }
  FColor = v;
  FParentColor = false;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool v) {
  if (v == FParentColor) return;
  FParentColor = v;
  if (v && FParent && !ComponentState().Contains(csReading)) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetShowHint(bool v) {
  if (v == FShowHint && !FParentShowHint) return;
  FShowHint = v;
  FParentShowHint = false;
  Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool v) {
  if (v == FParentShowHint) return;
  FParentShowHint = v;
  if (v && FParent && !ComponentState().Contains(csReading)) Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetCursor(TCursor v) {
  if (v == FCursor) return;
  FCursor = v;
  Perform(CM_CURSORCHANGED);
}

void TControl::SetBiDiMode(TBiDiMode v) {
  if (v == FBiDiMode && !FParentBiDiMode) return;
  FParentBiDiMode = false;
  if (v == FBiDiMode) return;
  FBiDiMode = v;
  Perform(CM_BIDIMODECHANGED);
}

void TControl::SetParentBiDiMode(bool v) {
  if (v == FParentBiDiMode) return;
  FParentBiDiMode = v;
  if (v && FParent && !ComponentState().Contains(csReading)) Perform(CM_PARENTBIDIMODECHANGED);
}

void TControl::SetPopupMenuComponent(TComponent* Menu) {
  if (Menu == FPopupMenu) return;
  if (Menu && !dynamic_cast<IPopupMenu*>(Menu)) {
    if (TClass pm = GetClass("TPopupMenu"); pm && !Menu->InheritsFrom(pm))
      throw EInvalidOperation(Menu->Name() + " is not a popup menu");
  }
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = Menu;
  if (Menu) Menu->FreeNotification(this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove) {
    if (AComponent == FPopupMenu) FPopupMenu = nullptr;
    if (FActionLink && AComponent == FActionLink->Action()) FActionLink.reset();
  }
}

bool TControl::MouseCapture() const { return GetCaptureControl() == this; }

bool TControl::UseRightToLeftAlignment() const { return SysLocale().MiddleEast && FBiDiMode == bdRightToLeft; }

TSysLocale& SysLocale() {
  static TSysLocale locale;
  return locale;
}

void TControl::SetMouseCapture(bool v) {
  if (v == MouseCapture()) return;
  SetCaptureControl(v ? this : nullptr);
}

// ---------------------------------------------------------------- actions

TBasicAction* TControl::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

TControlActionLink* TControl::CreateActionLink() { return new TControlActionLink(this); }

void TControl::SetAction(TBasicAction* Value) {
  if (!Value) {
    FActionLink.reset();
    return;
  }
  if (!FActionLink) FActionLink.reset(CreateActionLink());
  FActionLink->SetAction(Value);
  FActionLink->OnChange = TNotifyEvent::Lambda([this](TObject* s) { ActionChange(s, false); });
  ActionChange(Value, ComponentState().Contains(csLoading));
  Value->FreeNotification(this);
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults) {
  if (FActionLink && Sender && Sender == FActionLink->Action()) FActionLink->ShowAction(CheckDefaults);
}

bool TControl::ActionClientValue(TActionLinkProp Prop, Variant& Value) const {
  switch (Prop) {
    case alpCaption: Value = Caption(); return true;
    case alpEnabled: Value = FEnabled; return true;
    case alpHelpContext: Value = FHelpContext; return true;
    case alpHint: Value = FHint; return true;
    case alpVisible: Value = FVisible; return true;
    default: return false;
  }
}

void TControl::SetActionClientValue(TActionLinkProp Prop, const Variant& Value) {
  switch (Prop) {
    case alpCaption: SetCaption(VarToStr(Value)); break;
    case alpEnabled: SetEnabled(Value.AsBoolean()); break;
    case alpHelpContext: SetHelpContext(Value.AsInteger()); break;
    case alpHint: SetHint(VarToStr(Value)); break;
    case alpVisible: SetVisible(Value.AsBoolean()); break;
    default: break;
  }
}

void TControl::InitiateAction() {
  if (FActionLink) FActionLink->Update();
}

void TControl::Loaded() {
  TComponent::Loaded();
  if (FActionLink && FActionLink->Action()) ActionChange(FActionLink->Action(), true);
  if (FAutoSize) AdjustSize();
  RequestAlign();
}

// ---------------------------------------------------------------- messages

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m;
  m.Msg = Msg;
  m.WParam = WParam;
  m.LParam = LParam;
  if (WindowProc) WindowProc(m);
  else WndProc(m);
  return m.Result;
}

bool IsDesignerInput(TControl* Sender, TMessage& M) {
  bool input = (M.Msg >= WM_MOUSEFIRST && M.Msg <= WM_MOUSELAST) || (M.Msg >= WM_KEYFIRST && M.Msg <= WM_KEYLAST);
  if (!input) return false;
  TCustomForm* f = GetParentForm(Sender);
  return f && f->Designer() && f->Designer()->IsDesignMsg(Sender, M);
}

void TControl::WndProc(TMessage& M) {
  if (IsDesignerInput(this, M)) return;
  if (M.Msg >= WM_MOUSEFIRST && M.Msg <= WM_MOUSELAST) {
    if (Application && !ComponentState().Contains(csDesigning)) Application->HintMouseMessage(this, M);
    // A windowless control that takes no double clicks sees a second press as a press.
    if (M.Msg == WM_LBUTTONDBLCLK && !FControlStyle.Contains(csDoubleClicks)) M.Msg = WM_LBUTTONDOWN;
    switch (M.Msg) {
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        if (FDragMode == dmAutomatic && !ComponentState().Contains(csDesigning)) {
          BeginAutoDrag();
          return;
        }
        FControlState += csLButtonDown;
        break;
      case WM_LBUTTONUP:
        FControlState -= csLButtonDown;
        break;
      default:
        break;
    }
  }
  Dispatch(M);
}

void TControl::DoMouseDownMsg(TMessage& M, TMouseButton Button, bool Double) {
  if (FControlStyle.Contains(csNoStdEvents)) return;
  TShiftState s = KeysToShiftState(static_cast<Word>(M.WParam));
  if (Double) s += ssDouble;
  MouseDown(Button, s, GetXLParam(M.LParam), GetYLParam(M.LParam));
}

void TControl::DoMouseUpMsg(TMessage& M, TMouseButton Button) {
  if (FControlStyle.Contains(csNoStdEvents)) return;
  MouseUp(Button, KeysToShiftState(static_cast<Word>(M.WParam)), GetXLParam(M.LParam), GetYLParam(M.LParam));
}

void TControl::DoMouseMoveMsg(TMessage& M) {
  if (FControlStyle.Contains(csNoStdEvents)) return;
  MouseMove(KeysToShiftState(static_cast<Word>(M.WParam)), GetXLParam(M.LParam), GetYLParam(M.LParam));
}

void TControl::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      WMLButtonDown(M);
      return;
    case WM_LBUTTONUP:
      WMLButtonUp(M);
      return;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      WMRButtonDown(M);
      return;
    case WM_RBUTTONUP:
      WMRButtonUp(M);
      return;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      WMMButtonDown(M);
      return;
    case WM_MBUTTONUP:
      WMMButtonUp(M);
      return;
    case WM_MOUSEMOVE:
      WMMouseMove(M);
      return;
    case WM_CANCELMODE:
      WMCancelMode(M);
      return;
    case WM_CONTEXTMENU:
      WMContextMenu(M);
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      CMMouseEnter(M);
      return;
    case CM_PARENTFONTCHANGED:
      CMParentFontChanged(M);
      return;
    case CM_PARENTCOLORCHANGED:
      CMParentColorChanged(M);
      return;
    case CM_PARENTSHOWHINTCHANGED:
      CMParentShowHintChanged(M);
      return;
    case CM_PARENTBIDIMODECHANGED:
      CMParentBiDiModeChanged(M);
      return;
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
      Invalidate();
      return;
    case CM_HITTEST:
      M.Result = 1;  // HTCLIENT
      return;
    case CM_HINTSHOW:
    case CM_HINTSHOWPAUSE:
      return;
    case WM_WINDOWPOSCHANGED:
      return;
    default:
      break;
  }
  DefaultHandler(M);
}

void TControl::WMLButtonDown(TMessage& M) {
  bool dbl = M.Msg == WM_LBUTTONDBLCLK;
  SendCancelMode(this);
  DefaultHandler(M);
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (FControlStyle.Contains(csClickEvents)) {
    if (dbl) DblClick();
    else FControlState += csClicked;
  }
  DoMouseDownMsg(M, mbLeft, dbl);
}

void TControl::WMLButtonUp(TMessage& M) {
  DefaultHandler(M);
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
  if (FControlState.Contains(csClicked)) {
    FControlState -= csClicked;
    if (PtInRect(ClientRect(), PointFromLParam(M.LParam))) Click();
  }
  DoMouseUpMsg(M, mbLeft);
}

void TControl::WMRButtonDown(TMessage& M) {
  DefaultHandler(M);
  DoMouseDownMsg(M, mbRight, M.Msg == WM_RBUTTONDBLCLK);
}

void TControl::WMRButtonUp(TMessage& M) {
  DefaultHandler(M);
  DoMouseUpMsg(M, mbRight);
}

void TControl::WMMButtonDown(TMessage& M) {
  DefaultHandler(M);
  DoMouseDownMsg(M, mbMiddle, M.Msg == WM_MBUTTONDBLCLK);
}

void TControl::WMMButtonUp(TMessage& M) {
  DefaultHandler(M);
  DoMouseUpMsg(M, mbMiddle);
}

void TControl::WMMouseMove(TMessage& M) {
  DefaultHandler(M);
  DoMouseMoveMsg(M);
}

void TControl::WMCancelMode(TMessage& M) {
  DefaultHandler(M);
  if (MouseCapture()) {
    SetMouseCapture(false);
    if (FControlState.Contains(csLButtonDown)) Perform(WM_LBUTTONUP, 0, static_cast<LPARAM>(-1));
  } else {
    FControlState -= csLButtonDown;
  }
}

void TControl::WMContextMenu(TMessage& M) {
  if (M.Result != 0) return;
  TPoint pt = PointFromLParam(M.LParam);
  bool keyboard = pt.X == -1 && pt.Y == -1;
  TPoint local = keyboard ? TPoint{-1, -1} : ScreenToClient(pt);
  bool handled = false;
  DoContextPopup(local, handled);
  M.Result = handled ? 1 : 0;
  if (handled) return;
  if (auto* pm = dynamic_cast<IPopupMenu*>(FPopupMenu); pm && pm->PopupAutoPopup()) {
    if (keyboard) pt = ClientToScreen({0, 0});
    pm->PopupAt(this, pt.X, pt.Y);
    M.Result = 1;
    return;
  }
  DefaultHandler(M);
}

void TControl::CMMouseEnter(TMessage& M) {
  if (M.LParam == 0) {
    if (M.Msg == CM_MOUSEENTER) OnMouseEnter(this);
    else OnMouseLeave(this);
  }
  if (FParent) FParent->Perform(M.Msg, 0, M.LParam ? M.LParam : reinterpret_cast<LPARAM>(this));
}

void TControl::CMParentFontChanged(TMessage& M) {
  if (FParentFont && (M.WParam != 0 || FParent)) {
    TRestore syncing(FParentFontSyncing, true);
    FFont->Assign(M.WParam ? reinterpret_cast<TFont*>(M.LParam) : FParent->Font());
  }
}

void TControl::CMParentColorChanged(TMessage& M) {
  if (FParentColor && (M.WParam != 0 || FParent)) {
    TColor c = M.WParam ? static_cast<TColor>(M.LParam) : FParent->Color();
    if (c != FColor) {
      FColor = c;
      Perform(CM_COLORCHANGED);
    }
    FParentColor = true;
  }
}

void TControl::CMParentBiDiModeChanged(TMessage&) {
  if (!FParentBiDiMode || !FParent || FParent->BiDiMode() == FBiDiMode) return;
  FBiDiMode = FParent->BiDiMode();
  Perform(CM_BIDIMODECHANGED);
}

void TControl::CMParentShowHintChanged(TMessage& M) {
  if (FParentShowHint && FParent) {
    FShowHint = FParent->ShowHint();
    FParentShowHint = true;
  }
}

void TControl::DefaultHandler(TMessage& M) {
  switch (M.Msg) {
    case WM_GETTEXT:
      AnswerGetText(FText, M);
      return;
    case WM_GETTEXTLENGTH:
      AnswerGetTextLength(FText, M);
      return;
    case WM_SETTEXT:
      SetWindowTextDirect(M.LParam ? String(reinterpret_cast<const char*>(M.LParam)) : String());
      M.Result = 1;
      return;
    case WM_CONTEXTMENU:
      // Unanswered, the parent may show its menu.
      if (FParent) M.Result = FParent->Perform(WM_CONTEXTMENU, M.WParam, M.LParam);
      return;
    default:
      return;
  }
}

// ---------------------------------------------------------------- events

void TControl::Click() {
  // A client of an action whose click is the action's runs the action.
  if (FActionLink && FActionLink->Action() && OnClick == FActionLink->Action()->OnExecute) {
    FActionLink->Execute(this);
    return;
  }
  OnClick(this);
}

void TControl::DblClick() { OnDblClick(this); }

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) { OnMouseDown(this, Button, Shift, X, Y); }

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) { OnMouseUp(this, Button, Shift, X, Y); }

void TControl::MouseMove(TShiftState Shift, int X, int Y) { OnMouseMove(this, Shift, X, Y); }

void TControl::DoContextPopup(TPoint MousePos, bool& Handled) { OnContextPopup(this, MousePos, Handled); }

void TControl::DoStartDrag(TDragObject*& DragObject) { OnStartDrag(this, DragObject); }

void TControl::DoEndDrag(TObject* Target, int X, int Y) { OnEndDrag(this, Target, X, Y); }

void TControl::BeginAutoDrag() { BeginDrag(false); }

void TControl::DragDrop(TObject* Source, int X, int Y) { OnDragDrop(this, Source, X, Y); }

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  Accept = false;
  if (OnDragOver) {
    Accept = true;
    OnDragOver(this, Source, X, Y, State, Accept);
  }
}

// ---------------------------------------------------------------- painting and z-order

void TControl::Invalidate() {
  if (FParent && FVisible) {
    TRect r = BoundsRect();
    FParent->InvalidateRect(&r);
  }
}

void TControl::Update() {
  if (FParent) FParent->Update();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::SetZOrder(bool TopMost) {
  if (!FParent) return;
  auto& v = FParent->FControls;
  auto it = std::find(v.begin(), v.end(), this);
  if (it == v.end()) return;
  v.erase(it);
  if (TopMost) v.push_back(this);
  else v.insert(v.begin(), this);
  Invalidate();
}

// ---------------------------------------------------------------- dragging

TControl* FindDragTarget(TPoint Pos, bool AllowDisabled) {
  TWinControl* w = FindControl(WindowFromPoint(Pos));
  if (!w) return nullptr;
  if (TControl* g = w->ControlAtPos(w->ScreenToClient(Pos), AllowDisabled, false)) return g;
  return w;
}

void gui_glue::DragTo(TPoint screen) {
  TControl* target = FindDragTarget(screen, false);
  TObject* source = gDragObject->Source();
  if (target != gDragTarget) {
    if (gDragTarget) {
      bool a = false;
      TPoint c = gDragTarget->ScreenToClient(screen);
      gDragTarget->DragOver(source, c.X, c.Y, dsDragLeave, a);
    }
    gDragTarget = target;
    gDragAccepted = false;
    if (target) {
      TPoint c = target->ScreenToClient(screen);
      target->DragOver(source, c.X, c.Y, dsDragEnter, gDragAccepted);
    }
  } else if (target) {
    TPoint c = target->ScreenToClient(screen);
    target->DragOver(source, c.X, c.Y, dsDragMove, gDragAccepted);
  }
  gDragObject->FDragPos = screen;
  gDragObject->FDragTarget = gDragTarget;
  if (TDragImageList* images = gDragObject->GetDragImages()) images->DragMove(screen.X, screen.Y);
  if (Screen) {
    TCursor cur = gDragObject->GetDragCursor(gDragAccepted, screen.X, screen.Y);
    QWidget* w = nullptr;
    if (auto* wc = dynamic_cast<TWinControl*>(gDragTarget)) w = gui_glue::TAccess::Widget(wc);
    else if (gDragTarget && gDragTarget->Parent()) w = gui_glue::TAccess::Widget(gDragTarget->Parent());
    if (w) w->setCursor(gui_glue::QtCursor(cur));
  }
}

void gui_glue::FinishDrag(bool drop) {
  if (!gDragSource) return;
  TControl* source = gDragSource;
  TDragObject* obj = gDragObject;
  TControl* target = gDragTarget;
  TPoint pos = obj ? obj->DragPos() : TPoint{};
  bool accepted = gDragAccepted;
  gDragSource = nullptr;
  gDragTarget = nullptr;
  gDragObject = nullptr;
  HWND w = gDragWindow;
  gDragWindow = 0;
  if (GetCapture() == w) ReleaseCapture();
  DeallocateHWnd(w);
  bool dropped = drop && target && accepted && obj;
  if (obj)
    if (TDragImageList* images = obj->GetDragImages()) images->EndDrag();
  TScopeExit release([obj] {
    if (gDragOwned) delete obj;
    gDragOwned = false;
  });
  if (obj) obj->FDropped = dropped;
  if (dropped) {
    TPoint c = target->ScreenToClient(pos);
    target->DragDrop(obj->Source(), c.X, c.Y);
  } else if (target && obj) {
    bool a = false;
    TPoint c = target->ScreenToClient(pos);
    target->DragOver(obj->Source(), c.X, c.Y, dsDragLeave, a);
  }
  TPoint c = dropped ? target->ScreenToClient(pos) : TPoint{0, 0};
  TObject* endTarget = dropped ? static_cast<TObject*>(target) : nullptr;
  source->DoEndDrag(endTarget, c.X, c.Y);
  if (obj) obj->Finished(endTarget, c.X, c.Y, dropped);
}

void CancelDrag() {
  if (!gDragSource) return;
  if (gDragObject) gDragObject->FCancelling = true;
  gDragSource->DragCanceled();
  gui_glue::FinishDrag(false);
}

namespace {
using gui_glue::DragTo;
using gui_glue::FinishDrag;
}  // namespace

void TControl::BeginDrag(bool Immediate, int Threshold) {
  if (gDragSource) return;
  if (Threshold < 0) Threshold = Mouse ? Mouse->DragThreshold() : 5;
  gDragSource = this;
  gDragTarget = nullptr;
  gDragAccepted = false;
  TPoint start;
  GetCursorPos(&start);
  FDragStartPos = start;
  FDragThreshold = Threshold;
  FDragPending = !Immediate;
  // The source may hand its own drag object; without one the drag carries the control.
  // False when the source cancelled the drag while it started.
  auto startDrag = [this]() -> bool {
    TDragObject* obj = nullptr;
    DoStartDrag(obj);
    if (gDragSource != this) return false;
    gDragOwned = obj == nullptr;
    gDragObject = obj ? obj : new TDragControlObject(this);
    TPoint at;
    GetCursorPos(&at);
    if (TDragImageList* images = gDragObject->GetDragImages()) images->BeginDrag(at.X, at.Y);
    return true;
  };
  // The drag follows the mouse through a message window that holds the capture.
  gDragWindow = AllocateHWnd([this, startDrag](TMessage& M) {
    switch (M.Msg) {
      case WM_MOUSEMOVE: {
        TPoint p = PointFromLParam(M.LParam);
        if (FDragPending) {
          if (std::abs(p.X - FDragStartPos.X) < FDragThreshold && std::abs(p.Y - FDragStartPos.Y) < FDragThreshold) return;
          FDragPending = false;
          if (!startDrag()) return;
        }
        if (gDragObject) DragTo(p);
        return;
      }
      case WM_LBUTTONUP:
        FinishDrag(!FDragPending);
        return;
      case WM_RBUTTONDOWN:
      case WM_CANCELMODE:
        FinishDrag(false);
        return;
      case WM_KEYDOWN:
        if (M.WParam == VK_ESCAPE) FinishDrag(false);
        return;
      default:
        return;
    }
  });
  if (Immediate && !startDrag()) return;
  SetCapture(gDragWindow);
  if (Immediate) DragTo(start);
}

void TControl::EndDrag(bool Drop) {
  if (gDragSource == this) FinishDrag(Drop);
}

bool TControl::Dragging() const { return gDragSource == this && gDragObject != nullptr; }
