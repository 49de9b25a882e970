#include "report/frxView.h"

#include "core/ClassBuilder.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "gui/Canvas.h"
#include "gui/GdiDC.h"
#include "report/frxUtils.h"
#include "report/frxXML.h"
#include "report/frxKind.h"

#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

// Target pixels stay within what drawing functions take, whatever a scale or a bound says.
int Pixel(Extended v) {
  if (!(v > INT_MIN / 2)) return INT_MIN / 2;
  if (!(v < INT_MAX / 2)) return INT_MAX / 2;
  return static_cast<int>(std::lround(static_cast<double>(v)));
}

String Float(Extended v) {
  static const TFormatSettings fs = [] {
    TFormatSettings f;
    f.DecimalSeparator = '.';
    return f;
  }();
  return FloatToStr(v, fs);
}

bool Differ(Extended a, Extended b) { return std::fabs(static_cast<double>(a - b)) > 0.0001; }

void Attr(String& Out, const char* Name, const String& Value) {
  Out += ' ';
  Out += Name;
  Out += "=\"";
  Out += Value;
  Out += '"';
}

}  // namespace

String FrameDiffAttributes(const TfrxFrame* Frame, const TfrxFrame* Reference) {
  String r;
  if (Frame->Color() != Reference->Color()) Attr(r, "Frame.Color", IntToStr(Frame->Color()));
  if (Frame->DropShadow() != Reference->DropShadow()) Attr(r, "Frame.DropShadow", Frame->DropShadow() ? "1" : "0");
  if (Frame->ShadowColor() != Reference->ShadowColor()) Attr(r, "Frame.ShadowColor", IntToStr(Frame->ShadowColor()));
  if (Differ(Frame->ShadowWidth(), Reference->ShadowWidth())) Attr(r, "Frame.ShadowWidth", Float(Frame->ShadowWidth()));
  if (Frame->Style() != Reference->Style()) Attr(r, "Frame.Style", IntToStr(Frame->Style()));
  if (Frame->Typ() != Reference->Typ()) Attr(r, "Frame.Typ", IntToStr(static_cast<Int64>(Frame->Typ().Bits())));
  if (Differ(Frame->Width(), Reference->Width())) Attr(r, "Frame.Width", Float(Frame->Width()));
  return r;
}

// ================================================================ TfrxView

KELM_PUBLISH(TfrxView) { Published(b); }

TfrxView::TfrxView(TComponent* AOwner) : TfrxReportComponent(AOwner), FFrame(std::make_unique<TfrxFrame>()) {
  SetStoreFullAttributes(true);
}

TfrxView::~TfrxView() = default;

void TfrxView::SetDataSet(TfrxDataSet* Value) {
  AssignReference<TfrxDataSet>(this, FDataSet, Value);
  FDataSetName = Value ? Value->UserName() : String();
}

String TfrxView::DataSetName() const { return FDataSet ? FDataSet->UserName() : FDataSetName; }

void TfrxView::SetDataSetName(const String& Value) {
  FDataSetName = Value;
  if (Value.empty()) {
    AssignReference<TfrxDataSet>(this, FDataSet, nullptr);
    return;
  }
  TfrxReport* report = FindParentReport();
  if (!report) return;
  if (TfrxDataSet* ds = TfrxDataSet::FindByUserName(nullptr, Value, report)) AssignReference<TfrxDataSet>(this, FDataSet, ds);
}

void TfrxView::Notification(TComponent* AComponent, TOperation Operation) {
  TfrxReportComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDataSet) FDataSet = nullptr;
}

void TfrxView::PrepareDrawing(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY) {
  FCanvas = Canvas;
  FScaleX = ScaleX;
  FScaleY = ScaleY;
  FOffsetX = OffsetX;
  FOffsetY = OffsetY;
  Extended l = AbsLeft(), t = AbsTop();
  FX = Pixel(l * ScaleX + OffsetX);
  FY = Pixel(t * ScaleY + OffsetY);
  FX1 = Pixel((l + Width()) * ScaleX + OffsetX);
  FY1 = Pixel((t + Height()) * ScaleY + OffsetY);
  if (FFrame->DropShadow()) {
    FX1 -= Pixel(FFrame->ShadowWidth() * ScaleX);
    FY1 -= Pixel(FFrame->ShadowWidth() * ScaleY);
  }
  FFrameWidth = Pixel(FFrame->Width() * ScaleX);
}

void TfrxView::PaintBackground() {
  if (!FCanvas) return;
  if (FColor != clNone) {
    FCanvas->Brush()->SetStyle(bsSolid);
    FCanvas->Brush()->SetColor(FColor);
    FCanvas->FillRect(TRect{FX, FY, FX1, FY1});
  }
  // A hatch over the background; bsClear names no hatch and draws nothing.
  if (FBrushStyle != bsSolid && FBrushStyle != bsClear) {
    HBRUSH hatch = CreateHatchBrush(static_cast<int>(FBrushStyle) - 2, ColorToRGB(FFrame->Color()));
    HDC dc = FCanvas->Handle();
    HGDIOBJ old = SelectObject(dc, hatch);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    ::Rectangle(dc, FX, FY, FX1 + 1, FY1 + 1);
    SelectObject(dc, oldPen);
    SelectObject(dc, old);
    DeleteObject(hatch);
  }
}

void TfrxView::DrawWideLine(int X1, int Y1, int X2, int Y2, int Width) {
  if (!FCanvas) return;
  if (Width == 0) Width = 1;
  int h = Width / 2;
  int e = Width % 2 == 0 ? 1 : 0;
  bool horizontal = std::abs(X2 - X1) > std::abs(Y2 - Y1);
  for (int k = -h; k <= h - e; ++k) {
    if (horizontal) {
      FCanvas->MoveTo(X1, Y1 + k);
      FCanvas->LineTo(X2, Y2 + k);
    } else {
      FCanvas->MoveTo(X1 + k, Y1);
      FCanvas->LineTo(X2 + k, Y2);
    }
  }
}

void TfrxView::PaintFrame() {
  if (!FCanvas) return;
  if (FFrame->DropShadow()) {
    FCanvas->Pen()->SetStyle(psSolid);
    FCanvas->Pen()->SetWidth(1);
    FCanvas->Pen()->SetColor(FFrame->ShadowColor());
    int d = Pixel(FFrame->ShadowWidth() * FScaleX);
    DrawWideLine(FX1 + d / 2, FY + d, FX1 + d / 2, FY1, d);
    int e = Pixel(FFrame->ShadowWidth() * FScaleY);
    DrawWideLine(FX + e, FY1 + e / 2, FX1 + e, FY1 + e / 2, e);
  }
  if (FFrame->Typ().Bits() == 0 || FFrame->Color() == clNone || FFrame->Width() == 0) return;
  TfrxFrameStyle style = FFrame->Style();
  FCanvas->Pen()->SetColor(FFrame->Color());
  if (style == fsSolid || style == fsDouble) {
    FCanvas->Pen()->SetStyle(psSolid);
    FCanvas->Pen()->SetWidth(FFrameWidth);
  } else {
    FCanvas->Pen()->SetStyle(static_cast<TPenStyle>(style));  // fsDash .. fsDashDotDot match psDash .. psDashDotDot
    FCanvas->Pen()->SetWidth(1);
  }
  FCanvas->Brush()->SetStyle(bsSolid);
  if (style != fsSolid) {
    if (FColor == clNone) FCanvas->Brush()->SetStyle(bsClear);
    else FCanvas->Brush()->SetColor(FColor);
  }
  if (style == fsSolid && FFrame->Typ() == TfrxFrameTypes{ftLeft, ftRight, ftTop, ftBottom}) {
    // A whole solid frame is one closed line: the same pixels as its four sides (each side's
    // last pixel is the next one's first), drawn as one stroke.
    FCanvas->Polyline({{FX, FY}, {FX1, FY}, {FX1, FY1}, {FX, FY1}, {FX, FY}});
    return;
  }
  const TfrxFrameType sides[] = {ftLeft, ftRight, ftTop, ftBottom};
  for (int s = 0; s < 4; ++s)
    if (FFrame->Typ().Contains(sides[s])) PaintSide(s);
}

void TfrxView::PaintSide(int Side) {
  int w = FFrameWidth;
  int x1, y1, x2, y2;
  switch (Side) {
    case 0: x1 = FX; y1 = FY; x2 = FX; y2 = FY1; break;
    case 1: x1 = FX1; y1 = FY; x2 = FX1; y2 = FY1; break;
    case 2: x1 = FX; y1 = FY; x2 = FX1; y2 = FY; break;
    default: x1 = FX; y1 = FY1; x2 = FX1 + (w == 1 ? 1 : 0); y2 = FY1; break;
  }
  auto segment = [&](int ax, int ay, int bx, int by) {
    FCanvas->MoveTo(ax, ay);
    FCanvas->LineTo(bx, by);
  };
  switch (FFrame->Style()) {
    case fsSolid: segment(x1, y1, x2, y2); return;
    case fsDouble: break;
    default: DrawWideLine(x1, y1, x2, y2, w); return;
  }
  // Double: w outside, on the edge in the background colour, w inside. The outer line grows
  // by w at an end whose neighbouring side is drawn, the inner one shrinks there.
  bool vertical = Side < 2;
  TfrxFrameTypes typ = FFrame->Typ();
  bool startJoined = vertical ? typ.Contains(ftTop) : typ.Contains(ftLeft);
  bool endJoined = vertical ? typ.Contains(ftBottom) : typ.Contains(ftRight);
  int out = Side == 0 || Side == 2 ? -w : w;  // away from the object
  auto line = [&](int offset, int grow) {
    int a = startJoined ? grow : 0, b = endJoined ? grow : 0;
    if (vertical) segment(x1 + offset, y1 - a, x2 + offset, y2 + b);
    else segment(x1 - a, y1 + offset, x2 + b, y2 + offset);
  };
  line(out, w);
  if (FColor != clNone) {
    TColor pen = FCanvas->Pen()->Color();
    FCanvas->Pen()->SetColor(FColor);
    line(0, 0);
    FCanvas->Pen()->SetColor(pen);
  }
  line(-out, -w);
}

void TfrxView::DrawOnCanvas(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY) {
  PrepareDrawing(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
  PaintBackground();
  PaintFrame();
}

String TfrxView::Expand(const String& Text) {
  if (Text.find('[') == String::npos) return Text;
  TfrxReport* report = FindParentReport();
  // Positions in UTF-16 code units, so characters of any width count as one step.
  WideString s = Utf8ToUtf16(Text);
  std::size_t i = 0;
  while (i < s.size()) {
    if (s[i] != u'[') {
      ++i;
      continue;
    }
    int start = static_cast<int>(i) + 1, end = 0;
    WideString expression;
    ScanBracketedExpressionW(s, u"[", u"]", start, end, expression);
    // An opening bracket without its closing one leaves the rest of the text as it is.
    bool closed = std::size_t(start) + expression.size() + 1 == std::size_t(end) && s[std::size_t(end) - 1] == u']';
    if (!closed) break;
    WideString value = Utf8ToUtf16(report ? VarToStr(report->Calc(Utf16ToUtf8(expression))) : String());
    s = s.substr(0, i) + value + s.substr(static_cast<std::size_t>(end));  // end: the closing bracket, 1-based
    i += value.size();
  }
  return Utf16ToUtf8(s);
}

void TfrxView::FetchData() {
  FTagStr = Expand(FTagStr);
  FURL = Expand(FURL);
}

void TfrxView::SaveStateForPrint() {
  TfrxReportComponent::SaveStateForPrint();
  FSavedTagStr = FTagStr;
  FSavedURL = FURL;
}

void TfrxView::RestoreStateAfterPrint() {
  TfrxReportComponent::RestoreStateAfterPrint();
  FTagStr = FSavedTagStr;
  FURL = FSavedURL;
}

String TfrxView::DiffAttributes(TfrxComponent* Reference) {
  String r = TfrxReportComponent::DiffAttributes(Reference);
  auto* ref = KindOf<TfrxView>(Reference);
  if (!ref) return r;
  if (FBrushStyle != ref->FBrushStyle) Attr(r, "BrushStyle", IntToStr(FBrushStyle));
  if (FAlign != ref->FAlign) Attr(r, "Align", IntToStr(FAlign));
  if (FColor != ref->FColor) Attr(r, "Color", IntToStr(FColor));
  r += FrameDiffAttributes(FFrame.get(), ref->FFrame.get());
  if (FCursor != ref->FCursor) Attr(r, "Cursor", IntToStr(FCursor));
  if (FPrintable != ref->FPrintable) Attr(r, "Printable", FPrintable ? "1" : "0");
  if (FTagStr != ref->FTagStr) Attr(r, "TagStr", XMLEscapeText(FTagStr));
  if (FURL != ref->FURL) Attr(r, "URL", XMLEscapeText(FURL));
  return r;
}

// ================================================================ highlight and format

KELM_PUBLISH(TfrxHighlight) { Published(b); }

TfrxHighlight::TfrxHighlight() : FFont(std::make_unique<TFont>()) {
  FFont->SetName("Arial");
  FFont->SetSize(10);
  FFont->SetColor(clRed);
  FFont->SetCharset(DefaultCharset);
}

TfrxHighlight::~TfrxHighlight() = default;

void TfrxHighlight::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TfrxHighlight*>(Source);
  if (!s) return;
  FFont->Assign(s->FFont.get());
  FColor = s->FColor;
  FCondition = s->FCondition;
}

KELM_PUBLISH(TfrxFormat) { Published(b); }

void TfrxFormat::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TfrxFormat*>(Source);
  if (!s) return;
  FDecimalSeparator = s->FDecimalSeparator;
  FFormatStr = s->FFormatStr;
  FKind = s->FKind;
}

KELM_PUBLISH(TfrxStretcheable) { Published(b); }
