// Views while a report runs: bracketed expressions expanded, the before-print hook and the
// object script, highlight and suppression of repeated values, the record written into the
// prepared page, the heights of stretchable objects and splitting a text over pages, and the
// hand-over to export filters.
#include "report_legacy/FR_Class.h"

#include "report_legacy/FR_Pars.h"
#include "report_legacy/FR_Utils.h"

#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/GraphicsObjects.h"

#include <algorithm>
#include <cmath>

using namespace frstream;

namespace {

constexpr char kMark = '\x01';

TCanvas* WorkCanvas() { return TfrGlobals::Instance()->WorkCanvas(); }
TfrReport* Report() { return frState().CurrentReport; }

void RunEventScript(TfrView* v) {
  if (v->EventScript.Count() > 0) TfrGlobals::Instance()->Interpretator->RunSource(&v->EventScript);
}

// The record's preamble: the type code and, for add-ins, the class name.
void WritePreamble(TStream* S, TfrView* v) {
  WriteByte(S, v->TypeCode);
  if (v->TypeCode == 10) WriteCountedString(S, v->AddInClassName);
}

void WriteRecord(TStream* S, TfrView* v) {
  WritePreamble(S, v);
  TRestore<bool> prepared(v->PreparedForm, true);
  v->WriteToStream(S);
}

// The before-print hook: when it leaves the text as it was, the text is expanded.
void PrepareText(TfrMemoView* m) {
  TfrReport* r = Report();
  m->ExpandedMemo.Assign(&m->Memo);
  if (r) {
    const String before = m->ExpandedMemo.Text();
    r->BeforePrint(&m->ExpandedMemo, m);
    if (m->ExpandedMemo.Text() != before) return;
  }
  m->ExpandMemo();
}

bool IsCrossBandKind(int k) { return k >= btCrossHeader && k <= btCrossFooter; }

// The highlight: a condition whose value is not 0 changes font and fill. Errors leave the
// object as it is.
void ApplyHighlight(TfrMemoView* m) {
  if (m->HighlightCondition.empty()) return;
  try {
    const Variant v = TfrGlobals::Instance()->Parser->Evaluate(m->HighlightCondition);
    if (VarIsNull(v) || VarIsEmpty(v) || v == Variant(0)) return;
    StyleFromStream(m->Font.get(), m->HighlightFontStyle);
    m->Font->SetColor(m->HighlightFontColor);
    m->FillColor = m->HighlightFillColor;
  } catch (const Exception&) {
  }
}

// Font and fill as they were before a highlight.
class TKeepLooks {
public:
  explicit TKeepLooks(TfrMemoView* m) : FView(m), FFill(m->FillColor) { FFont.Assign(m->Font.get()); }
  ~TKeepLooks() {
    FView->Font->Assign(&FFont);
    FView->FillColor = FFill;
  }

private:
  TfrMemoView* FView;
  TFont FFont;
  TColor FFill;
};

}  // namespace

// ================================================================ expansion

String ExpandBrackets(const String& Text) {
  String s = Text;
  TfrReport* r = Report();
  std::size_t from = 0;
  while (r && from < s.size()) {
    std::size_t start = from, finish = 0;
    const String inner = ReadBracketed(s, start, finish);
    if (start < from || finish >= s.size() || s[start] != '[') break;
    String value;
    r->GetValueText(inner, value);
    s.replace(start, finish - start + 1, value);
    from = start + value.size();
  }
  return s;
}

void TfrMemoView::ExpandMemo() {
  ExpandedMemo.Clear();
  TStringList parts;
  for (int i = 0; i < Memo.Count(); ++i) {
    const String line = (Flags & frmemo::TextOnly) ? Memo.Strings(i) : ExpandBrackets(Memo.Strings(i));
    // A value holding line breaks becomes several lines.
    if (line.empty()) {
      ExpandedMemo.Add("");
      continue;
    }
    parts.SetText(line);
    for (int k = 0; k < parts.Count(); ++k) ExpandedMemo.Add(parts.Strings(k));
  }
}

// ================================================================ output of views

void TfrView::EmitPrepared(TStream* Stream) {
  TfrReport* r = Report();
  BeginDraw(DrawCanvas);
  ExpandedMemo.Assign(&Memo);
  if (r) r->BeforePrint(&ExpandedMemo, this);
  RunEventScript(this);
  if (!IsVisible()) return;
  TRestore<String> tag(Tag);
  if (Tag.find('[') != String::npos) Tag = ExpandBrackets(Tag);
  if (TfrBand* band = frState().CurrentBand) {
    if (BandAlign == 5) Top = band->BandTop + band->BandHeight - Height;
    else if (BandAlign == 6) Top = band->BandTop;
    else if (BandAlign == 4 && IsCrossBandKind(band->Kind)) Width = band->BandWidth;
  }
  WriteRecord(Stream, this);
}

void TfrMemoView::EmitPrepared(TStream* Stream) {
  const int pass = LayoutPass;
  TScopeExit rest([this] { LayoutPass = 0; });
  BeginDraw(WorkCanvas());
  ClipToRect = true;
  if (pass == 0) {
    RunEventScript(this);
    PrepareText(this);
  }
  if (!IsVisible()) return;
  TKeepLooks looks(this);
  ApplyHighlight(this);
  TStringList all;
  if (pass == 2) {
    // Only the lines that fit in the object's height go out; the rest waits for the next page.
    all.Assign(&ExpandedMemo);
    StoreGeometry();
    DrawMemoText();
    TfrGlobals::Instance()->WrapList->Assign(&all);
    while (ExpandedMemo.Count() > LinesDrawn) ExpandedMemo.Delete(ExpandedMemo.Count() - 1);
    bool ended = false;
    for (int i = 0; i < ExpandedMemo.Count(); ++i) ended = ended || (!ExpandedMemo.Strings(i).empty() && ExpandedMemo.Strings(i).back() == kMark);
    if (!ended) ExpandedMemo.Add(String(1, kMark));
    RestoreGeometry();
  }
  TRestore<String> tag(Tag);
  if (Tag.find('[') != String::npos) {
    TRestore<int> code(FormatCode, 0);
    Tag = ExpandBrackets(Tag);
  }
  TRestore<Byte> align(BandAlign);
  if (TfrBand* band = frState().CurrentBand) {
    if (BandAlign == 5) {
      BandAlign = 0;
    } else if (BandAlign == 6) {
      Top = band->BandTop;
    } else if (BandAlign == 4 && IsCrossBandKind(band->Kind)) {
      Width = band->BandWidth;
      BandAlign = 0;
    }
  }
  const String text = ExpandedMemo.Text();
  const bool suppress = Flags & frmemo::Suppress;
  if (!suppress || text != LastPrintedText) {
    WriteRecord(Stream, this);
    if (suppress) LastPrintedText = text;
  }
  if (pass == 2) {
    ExpandedMemo.Assign(&all);
    for (int i = 0; i < LinesDrawn && ExpandedMemo.Count() > 0; ++i) ExpandedMemo.Delete(0);
  }
}

// ================================================================ heights

int TfrMemoView::CalcHeight() {
  LayoutPass = 1;
  BeginDraw(WorkCanvas());
  RunEventScript(this);
  if (!IsVisible()) return 0;
  PrepareText(this);
  TKeepLooks looks(this);
  ApplyHighlight(this);
  int result = 0;
  StoreGeometry();
  if (ExpandedMemo.Count() > 0) {
    WrapMemo();
    ExpandedMemo.Assign(TfrGlobals::Instance()->WrapList.get());
    result = WrappedExtent;
    const String text = ExpandedMemo.Text();
    if ((Flags & frmemo::Suppress) && text == LastPrintedText) result = 0;
    TfrReport* r = Report();
    if ((Flags & frmemo::Suppress) && r && r->TwoPass && !r->FinalPass) LastPrintedText = text;
  }
  RestoreGeometry();
  return result;
}

int TfrMemoView::OneLineHeight() {
  LineGap = LineSpacing - Font->Height();
  return frNear(2 * FrameWidth) + LineGap + 2 * GapY;
}

int TfrMemoView::LeftoverHeight() {
  LineGap = LineSpacing - Font->Height();
  const int frame = frNear(2 * FrameWidth);
  if (LineGap <= 0) return 2 * GapY + frame;
  return 2 * GapY + ((Height - frame - 2 * GapY) % LineGap) + frame;
}

// ================================================================ export filters

void TfrView::SendToExportFilter() {
  TfrReport* r = Report();
  if (r && r->CurrentFilter) r->CurrentFilter->OnData(Left, Top, this);
}

void TfrMemoView::SendToExportFilter() {
  TfrView::SendToExportFilter();
  TRestore<bool> toExport(ToExport, true);
  DrawOnCanvas(WorkCanvas());
}

// ================================================================ blob fields

// Text objects take the field's text; pictures are loaded in FR_ClassObjects.cpp.
