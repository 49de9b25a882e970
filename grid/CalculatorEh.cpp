#include "grid/CalculatorEh.h"

#include "core/ClassBuilder.h"
#include "core/Filer.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "gui/Clipbrd.h"
#include "gui/Forms.h"
#include "gui/Screen.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace {
const char* const kLayoutName = "forms/TCALCULATOREH.txt";
constexpr Char kCtrlC = 3, kCtrlV = 22, kBackspace = 8, kEnter = 13, kEscape = 27;
const char* const kOkCaption = "Ok";
const char* const kEqualsCaption = "=";
const char* const kErrorText = "Error";

bool IsOperatorKey(Char Key) {
  switch (Key) {
    case kEnter: case U'%': case U'*': case U'+': case U'-': case U'/': case U'=': return true;
    default: return false;
  }
}

bool IsArithmetic(Char Op) { return Op == U'*' || Op == U'+' || Op == U'-' || Op == U'/'; }

Char UpperKey(Char Key) { return Key >= U'a' && Key <= U'z' ? Key - U'a' + U'A' : Key; }
}  // namespace

// ================================================================ TCalculatorEh

KELM_PUBLISH(TCalculatorEh) {
  Published(b);
  b.Method("SpeedButtonClick", &TCalculatorEh::SpeedButtonClick);
}

TCalculatorEh::TCalculatorEh(TComponent* AOwner) : inherited(AOwner) {
  FPixelsPerInch = Screen ? Screen->PixelsPerInch() : 96;
  LoadLayout();
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* b = dynamic_cast<TSpeedButtonEh*>(Components(i))) {
      b->SetStyle(ebsGlyphEh);
      b->SetActive(true);
    }
  SetAutoSize(true);
  ApplyDesignSize();
  RefreshEqualsCaption();
}

TCalculatorEh::~TCalculatorEh() = default;

void TCalculatorEh::LoadLayout() {
  FTextHeight = 0;
  LoadLayoutResource(this, kLayoutName);
  assert(Panel1 && TextBox && spEqual);
  ScaleLayout();
  NotifyControls(CM_PARENTBIDIMODECHANGED);
}

void TCalculatorEh::ScaleLayout() {
  int now = 0;
  if (FPixelsPerInch > 0 && FTextHeight > 0) {
    Canvas()->Font()->Assign(Font());
    now = Canvas()->TextHeight("0");
  }
  // Laid out for the stored text height: scaled by the height "0" has in the font here.
  if (now <= 0 || now == FTextHeight) return;
  auto scale = [&](int v) { return MulDiv(v, now, FTextHeight); };
  std::function<void(TWinControl*)> scaleChildren = [&](TWinControl* Parent) {
    for (int i = 0; i < Parent->ControlCount(); ++i) {
      TControl* c = Parent->Controls(i);
      c->SetBounds(scale(c->Left()), scale(c->Top()), scale(c->Width()), scale(c->Height()));
      if (auto* w = dynamic_cast<TWinControl*>(c)) scaleChildren(w);
    }
  };
  scaleChildren(this);
  FClientWidth = scale(FClientWidth);
  FClientHeight = scale(FClientHeight);
}

void TCalculatorEh::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
  HandleNeeded();
  ApplyDesignSize();
}

void TCalculatorEh::SetDesignClientWidth(int Value) {
  FClientWidth = Value;
  ApplyDesignSize();
}

void TCalculatorEh::SetDesignClientHeight(int Value) {
  FClientHeight = Value;
  ApplyDesignSize();
}

void TCalculatorEh::SetPixelsPerInch(int Value) {
  if (Value == FPixelsPerInch || (Value != 0 && Value <= 35)) return;
  if (ComponentState().Contains(csLoading) && FPixelsPerInch == 0) return;
  FPixelsPerInch = Value;
}

int TCalculatorEh::FrameExtent() {
  TRect nc = NonClientMargins();
  return nc.Top + nc.Bottom;
}

void TCalculatorEh::ApplyDesignSize() {
  if (!AutoSize()) return;
  TRect nc = NonClientMargins();
  SetBounds(Left(), Top(), FClientWidth + nc.Left + nc.Right, FClientHeight + FrameExtent());
}

void TCalculatorEh::CreateParams(TCreateParams& P) {
  TCustomControl::CreateParams(P);
  if (FBorderStyle == bsSingle) {
    if (Ctl3D()) P.ExStyle |= WS_EX_CLIENTEDGE;
    else P.Style |= WS_BORDER;
  }
}

void TCalculatorEh::CreateWnd() {
  TCustomControl::CreateWnd();
  ApplyDesignSize();
}

TSpeedButtonEh* TCalculatorEh::Button(const String& Name) const {
  return dynamic_cast<TSpeedButtonEh*>(FindComponent(Name));
}

Char TCalculatorEh::KeyOfTag(int Tag) {
  static constexpr Char kKeys[24] = {0,    U'7', U'8', U'9', U'/', U'S', U'C', U'4', U'5', U'6', U'*', U'%',
                                     0,    U'1', U'2', U'3', U'-', U'R', kBackspace, U'0', U'I', U'.', U'+', U'='};
  return Tag >= 0 && Tag < 24 ? kKeys[Tag] : 0;
}

void TCalculatorEh::SpeedButtonClick(TObject* Sender) {
  auto* c = dynamic_cast<TComponent*>(Sender);
  if (!c) return;
  Char key = KeyOfTag(static_cast<int>(c->Tag()));
  if (key != 0) ApplyKey(key);
}

String TCalculatorEh::DisplayText() const { return TextBox->Caption(); }

void TCalculatorEh::SetDisplayText(const String& Text) { TextBox->SetCaption(Text); }

double TCalculatorEh::DisplayValue() const {
  if (FState == csErrorEh) return 0;
  return StrToFloat(DisplayText());
}

void TCalculatorEh::ShowValue(double Value) { SetDisplayText(FloatToStrF(Value, ffGeneral, 15, 0)); }

void TCalculatorEh::Reset() {
  FState = csReadyEh;
  SetDisplayText("0");
  FOperator = U'=';
  FOperand = 0;
}

void TCalculatorEh::StartEntry() {
  if (FState != csReadyEh) return;
  FState = csEnteringEh;
  SetDisplayText("0");
}

void TCalculatorEh::SetError() {
  FState = csErrorEh;
  SetDisplayText(kErrorText);
}

String TCalculatorEh::EqualsCaption() const { return spEqual->Caption(); }

void TCalculatorEh::RefreshEqualsCaption() {
  bool pending = FOperand != 0 && FState == csEnteringEh && IsArithmetic(FOperator);
  spEqual->SetCaption(pending ? kEqualsCaption : kOkCaption);
}

void TCalculatorEh::ApplyOperator(Char Key) {
  if (FState == csEnteringEh) {
    FState = csReadyEh;
    double r = DisplayValue();
    if (Key == U'%') {
      if (FOperator == U'*' || FOperator == U'/') r = r / 100;
      else if (FOperator == U'+' || FOperator == U'-') r = FOperand * r / 100;
    }
    switch (FOperator) {
      case U'*': ShowValue(FOperand * r); break;
      case U'+': ShowValue(FOperand + r); break;
      case U'-': ShowValue(FOperand - r); break;
      case U'/':
        if (r == 0) SetError();
        else ShowValue(FOperand / r);
        break;
      default: break;
    }
  }
  // A second operator key only replaces the pending one.
  FOperator = Key;
  FOperand = DisplayValue();
}

void TCalculatorEh::ApplyKey(Char Key) {
  Key = UpperKey(Key);
  if (FState == csErrorEh && Key != U'C') return;
  const Char separator = static_cast<unsigned char>(FormatSettings().DecimalSeparator);
  String text = DisplayText();
  if (Key == separator) {
    StartEntry();
    text = DisplayText();
    if (text.find(char(separator)) == String::npos) SetDisplayText(text + char(separator));
  } else if (Key == kCtrlC) {
    Clipboard()->SetAsText(text);
  } else if (Key == kCtrlV) {
    if (Clipboard()->HasFormat(CF_TEXT)) ShowValue(StrToFloat(Trim(Clipboard()->AsText())));
  } else if (Key == kBackspace) {
    StartEntry();
    text = DisplayText();
    bool minusAndDigit = Length(text) == 2 && text[0] == '-';
    SetDisplayText(Length(text) > 1 && !minusAndDigit ? Copy(text, 1, Length(text) - 1) : String("0"));
  } else if (Key == kEscape || Key == U'C') {
    Reset();
  } else if (Key >= U'0' && Key <= U'9') {
    StartEntry();
    text = DisplayText();
    if (text == "0") text.clear();
    int room = !text.empty() && text[0] == '-' ? 16 : 15;
    if (text.find('E') == String::npos && Length(text) < room) text += char(Key);
    SetDisplayText(text.empty() ? String("0") : text);
  } else if (Key == U'I') {
    ShowValue(-DisplayValue());
  } else if (Key == U'R') {
    FState = csReadyEh;
    double v = DisplayValue();
    if (v == 0) SetError();
    else ShowValue(1 / v);
  } else if (Key == U'S') {
    FState = csReadyEh;
    double v = DisplayValue();
    if (v < 0) SetError();
    else ShowValue(std::sqrt(v));
  } else if (IsOperatorKey(Key)) {
    ApplyOperator(Key);
  }
  RefreshEqualsCaption();
}

void TCalculatorEh::KeyDown(Word& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == VK_DELETE) {
    ApplyKey(U'C');
    Key = 0;
  }
}

void TCalculatorEh::KeyPress(Char& Key) {
  TCustomControl::KeyPress(Key);
  if (Key == 0) return;
  ApplyKey(Key);
  Key = 0;
}

bool TCalculatorEh::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  if (TCustomControl::DoMouseWheelDown(Shift, MousePos)) return true;
  if (FState != csErrorEh) ShowValue(DisplayValue() - 1);
  return true;
}

bool TCalculatorEh::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  if (TCustomControl::DoMouseWheelUp(Shift, MousePos)) return true;
  if (FState != csErrorEh) ShowValue(DisplayValue() + 1);
  return true;
}

// ================================================================ TPopupCalculatorEh

KELM_PUBLISH(TPopupCalculatorEh) {}

TPopupCalculatorEh::TPopupCalculatorEh(TComponent* AOwner) : TCalculatorEh(AOwner) {
  TControlStyle style = ControlStyle();
  style += csReplicatable;
  SetControlStyle(style);
  SetVisible(false);
  SetCtl3D(true);
  SetParentCtl3D(false);
  SetTabStop(false);
  SetFlatButtons(true);
  // A window made while the calculator was built had the plain calculator's styles.
  RecreateWnd();
  ApplyDesignSize();
}

void TPopupCalculatorEh::CreateParams(TCreateParams& P) {
  TCalculatorEh::CreateParams(P);
  P.Style = (P.Style & ~(WS_CHILD | WS_BORDER)) | WS_POPUP;
  if (!Ctl3D()) P.Style |= WS_BORDER;
  P.ExStyle = (P.ExStyle & ~WS_EX_CLIENTEDGE) | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  P.WndParent = 0;
}

void TPopupCalculatorEh::PaintBorder(HDC DC) {
  if (!DC || !Ctl3D()) return;
  TRect r = Rect(0, 0, Width(), Height());
  HBRUSH frame = GetSysColorBrush(COLOR_3DDKSHADOW);
  FrameRect(DC, r, frame);
  InflateRect(r, -1, -1);
  DrawEdge(DC, r, BDR_RAISEDINNER, BF_RECT);
}

void TPopupCalculatorEh::CloseUp(bool Accept) {
  if (IDropDownOwnerEh* owner = DropDownOwnerOf(this)) owner->CloseDropDown(Accept);
}

bool TPopupCalculatorEh::CanCloseOnEnter() { return EqualsCaption() == kOkCaption; }

void TPopupCalculatorEh::ApplyKey(Char Key) {
  if ((Key == kEnter || Key == U'=') && CanCloseOnEnter()) {
    CloseUp(true);
    return;
  }
  TCalculatorEh::ApplyKey(Key);
}

void TPopupCalculatorEh::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE) {
    Key = 0;
    CloseUp(false);
    return;
  }
  TCalculatorEh::KeyDown(Key, Shift);
}

Variant TPopupCalculatorEh::GetDropDownValue() {
  if (State() == csErrorEh) return VarError(0);
  return Variant(DisplayValue());
}

void TPopupCalculatorEh::SetDropDownValue(const Variant& Value) {
  Reset();
  ShowValue(VarIsNull(Value) || VarIsEmpty(Value) ? 0.0 : Value.AsDouble());
  RefreshEqualsCaption();
}

void TPopupCalculatorEh::SetFlatButtons(bool Value) {
  if (FFlatButtons == Value && ComponentCount() == 0) return;
  FFlatButtons = Value;
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* b = dynamic_cast<TSpeedButtonEh*>(Components(i))) b->SetFlat(Value);
}

void TPopupCalculatorEh::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_NCCALCSIZE:
      TCalculatorEh::Dispatch(M);
      if (auto* r = reinterpret_cast<TRect*>(M.LParam)) InflateRect(*r, -FrameWidth(), -FrameWidth());
      return;
    case WM_NCPAINT:
      TCalculatorEh::Dispatch(M);
      PaintBorder(reinterpret_cast<HDC>(M.WParam));
      return;
    case WM_MOUSEACTIVATE:
      M.Result = MA_NOACTIVATE;
      return;
    case WM_GETDLGCODE:
      M.Result = DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
      return;
    case CM_WANTSPECIALKEY:
      if (M.WParam == VK_RETURN || M.WParam == VK_ESCAPE) {
        M.Result = 1;
        CloseUp(M.WParam == VK_RETURN);
        return;
      }
      break;
    case CM_CALENDARCLOSE:  // the drop-downs' deferred close
      CloseUp(false);
      return;
    default:
      break;
  }
  TCalculatorEh::Dispatch(M);
}
