#include "report/frxMemoView.h"

#include "core/ClassBuilder.h"
#include "core/DateUtils.h"
#include "core/FloatFormat.h"
#include "core/Format.h"
#include "core/FormatSettings.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "gui/Canvas.h"
#include "report/frxRes.h"
#include "report/frxUtils.h"
#include "report/frxXML.h"
#include "report/frxKind.h"

#include <algorithm>
#include <cmath>

namespace {

int RoundPx(Extended v) { return static_cast<int>(std::lround(static_cast<double>(v))); }

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

String TypeName(const char* Key, const char* Fallback) {
  String t = ReportResources()->TextOf(Key);
  return t == Key ? String(Fallback) : t;
}

// The lines as one text without the line break after the last.
String JoinedText(const TWideStrings* Lines) {
  String t = Lines->Text();
  if (t.size() >= 2 && t.compare(t.size() - 2, 2, "\r\n") == 0) t.resize(t.size() - 2);
  else if (!t.empty() && t.back() == '\n') t.pop_back();
  return t;
}

bool IsZero(const Variant& v) {
  if (VarIsNull(v) || VarIsEmpty(v) || VarIsStr(v)) return false;
  return VariantsEqual(v, Variant(0));
}

// Replaces every occurrence of Token (ASCII case ignored) in Text.
String ReplaceAllNoCase(const String& Text, const String& Token, const String& By) {
  String upper = UpperCase(Text), token = UpperCase(Token), out;
  std::size_t from = 0;
  for (std::size_t p; (p = upper.find(token, from)) != String::npos; from = p + token.size()) {
    out.append(Text, from, p - from);
    out += By;
  }
  out.append(Text, from, String::npos);
  return out;
}

const char* const kTotalPagesToken = "[TotalPages#]";

}  // namespace

// ================================================================ TfrxCustomMemoView

KELM_PUBLISH(TfrxCustomMemoView) {}

TfrxCustomMemoView::TfrxCustomMemoView(TComponent* AOwner)
    : TfrxStretcheable(AOwner),
      FDisplayFormat(std::make_unique<TfrxFormat>()),
      FHighlight(std::make_unique<TfrxHighlight>()),
      FMemo(std::make_unique<TWideStrings>()) {
  SetStoreFullAttributes(false);
}

TfrxCustomMemoView::~TfrxCustomMemoView() = default;

void TfrxCustomMemoView::SetFlowTo(TfrxCustomMemoView* Value) {
  if (FFlowTo == Value) return;
  if (FFlowTo) FFlowTo->RemoveFreeNotification(this);
  FFlowTo = Value;
  if (FFlowTo) FFlowTo->FreeNotification(this);
}

void TfrxCustomMemoView::Notification(TComponent* AComponent, TOperation Operation) {
  TfrxStretcheable::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFlowTo) FFlowTo = nullptr;
}

bool TfrxCustomMemoView::HighlightStored() const { return !Trim(FHighlight->Condition()).empty(); }

void TfrxCustomMemoView::SetStyle(const String& Value) {
  FStyle = Value;
  TfrxReport* report = FindParentReport();
  if (report && report->Styles()) CopyStyleItem(report->Styles()->FindByName(Value));
}

void TfrxCustomMemoView::CopyStyleItem(TfrxStyleItem* Item) {
  if (!Item) return;
  SetColor(Item->Color());
  SetFont(Item->Font());
  Frame()->Assign(Item->Frame());
}

String TfrxCustomMemoView::Text() const { return JoinedText(FMemo.get()); }
void TfrxCustomMemoView::SetText(const String& Value) { FMemo->SetText(Value); }
WideString TfrxCustomMemoView::ObjectText() const { return Utf8ToUtf16(FMemo->Text()); }
void TfrxCustomMemoView::SetObjectText(const WideString& Value) { FMemo->SetText(Utf16ToUtf8(Value)); }

String TfrxCustomMemoView::DisplayTypeName() const { return TypeName("obText", "Text object"); }
String TfrxSysMemoView::DisplayTypeName() const { return TypeName("obSysText", "System text"); }

KELM_PUBLISH(TfrxMemoView) { Published(b); }
KELM_PUBLISH(TfrxSysMemoView) { Published(b); }

TfrxDrawText& TfrxCustomMemoView::DrawTextEngine() const {
  TfrxReport* report = FindParentReport();
  return report ? report->DrawTextEngine() : SharedDrawText();
}

// ---------------------------------------------------------------- geometry

void TfrxCustomMemoView::PrepareDrawing(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX,
                                        Extended OffsetY) {
  TfrxStretcheable::PrepareDrawing(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
  Extended w = Frame()->Width();
  TfrxFrameTypes typ = Frame()->Typ();
  int gx = RoundPx(FGapX * ScaleX), gy = RoundPx(FGapY * ScaleY);
  FTextRect.Left = PixelLeft() + (typ.Contains(ftLeft) ? RoundPx((w * ScaleX - 1) / 2) : 0) + gx;
  FTextRect.Top = PixelTop() + (typ.Contains(ftTop) ? RoundPx((w * ScaleY - 1) / 2) : 0) + gy;
  FTextRect.Right = PixelRight() - (typ.Contains(ftRight) ? RoundPx(w * ScaleX / 2) : 0) - gx + 1;
  FTextRect.Bottom = PixelBottom() - (typ.Contains(ftBottom) ? RoundPx(w * ScaleY / 2) : 0) - gy + 1;
}

Extended TfrxCustomMemoView::HorizontalAllowance() const {
  Extended w = Frame()->Width(), r = 2 * FGapX;
  if (Frame()->Typ().Contains(ftLeft)) r += (w - 1) / 2;
  if (Frame()->Typ().Contains(ftRight)) r += w / 2;
  if (Frame()->DropShadow()) r += Frame()->ShadowWidth();
  return r;
}

Extended TfrxCustomMemoView::VerticalAllowance() const {
  Extended w = Frame()->Width(), r = 2 * FGapY;
  if (Frame()->Typ().Contains(ftTop)) r += (w - 1) / 2;
  if (Frame()->Typ().Contains(ftBottom)) r += w / 2;
  if (Frame()->DropShadow()) r += Frame()->ShadowWidth();
  return r;
}

void TfrxCustomMemoView::SetUpLayout(TfrxDrawText& D) {
  if (FHighlight->Active()) {
    D.AssignFont(FHighlight->Font());
  } else {
    D.AssignFont(Font());
  }
  D.SetLayoutOptions(FWordWrap, FAllowHTMLTags, FRotation, FClipped, FWordBreak, FRTLReading);
  D.SetSpacing(FLineSpacing, FCharSpacing, FParagraphGap);
}

void TfrxCustomMemoView::PrepareTextLayout(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX,
                                           Extended OffsetY, bool ToFit) {
  TfrxDrawText& D = DrawTextEngine();
  SetUpLayout(D);
  if (FHighlight->Active()) SetColor(FHighlight->Color());
  if (!IsDesigning() && FAutoWidth) {
    TRect big{0, 0, 10000, 10000};
    D.SetRects(big, big, 1, 1);
    D.LayoutText(FMemo.get());
    Extended old = Width(), now = D.LayoutWidth() + HorizontalAllowance();
    SetWidth(now);
    if (FHAlign == haRight) SetLeft(Left() + old - now);
    else if (FHAlign == haCenter) SetLeft(Left() + (old - now) / 2);
    if (Parent()) Parent()->ArrangeAlignedChildren();
  }
  PrepareDrawing(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
  TRect target = FTextRect;
  PrepareDrawing(nullptr, 1, 1, 0, 0);
  TRect own = FTextRect;
  // The view keeps the target's geometry for drawing background and frame.
  PrepareDrawing(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
  D.SetRects(own, target, ScaleX, ScaleY);
  D.SetLayoutToFit(ToFit);
  TScopeExit whole([&] { D.SetLayoutToFit(false); });
  D.LayoutText(FMemo.get());
}

// ---------------------------------------------------------------- measuring

Extended TfrxCustomMemoView::CalcHeight() {
  TfrxDrawText& D = DrawTextEngine();
  D.Acquire();
  TScopeExit release([&] { D.Release(); });
  SetUpLayout(D);
  if (FAutoWidth) {
    TRect big{0, 0, 10000, 10000};
    D.SetRects(big, big, 1, 1);
  } else {
    PrepareDrawing(nullptr, 1, 1, 0, 0);
    D.SetRects(FTextRect, FTextRect, 1, 1);
  }
  D.LayoutText(FMemo.get());
  return RoundPx(D.LayoutHeight() + VerticalAllowance());
}

Extended TfrxCustomMemoView::CalcWidth() {
  TfrxDrawText& D = DrawTextEngine();
  D.Acquire();
  TScopeExit release([&] { D.Release(); });
  SetUpLayout(D);
  TRect big{0, 0, 10000, 10000};
  D.SetRects(big, big, 1, 1);
  D.LayoutText(FMemo.get());
  return RoundPx(D.LayoutWidth() + HorizontalAllowance());
}

// ---------------------------------------------------------------- splitting across pages

void TfrxCustomMemoView::ResetPart() { FPartText = Utf8ToUtf16(FMemo->Text()); }

Extended TfrxCustomMemoView::FitPart() {
  // A highlight colours the object only while it is split or drawn.
  TScopeExit color([this, saved = Color()] { SetColor(saved); });
  TfrxDrawText& D = DrawTextEngine();
  D.Acquire();
  TScopeExit release([&] { D.Release(); });
  FMemo->SetText(Utf16ToUtf8(FPartText));
  PrepareTextLayout(nullptr, 1, 1, 0, 0, true);
  FPartText = Utf8ToUtf16(D.SplitOffOverflow());
  FMemo->SetText(D.FittingText());
  Extended unused = D.UnusedHeight();
  return unused == 0 ? Height() : unused;
}

// ---------------------------------------------------------------- drawing

String TfrxCustomMemoView::WithTotalPages(const String& Text) const {
  if (!FAllowExpressions || Text.find('[') == String::npos) return Text;
  return ReplaceAllNoCase(Text, kTotalPagesToken, IntToStr(FTotalPages));
}

void TfrxCustomMemoView::ReplaceTotalPages() {
  String text = FMemo->Text();
  String replaced = WithTotalPages(text);
  if (replaced != text) FMemo->SetText(replaced);
}

void TfrxCustomMemoView::DrawOnCanvas(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX,
                                      Extended OffsetY) {
  if (!IsDesigning()) {
    ReplaceTotalPages();
  } else if (HasDataBinding()) {
    FMemo->SetText("[" + DataSet()->UserName() + ".\"" + DataField() + "\"]");
  }
  // A highlight colours the object only while it is split or drawn.
  TScopeExit color([this, saved = Color()] { SetColor(saved); });
  TfrxDrawText& D = DrawTextEngine();
  D.Acquire();
  TScopeExit release([&] { D.Release(); });
  PrepareTextLayout(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
  TfrxStretcheable::DrawOnCanvas(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
  if (FUnderlines && FRotation == 0) DrawUnderlines();
  D.DrawLayout(Canvas, FHAlign, FVAlign);
}

void TfrxCustomMemoView::DrawUnderlines() {
  TCanvas* c = DrawCanvas();
  if (!c) return;
  c->Pen()->SetStyle(psSolid);
  c->Pen()->SetColor(Frame()->Color());
  c->Pen()->SetWidth(PixelFrameWidth());
  c->Pen()->SetMode(pmCopy);
  double step = double(DrawTextEngine().LineStep() * DrawScaleY());
  if (step <= 0) return;
  for (double y = PixelTop() + step; y < PixelBottom(); y += step) {
    c->MoveTo(PixelLeft(), int(std::lround(y)));
    c->LineTo(PixelRight(), int(std::lround(y)));
  }
}

// ---------------------------------------------------------------- filling

String TfrxCustomMemoView::FormatValue(const Variant& Value, TfrxFormat* Format) {
  if (VarIsNull(Value) || VarIsEmpty(Value)) return String();
  TfrxFormat* f = Format ? Format : FDisplayFormat.get();
  try {
    switch (f->Kind()) {
      case fkText: return VarToStr(Value);
      case fkNumeric: {
        const String& fs = f->FormatStr();
        Extended v = Value.AsDouble();
        String r = !fs.empty() && fs[0] == '#' ? FormatFloat(fs, v) : ::Format(fs, {v});
        const String& sep = f->DecimalSeparator();
        char own = FormatSettings().DecimalSeparator;
        if (sep.size() == 1 && sep[0] != own) std::replace(r.begin(), r.end(), own, sep[0]);
        return r;
      }
      case fkDateTime: return FormatDateTime(f->FormatStr(), Value.AsDateTime());
      case fkBoolean: {
        const String& fs = f->FormatStr();
        std::size_t comma = fs.find(',');
        String no = comma == String::npos ? fs : fs.substr(0, comma);
        String yes = comma == String::npos ? String() : fs.substr(comma + 1);
        return VariantsEqual(Value, Variant(true)) ? yes : no;
      }
    }
  } catch (const std::exception&) {
  }
  return VarToStr(Value);
}

String TfrxCustomMemoView::EvaluateExpressionText(const String& Expression) {
  String expression = Expression;
  std::unique_ptr<TfrxFormat> format;
  std::size_t hash = Expression.find(" #");
  if (hash != String::npos) {
    String suffix = Expression.substr(hash + 2);
    if (!suffix.empty() && suffix.find(')') == String::npos) {
      expression = Expression.substr(0, hash);
      format = std::make_unique<TfrxFormat>();
      switch (suffix[0]) {
        case 'B': case 'b': format->SetKind(fkBoolean); break;
        case 'D': case 'd': case 'T': case 't': format->SetKind(fkDateTime); break;
        case 'N': case 'n': {
          format->SetKind(fkNumeric);
          for (char& c : suffix)
            if (c == ',' || c == '-') {
              format->SetDecimalSeparator(String(1, c));
              c = '.';
            }
          break;
        }
        default: format->SetKind(fkText); break;
      }
      format->SetFormatStr(Copy(suffix, 2, 255));
    }
  }
  if (SameText(Trim(expression), "TOTALPAGES#")) {
    FValue = Variant(String(kTotalPagesToken));
  } else {
    TfrxReport* report = FindParentReport();
    if (!report) throw Exception("The text object " + Name() + " belongs to no report");
    FValue = report->Calc(expression);
  }
  if (FHideZeros && IsZero(FValue)) return String();
  return FormatValue(FValue, format.get());
}

void TfrxCustomMemoView::ExpandExpressions() {
  String delimiters = FExpressionDelimiters;
  std::size_t comma = delimiters.find(',');
  String open8 = comma == String::npos ? delimiters : delimiters.substr(0, comma);
  String close8 = comma == String::npos ? String() : delimiters.substr(comma + 1);
  auto ascii = [](const String& T) {
    for (char c : T)
      if (static_cast<unsigned char>(c) > 127) return false;
    return true;
  };
  if (ascii(open8) && ascii(close8)) {
    // The usual delimiters are ASCII: the UTF-8 text is scanned as it is, byte by byte, with
    // the same result as by character.
    ExpandExpressionsAscii(open8, Copy(close8, 1, 255));
    return;
  }
  WideString open = Utf8ToUtf16(open8);
  WideString close = Utf8ToUtf16(comma == String::npos ? String() : Copy(close8, 1, 255));
  WideString s = Utf8ToUtf16(FMemo->Text());
  if (open.empty() || close.empty() || s.find(open) == WideString::npos) return;
  std::size_t i = 0;  // 0-based
  for (;;) {
    std::size_t at = s.find(open, i);
    if (at == WideString::npos) break;
    int start = int(at) + 1, end = 0;
    WideString inner;
    ScanBracketedExpressionW(s, open, close, start, end, inner);
    // An opening delimiter without its closing one leaves the rest of the text as it is.
    bool closed = std::size_t(start - 1) + open.size() + inner.size() + close.size() == std::size_t(end) &&
                  s.compare(std::size_t(end) - close.size(), close.size(), close) == 0;
    if (!closed) break;
    if (inner.empty()) {
      i = std::size_t(end);
      continue;
    }
    WideString value = Utf8ToUtf16(EvaluateExpressionText(Utf16ToUtf8(inner)));
    s = s.substr(0, std::size_t(start - 1)) + value + s.substr(std::size_t(end));
    i = std::size_t(start - 1) + value.size();
  }
  FMemo->SetText(Utf16ToUtf8(s));
}

void TfrxCustomMemoView::ExpandExpressionsAscii(const String& Open, const String& Close) {
  String s = FMemo->Text();
  if (Open.empty() || Close.empty() || s.find(Open) == String::npos) return;
  std::size_t i = 0;  // 0-based
  for (;;) {
    std::size_t at = s.find(Open, i);
    if (at == String::npos) break;
    int start = int(at) + 1, end = 0;
    String inner;
    ScanBracketedExpressionAscii(s, Open, Close, start, end, inner);
    // An opening delimiter without its closing one leaves the rest of the text as it is.
    bool closed = std::size_t(start - 1) + Open.size() + inner.size() + Close.size() == std::size_t(end) &&
                  s.compare(std::size_t(end) - Close.size(), Close.size(), Close) == 0;
    if (!closed) break;
    if (inner.empty()) {
      i = std::size_t(end);
      continue;
    }
    String value = EvaluateExpressionText(inner);
    s.replace(std::size_t(start - 1), std::size_t(end) - std::size_t(start - 1), value);
    i = std::size_t(start - 1) + value.size();
  }
  FMemo->SetText(s);
}

void TfrxCustomMemoView::FetchData() {
  TfrxStretcheable::FetchData();
  TfrxReport* report = FindParentReport();
  if (HasDataBinding()) {
    TfrxDataSet* ds = DataSet();
    if (ds->IsBlobField(DataField())) {
      ds->CopyBlobTo(DataField(), FMemo.get());
    } else {
      FValue = ds->GetValue(DataField());
      String text = FDisplayFormat->Kind() != fkText ? FormatValue(FValue, nullptr)
                                                      : Utf16ToUtf8(ds->DisplayText(DataField()));
      if (FHideZeros && IsZero(FValue)) text.clear();
      FMemo->SetText(text);
    }
  } else if (FAllowExpressions) {
    ExpandExpressions();
  }
  // The report's script variable "Value" is set with the script binding.
  FHighlight->SetActive(false);
  if (!FHighlight->Condition().empty() && report) {
    Variant v = report->Calc(FHighlight->Condition());
    FHighlight->SetActive(VarIsOrdinal(v) || VarIsFloat(v) ? v.AsBoolean() : false);
  }
  if (FSuppressRepeated) {
    String text = FMemo->Text();
    if (!VarIsNull(FLastPrintedText) && VarToStr(FLastPrintedText) == text) FMemo->Clear();
    else FLastPrintedText = Variant(text);
  }
  if (FFlowTo) {
    ResetPart();
    FitPart();
    FFlowTo->SetText(Utf16ToUtf8(FPartText));
    FFlowTo->SetAllowExpressions(false);
  }
}

// ---------------------------------------------------------------- print state and values

void TfrxCustomMemoView::SaveStateForPrint() {
  TfrxStretcheable::SaveStateForPrint();
  FTextSaved = !HasDataBinding();
  if (FTextSaved) FSavedText = FMemo->Text();
}

void TfrxCustomMemoView::RestoreStateAfterPrint() {
  if (FTextSaved) FMemo->SetText(FSavedText);
  FTextSaved = false;
  TfrxStretcheable::RestoreStateAfterPrint();
}

String TfrxCustomMemoView::ComponentValueText() { return WithTotalPages(Text()); }

String TfrxCustomMemoView::DiffAttributes(TfrxComponent* Reference) {
  String r = TfrxStretcheable::DiffAttributes(Reference);
  auto* ref = KindOf<TfrxCustomMemoView>(Reference);
  if (!ref) return r;
  auto flag = [](bool v) { return String(v ? "1" : "0"); };
  if (FAutoWidth != ref->FAutoWidth) Attr(r, "AutoWidth", flag(FAutoWidth));
  if (Differ(FCharSpacing, ref->FCharSpacing)) Attr(r, "CharSpacing", Float(FCharSpacing));
  if (Differ(FGapX, ref->FGapX)) Attr(r, "GapX", Float(FGapX));
  if (Differ(FGapY, ref->FGapY)) Attr(r, "GapY", Float(FGapY));
  if (FHAlign != ref->FHAlign) Attr(r, "HAlign", IntToStr(int(FHAlign)));
  if (FHighlight->Active() != ref->FHighlight->Active()) Attr(r, "Highlight.Active", flag(FHighlight->Active()));
  if (Differ(FLineSpacing, ref->FLineSpacing)) Attr(r, "LineSpacing", Float(FLineSpacing));
  Attr(r, "u", XMLEscapeText(FMemo->Count() == 0 ? String() : Text()));
  if (Differ(FParagraphGap, ref->FParagraphGap)) Attr(r, "ParagraphGap", Float(FParagraphGap));
  if (FRotation != ref->FRotation) Attr(r, "Rotation", IntToStr(FRotation));
  if (FRTLReading != ref->FRTLReading) Attr(r, "RTLReading", flag(FRTLReading));
  if (FUnderlines != ref->FUnderlines) Attr(r, "Underlines", flag(FUnderlines));
  if (FVAlign != ref->FVAlign) Attr(r, "VAlign", IntToStr(int(FVAlign)));
  if (FWordWrap != ref->FWordWrap) Attr(r, "WordWrap", flag(FWordWrap));
  return r;
}
