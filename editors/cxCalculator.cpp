#include "editors/cxCalculator.h"

#include "core/ClassBuilder.h"
#include "core/FloatFormat.h"
#include "core/FormatSettings.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "editors/cxCanvas.h"
#include "editors/cxClasses.h"
#include "editors/cxLookAndFeelPainters.h"
#include "gui/Clipbrd.h"

#include <cfloat>
#include <cmath>

KELM_PUBLISH(TcxCustomCalculator) { Published(b); }

namespace {

// Caption, caption colour and place of every key; the top row (Back, CE, C) and the memory
// column are placed apart from the keypad grid.
struct TKeyInfo {
  const char* Caption;
  TColor Color;
  int Row, Column;  // keypad rows 1..4, columns 0..4; memory column -1; top row 0
};
constexpr TKeyInfo kKeys[kCalcKeyCount] = {
    {"Back", clMaroon, 0, 0},  {"CE", clMaroon, 0, 1}, {"C", clMaroon, 0, 2},  {"MC", clRed, 1, -1},
    {"MR", clRed, 2, -1},      {"MS", clRed, 3, -1},   {"M+", clRed, 4, -1},   {"0", clBlue, 4, 0},
    {"1", clBlue, 3, 0},       {"2", clBlue, 3, 1},    {"3", clBlue, 3, 2},    {"4", clBlue, 2, 0},
    {"5", clBlue, 2, 1},       {"6", clBlue, 2, 2},    {"7", clBlue, 1, 0},    {"8", clBlue, 1, 1},
    {"9", clBlue, 1, 2},       {"+/-", clBlue, 4, 1},  {",", clBlue, 4, 2},    {"/", clRed, 1, 3},
    {"*", clRed, 2, 3},        {"-", clRed, 3, 3},     {"+", clRed, 4, 3},     {"sqrt", clNavy, 1, 4},
    {"%", clNavy, 2, 4},       {"1/x", clNavy, 3, 4},  {"=", clRed, 4, 4},
};

bool IsBinaryOperator(TcxCalcKey K) { return K == ckDiv || K == ckMul || K == ckSub || K == ckAdd; }
bool IsOperator(TcxCalcKey K) { return IsBinaryOperator(K) || K == ckPercent || K == ckEquals; }
bool IsDigit(TcxCalcKey K) { return K >= ck0 && K <= ck9; }

String ErrorText() { return TranslateLibraryString("错误"); }

void RemoveAll(String& S, const String& What) {
  if (What.empty()) return;
  for (std::size_t p = S.find(What); p != String::npos; p = S.find(What, p)) S.erase(p, What.size());
}

// What the calculator shows must stay a number a double holds: the editor stores its value
// as one, and a display of "INF" could be read back by nobody.
bool Representable(Extended X) { return std::isfinite(X) && std::fabs(X) <= Extended(DBL_MAX); }

}  // namespace

TcxCustomCalculator::TcxCustomCalculator(TComponent* AOwner) : TcxControl(AOwner) {
  {
    // The first size is the design size; the keys scale at the first real resize.
    TRestore<bool> noScaling(FResizing, true);
    SetWidth(198);
    SetHeight(CalcClientHeight);
  }
  SetControlStyle({csCaptureMouse, csOpaque});
  SetColor(clBtnFace);
  SetParentColor(false);
  SetTabStop(true);
  SetWantedKeys({wkArrows, wkTab, wkChars, wkAll});
  ArrangeButtons();
}

void TcxCustomCalculator::SetFitFontToButtons(bool Value) {
  if (FFitFontToButtons == Value) return;
  FFitFontToButtons = Value;
  HandleFontChange();
}

TcxLookAndFeelPainterClass TcxCustomCalculator::GetKeyPainter() { return TcxStandardLookAndFeelPainter::Instance(); }

void TcxCustomCalculator::RequestClose(TObject* Sender, TcxPopupCloseReason Reason) {
  if (OnCloseRequest) OnCloseRequest(Sender, Reason);
}

String TcxCustomCalculator::DisplayText() {
  String s;
  ReadDisplay(s);
  return s;
}

// ---------------------------------------------------------------- layout

void TcxCustomCalculator::ArrangeButtons() {
  const int w = KeyWidth, h = KeyHeight, ww = WideKeyWidth, gx = KeyGapX, gy = KeyGapY;
  const int keypadLeft = 3 * gx + w + 4;
  const int rightEdge = keypadLeft + 4 * (w + gx) + w;
  for (int i = 0; i < kCalcKeyCount; ++i) {
    TcxCalcKeyRec& k = Keys[i];
    const TKeyInfo& info = kKeys[i];
    k.Kind = TcxCalcKey(i);
    k.Caption = i == ckDecimal ? String(1, FormatSettings().DecimalSeparator) : String(info.Caption);
    k.Color = info.Color;
    k.Down = k.Grayed = false;
    if (info.Row == 0) {
      // C ends at the keypad's right edge; CE and Back each end a gap to the left of the next.
      const int right = rightEdge - (2 - info.Column) * (ww + gy);
      k.Bounds = TRect(right - ww, gy, right, gy + h);
    } else {
      const int top = gy + info.Row * (h + gy);
      const int left = info.Column < 0 ? gx : keypadLeft + info.Column * (w + gx);
      k.Bounds = TRect(left, top, left + w, top + h);
    }
  }
  ResetCalc();
}

void TcxCustomCalculator::ResetCalc() {
  PendingKey = ckEquals;
  CalcState = cstReady;
  MemoryValue = 0;
  UpdateMemoryKeys();
}

void TcxCustomCalculator::UpdateMemoryKeys() {
  Keys[ckMemClear].Grayed = Keys[ckMemRecall].Grayed = MemoryValue == 0;
}

void TcxCustomCalculator::ScaleToClient(int W, int H) {
  int keyHeight;
  if (FFitFontToButtons) {
    H = std::min(H, MulDiv(W, 131, 198));
    auto distance = [H](int kh) { return std::abs(5 * kh + 6 * MulDiv(kh, 3, 22) - H); };
    keyHeight = 22;
    while (distance(keyHeight + 1) < distance(keyHeight)) ++keyHeight;
  } else {
    TcxScreenCanvas canvas;
    keyHeight = 2 * canvas.FontLineHeight(Font());
  }
  KeyHeight = keyHeight;
  KeyWidth = MulDiv(keyHeight, 28, 22);
  KeyGapX = KeyGapY = MulDiv(keyHeight, 3, 22);
  WideKeyWidth = MulDiv(KeyWidth, 17, 10);
  KeyFontSize = MulDiv(keyHeight, 8, 22);
  CalcClientHeight = 5 * keyHeight + 6 * KeyGapY;
  CalcClientWidth = 6 * KeyWidth + 8 * KeyGapX + 4;
  ArrangeButtons();
}

void TcxCustomCalculator::Resize() {
  // Taking the computed client size calls Resize again; that inner call only passes on.
  if (!FResizing) {
    TRestore<bool> guard(FResizing, true);
    ScaleToClient(ClientWidth(), ClientHeight());
    SetClientWidth(CalcClientWidth);
    SetClientHeight(CalcClientHeight);
  }
  TcxControl::Resize();
}

TcxCalcKey TcxCustomCalculator::KeyAt(int X, int Y) const {
  for (const TcxCalcKeyRec& k : Keys)
    if (PtInRect(k.Bounds, TPoint{X, Y})) return k.Kind;
  return ckNone;
}

// ---------------------------------------------------------------- the engine

void TcxCustomCalculator::ExecuteKey(TcxCalcKey Key) {
  if (OnKeyButtonClick) OnKeyButtonClick(this, Key);
  if (Key >= ckNone) return;
  if (CalcState == cstError && Key != ckClear && Key != ckClearEntry) return ShowCalcError();
  if (Key == ckDecimal) {
    StartEntry();
    const String s = DisplayText();
    if (s.find(FormatSettings().DecimalSeparator) == String::npos) WriteDisplay(s + FormatSettings().DecimalSeparator);
    return;
  }
  if (IsDigit(Key)) return AppendDigit(Key);
  if (IsOperator(Key)) return ApplyOperator(Key);
  switch (Key) {
    case ckBack: return DeleteLastChar();
    case ckSign: {
      Extended v;
      if (TryDisplayValue(v)) SetDisplayValue(-v);
      return;
    }
    case ckSqrt:
    case ckRecip: return ApplyUnary(Key);
    case ckClear:
    case ckClearEntry: return ClearCalc();
    default: return MemoryKey(Key);
  }
}

void TcxCustomCalculator::AppendDigit(TcxCalcKey Key) {
  StartEntry();
  String s = DisplayText();
  if (s == "0") s.clear();
  // A leading sign does not count against the digits an entry may have.
  const std::size_t minus = s.find('-');
  const int limit = std::max<int>(2, CalcPrecision) + (minus == String::npos ? 0 : int(minus) + 1);
  if (Length(s) < limit) WriteDisplay(s + char('0' + (Key - ck0)));
  else if (ErrorBeep) MessageBeep(0);
}

void TcxCustomCalculator::DeleteLastChar() {
  StartEntry();
  const String s = DisplayText();
  const int n = Length(s);
  if (n <= 1 || (n == 2 && s[0] == '-')) WriteDisplay("0");
  else WriteDisplay(Copy(s, 1, n - 1));
}

void TcxCustomCalculator::ApplyUnary(TcxCalcKey Key) {
  CalcState = IsBinaryOperator(PendingKey) ? cstEntered : cstReady;
  Extended v;
  if (!TryDisplayValue(v)) return;
  if (Key == ckSqrt ? v < 0 : v == 0) return ShowCalcError();
  SetDisplayValue(Key == ckSqrt ? std::sqrt(v) : 1 / v);
}

void TcxCustomCalculator::ApplyOperator(TcxCalcKey Key) {
  if (CalcState == cstEntered) {
    CalcState = cstReady;
    Extended v;
    if (!TryDisplayValue(v)) return;
    if (Key == ckPercent) {
      if (PendingKey == ckDiv || PendingKey == ckMul) v = v / 100;
      else if (PendingKey == ckSub || PendingKey == ckAdd) v = FirstOperand * v / 100;
    }
    switch (PendingKey) {
      case ckDiv:
        if (v == 0) return ShowCalcError();
        SetDisplayValue(FirstOperand / v);
        break;
      case ckMul: SetDisplayValue(FirstOperand * v); break;
      case ckSub: SetDisplayValue(FirstOperand - v); break;
      case ckAdd: SetDisplayValue(FirstOperand + v); break;
      default: break;
    }
    if (CalcState == cstError) return;
  }
  PendingKey = Key;
  if (!TryDisplayValue(FirstOperand)) return;
  if ((Key == ckPercent || Key == ckEquals) && OnResultShown) OnResultShown(this);
}

void TcxCustomCalculator::MemoryKey(TcxCalcKey Key) {
  Extended v = 0;
  switch (Key) {
    case ckMemClear: MemoryValue = 0; break;
    case ckMemRecall:
      CalcState = cstReady;
      StartEntry();
      SetDisplayValue(MemoryValue);
      return;
    case ckMemStore:
    case ckMemAdd:
      CalcState = cstReady;
      if (!TryDisplayValue(v)) return;
      MemoryValue = Key == ckMemStore ? v : MemoryValue + v;
      break;
    default: return;
  }
  UpdateMemoryKeys();
  InvalidateKey(ckMemClear);
  InvalidateKey(ckMemRecall);
}

void TcxCustomCalculator::StartEntry() {
  if (CalcState != cstReady) return;
  CalcState = cstEntered;
  WriteDisplay("0");
}

void TcxCustomCalculator::ClearCalc() {
  CalcState = cstReady;
  SetDisplayValue(0);
  PendingKey = ckEquals;
}

void TcxCustomCalculator::ShowCalcError() {
  CalcState = cstError;
  WriteDisplay(ErrorText());
  if (ErrorBeep) MessageBeep(0);
}

bool TcxCustomCalculator::TryDisplayValue(Extended& Value) {
  Value = 0;
  if (CalcState == cstError) return true;
  String s = Trim(DisplayText());
  if (s.empty()) s.push_back('0');
  RemoveAll(s, String(1, FormatSettings().ThousandSeparator));
  if (TryStrToFloat(s, Value) && Representable(Value)) return true;
  Value = 0;
  ShowCalcError();
  return false;
}

Extended TcxCustomCalculator::GetDisplayValue() {
  Extended v;
  TryDisplayValue(v);
  return v;
}

void TcxCustomCalculator::SetDisplayValue(Extended X) {
  if (!Representable(X)) return ShowCalcError();
  const int digits = std::min(18, std::max<int>(2, CalcPrecision));
  const String text = FloatToStrF(X, ffGeneral, digits, 0);
  if (text == DisplayText()) return;
  WriteDisplay(text);
  if (OnDisplayChanged) OnDisplayChanged(this);
}

void TcxCustomCalculator::CopyDisplay() { Clipboard()->SetAsText(DisplayText()); }

void TcxCustomCalculator::PasteDisplay() {
  if (!Clipboard()->HasFormat(CF_TEXT)) return;
  String s = Clipboard()->AsText();
  RemoveAll(s, FormatSettings().CurrencyString);
  Extended v;
  // A text that is no number leaves the display as it was: pasting must not wipe an amount.
  if (!TryStrToFloat(Trim(s), v) || !Representable(v)) {
    if (ErrorBeep) MessageBeep(0);
    return;
  }
  SetDisplayValue(v);
  CalcState = cstEntered;
}

// ---------------------------------------------------------------- keys

TcxCalcKey TcxCustomCalculator::KeyOfChar(Char C) {
  switch (C) {
    case 8: return ckBack;
    case '%': return ckPercent;
    case '*': return ckMul;
    case '+': return ckAdd;
    case ',':
    case '.': return ckDecimal;
    case '-': return ckSub;
    case '/': return ckDiv;
    case '=': return ckEquals;
    case '@': return ckSqrt;
    default: return C >= '0' && C <= '9' ? TcxCalcKey(ck0 + (C - '0')) : ckNone;
  }
}

TcxCalcKey TcxCustomCalculator::KeyOfVirtualKey(Word Key, TShiftState Shift) {
  const bool ctrl = Shift.Contains(ssCtrl);
  switch (Key) {
    case VK_RETURN: return ckEquals;
    case VK_ESCAPE: return ckClear;
    case VK_DELETE: return ckClearEntry;
    case 'C': return ctrl ? ckNone : ckClear;
    case 'L': return ctrl ? ckMemClear : ckNone;
    case 'M': return ctrl ? ckMemStore : ckNone;
    case 'P': return ctrl ? ckMemAdd : ckNone;
    case 'R': return ctrl ? ckMemRecall : ckRecip;
    case VK_F9: return ckSign;
    default: return ckNone;
  }
}

void TcxCustomCalculator::PressKeyDown(TcxCalcKey Key) {
  if (Key >= ckNone) return;
  Keys[Key].Down = true;
  InvalidateKey(Key);
  Update();
  if (Key != ckBack) ExecuteKey(Key);
}

void TcxCustomCalculator::ReleaseKeyDown(TcxCalcKey Key) {
  if (Key >= ckNone) return;
  Keys[Key].Down = false;
  InvalidateKey(Key);
  KeyDownKey = ckNone;
  Update();
}

void TcxCustomCalculator::KeyDown(Word& Key, TShiftState Shift) {
  TcxControl::KeyDown(Key, Shift);
  const TcxCalcKey k = KeyOfVirtualKey(Key, Shift);
  if (k == ckNone || k == KeyDownKey) return;
  ReleaseKeyDown(KeyDownKey);
  KeyDownKey = k;
  PressKeyDown(k);
}

void TcxCustomCalculator::KeyPress(Char& Key) {
  TcxControl::KeyPress(Key);
  if (Key == 22) PasteDisplay();
  else if (Key == 3) CopyDisplay();
  const TcxCalcKey k = KeyOfChar(Key);
  if (k != ckNone && k != KeyDownKey) {
    ReleaseKeyDown(KeyDownKey);
    KeyDownKey = k;
    PressKeyDown(k);
  }
  // Back acts on every character the keyboard repeats; the other keys once per press.
  if (KeyDownKey == ckBack) ExecuteKey(ckBack);
}

void TcxCustomCalculator::KeyUp(Word& Key, TShiftState Shift) {
  TcxControl::KeyUp(Key, Shift);
  ReleaseKeyDown(KeyDownKey);
}

// ---------------------------------------------------------------- mouse

bool TcxCustomCalculator::FocusesOnClick() { return !EmbeddedInPopup && TcxControl::FocusesOnClick(); }

void TcxCustomCalculator::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!IsInDesigner() && !EmbeddedInPopup && (CanFocusNow() || !GetParentForm(this)) && !Focused()) SetFocus();
  if (Button == mbLeft) {
    const TcxCalcKey k = KeyAt(X, Y);
    if (k != ckNone && !Keys[k].Grayed) {
      SetMouseCapture(true);
      MouseTracking = true;
      MouseDownKey = k;
      TrackMouse(X, Y);
    }
  }
  TcxControl::MouseDown(Button, Shift, X, Y);
}

void TcxCustomCalculator::TrackMouse(int X, int Y) {
  TcxCalcKeyRec& k = Keys[MouseDownKey];
  const bool down = KeyAt(X, Y) == MouseDownKey;
  if (k.Down == down) return;
  k.Down = down;
  InvalidateKey(MouseDownKey);
}

bool TcxCustomCalculator::HotTracking() {
  return GetKeyPainter()->HotTracksButtons() && Enabled() && !Dragging();
}

void TcxCustomCalculator::MouseMove(TShiftState Shift, int X, int Y) {
  if (MouseTracking && MouseDownKey != ckNone) {
    TrackMouse(X, Y);
  } else if (HotTracking()) {
    const TcxCalcKey k = KeyAt(X, Y);
    if (k != HotKeyIndex) {
      const TcxCalcKey old = HotKeyIndex;
      HotKeyIndex = k;
      if (old != ckNone && !Keys[old].Grayed) InvalidateKey(old);
      if (k != ckNone && !Keys[k].Grayed) InvalidateKey(k);
    }
  }
  TcxControl::MouseMove(Shift, X, Y);
}

void TcxCustomCalculator::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  const TcxCalcKey held = MouseDownKey;
  if (held != ckNone && Keys[held].Down) {
    Keys[held].Down = false;
    InvalidateKey(held);
  }
  const bool wasDown = MouseTracking && held != ckNone && KeyAt(X, Y) == held;
  if (MouseTracking) {
    SetMouseCapture(false);
    MouseTracking = false;
  }
  MouseDownKey = ckNone;
  if (wasDown && Button == mbLeft) ExecuteKey(held);
  TcxControl::MouseUp(Button, Shift, X, Y);
}

void TcxCustomCalculator::HandleMouseLeave(TControl* AControl) {
  TcxControl::HandleMouseLeave(AControl);
  if (!HotTracking()) return;
  InvalidateKey(HotKeyIndex);
  HotKeyIndex = ckNone;
}

void TcxCustomCalculator::HandleFocusChange() {
  TcxControl::HandleFocusChange();
  InvalidateKey(ckEquals);
}

void TcxCustomCalculator::HandleFontChange() {
  if (!IsLoading()) SetParentFont(false);
  TcxControl::HandleFontChange();
}

void TcxCustomCalculator::Dispatch(TMessage& Message) {
  TcxControl::Dispatch(Message);
  if (Message.Msg == CM_ENABLEDCHANGED) Invalidate();
}

// ---------------------------------------------------------------- painting

void TcxCustomCalculator::CreateParams(TCreateParams& Params) {
  TcxControl::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN | WS_TABSTOP;
  if (EmbeddedInPopup) {
    Params.Style &= ~WS_BORDER;
  } else if (CalcBorder == 1) {
    if (Ctl3D()) {
      Params.ExStyle |= WS_EX_CLIENTEDGE;
      Params.Style &= ~WS_BORDER;
    } else {
      Params.Style |= WS_BORDER;
    }
  }
}

void TcxCustomCalculator::InvalidateKey(TcxCalcKey Key) {
  if (Key < ckNone && HandleAllocated()) InvalidateArea(Keys[Key].Bounds, false);
}

void TcxCustomCalculator::Paint() {
  TcxCanvas* c = cxCanvas();
  c->Brush()->SetColor(Color());
  c->FillArea(ClientRect());
  c->Font()->Assign(Font());
  if (FFitFontToButtons) {
    c->Font()->SetSize(KeyFontSize);
    c->Font()->SetStyle(KeyFontSize >= 10 ? TFontStyles{fsBold} : TFontStyles{});
  }
  std::unique_ptr<TcxRegion> clip(c->ReadClipRegion());
  const TRect area = clip->BoundsRect();
  TcxLookAndFeelPainterClass painter = GetKeyPainter();
  for (const TcxCalcKeyRec& k : Keys) {
    TRect dummy;
    if (IntersectRect(dummy, k.Bounds, area)) PaintKey(c, k, painter);
  }
}

void TcxCustomCalculator::PaintKey(TcxCanvas* C, const TcxCalcKeyRec& Key, TcxLookAndFeelPainterClass Painter) {
  const bool focused = Focused();
  TcxPainterButtonState state = pbsNormal;
  if (Key.Grayed || !Enabled()) state = pbsDisabled;
  else if (Key.Down) state = pbsPressed;
  else if (Key.Kind == HotKeyIndex && Key.Kind != MouseDownKey) state = pbsHot;
  else if (Key.Kind == ckEquals && focused) state = pbsDefault;
  Painter->PaintButton(C, Key.Bounds, "", state, true, clcxDefault, clcxDefault);
  TRect r = Key.Bounds;
  if (state == pbsPressed) OffsetRect(r, Painter->PressedTextShift(), Painter->PressedTextShift());
  C->Font()->SetColor(Key.Color);
  C->Brush()->SetStyle(bsClear);
  C->OutputText(Key.Caption, r, txAlignHCenter | txAlignVCenter | txSingleLine | txShowPrefix,
                state != pbsDisabled);
  C->Brush()->SetStyle(bsSolid);
  if (FocusFrameOnEquals && focused && Key.Kind == ckEquals) {
    TRect f = Key.Bounds;
    InflateRect(f, -3, -3);
    C->DrawFocusMarker(f);
  }
}
