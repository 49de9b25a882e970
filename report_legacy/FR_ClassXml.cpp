// Each view's element in the newer engine's XML format: the attributes every view has, then
// those of its class. An element is written without its closing mark; the document writer
// closes it.
#include "report_legacy/FR_Class.h"

#include "report_legacy/FR_DBRel.h"
#include "report_legacy/FR_Utils.h"

#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/Streams.h"
#include "core/SysUtils.h"
#include "gui/GraphicsObjects.h"
#include "gui/Pictures.h"

namespace {

String Str(int V) { return IntToStr(V); }

// Font styles as the newer format numbers them: bold 1, italic 2, underline 4, strike-out 8.
int NewStyle(TFontStyles s) {
  return (s.Contains(fsBold) ? 1 : 0) | (s.Contains(fsItalic) ? 2 : 0) | (s.Contains(fsUnderline) ? 4 : 0) |
         (s.Contains(fsStrikeOut) ? 8 : 0);
}
// The same from the stream's style bits (1 italic, 2 bold, 4 underline, 8 strike-out).
int NewStyleFromStream(Word bits) {
  return ((bits & 2) ? 1 : 0) | ((bits & 1) ? 2 : 0) | (bits & 4) | (bits & 8);
}

String JoinLines(const TStringList& l) {
  String r;
  for (int i = 0; i < l.Count(); ++i) {
    if (i) r += "\r\n";
    r += l.Strings(i);
  }
  return r;
}

String PickFormat(const std::vector<String>& list, int e) {
  return e >= 0 && e < static_cast<int>(list.size()) ? list[static_cast<std::size_t>(e)] : String();
}

}  // namespace

void TfrView::WriteViewXml(TStream* S, const String& ClassName) {
  WriteXmlText(S, "<" + ClassName + " Name=\"" + Name + "\"");
  WriteXmlAttr(S, "Left", Str(Left));
  WriteXmlAttr(S, "Top", Str(Top));
  WriteXmlAttr(S, "Width", Str(Width));
  WriteXmlAttr(S, "Height", Str(Height));
  WriteXmlAttr(S, "Color", Str(FillColor));
  if (!IsVisible()) WriteXmlAttr(S, "Visible", "False");
  const int typ = ((FrameTyp & 4) ? 1 : 0) | ((FrameTyp & 1) ? 2 : 0) | ((FrameTyp & 8) ? 4 : 0) | ((FrameTyp & 2) ? 8 : 0);
  WriteXmlAttr(S, "Frame.Typ", Str(typ));
  WriteXmlAttr(S, "Frame.Width", XmlFloat(FrameWidth));
  WriteXmlAttr(S, "Frame.Color", Str(FrameColor));
  WriteXmlAttr(S, "Frame.Style", Str(FrameStyle));
  WriteXmlAttr(S, "GapX", Str(GapX));
  WriteXmlAttr(S, "GapY", Str(GapY));
  WriteXmlAttr(S, "TagStr", EscapeXml(Tag));
  WriteXmlAttr(S, "Memo.text", EscapeXml(JoinLines(Memo)));
  WriteXmlAttr(S, "Align", Str(BandAlign == 7 ? 4 : BandAlign == 6 ? 0 : BandAlign));
  if (EventScript.Count() > 0)
    for (const char* e : {"OnBeforePrint", "OnClick", "OnActivate"}) WriteXmlAttr(S, e, Name + "OnBeforePrint");
  const int r = ((Restrictions & 15) ? 1 : 0) | ((Restrictions & 16) ? 2 : 0) | ((Restrictions & 32) ? 4 : 0) |
                ((Restrictions & 64) ? 8 : 0);
  WriteXmlAttr(S, "Restrictions", Str(r));
}

void TfrView::WriteNewFormatXml(TStream* S) {
  String cls = AddInClassName.empty() ? ClassName() : AddInClassName;
  if (StartsStr("Tfr", cls)) cls = "Tfrx" + cls.substr(3);
  WriteViewXml(S, cls);
}

void TfrMemoView::WriteNewFormatXml(TStream* S) {
  WriteViewXml(S, "TfrxMemoView");
  if (Flags & frmemo::Stretched) WriteXmlAttr(S, "StretchMode", "smMaxHeight");
  if (!(Flags & frmemo::WordWrap)) WriteXmlAttr(S, "WordWrap", "False");
  if (Flags & frmemo::AutoWidth) WriteXmlAttr(S, "AutoWidth", "True");
  if (Flags & frmemo::TextOnly) WriteXmlAttr(S, "AllowExpressions", "False");
  if (Flags & frmemo::Suppress) WriteXmlAttr(S, "SuppressRepeated", "True");
  if (Flags & frmemo::HideZeros) WriteXmlAttr(S, "HideZeros", "True");
  if (Flags & frmemo::Underlines) WriteXmlAttr(S, "Underlines", "True");
  if (Flags & frmemo::RTLReading) WriteXmlAttr(S, "RTLReading", "True");
  WriteXmlAttr(S, "Font.Name", EscapeXml(Font->Name()));
  WriteXmlAttr(S, "Font.Height", Str(Font->Height()));
  WriteXmlAttr(S, "Font.Color", Str(Font->Color()));
  WriteXmlAttr(S, "Font.Style", Str(NewStyle(Font->Style())));
  WriteXmlAttr(S, "LineSpacing", Str(LineSpacing));
  WriteXmlAttr(S, "CharSpacing", Str(CharSpacing));
  if (!HighlightCondition.empty()) {
    WriteXmlAttr(S, "Highlight.Condition", EscapeXml(HighlightCondition));
    WriteXmlAttr(S, "Highlight.Font.Style", Str(NewStyleFromStream(HighlightFontStyle)));
    WriteXmlAttr(S, "Highlight.Font.Color", Str(HighlightFontColor));
    WriteXmlAttr(S, "Highlight.Color", Str(HighlightFillColor));
  }
  WriteXmlAttr(S, "HAlign", Str(Alignment & 3));
  WriteXmlAttr(S, "VAlign", Str((Alignment & 8) ? 2 : (Alignment & 16) ? 1 : 0));
  if (Alignment & 4) WriteXmlAttr(S, "Rotation", "90");
  const int category = (FormatCode >> 24) & 0x0F, e = (FormatCode >> 16) & 0xFF;
  TfrGlobals* g = TfrGlobals::Instance();
  switch (category) {
    case 1: {
      static const char* const kNumbers[] = {"%g", "%2.2f", "%2.2n", "%2.2m"};
      WriteXmlAttr(S, "DisplayFormat.Kind", "fkNumeric");
      WriteXmlAttr(S, "DisplayFormat.DecimalSeparator", EscapeXml(String(1, static_cast<char>(FormatCode & 0xFF))));
      WriteXmlAttr(S, "DisplayFormat.FormatStr", e >= 0 && e < 4 ? String(kNumbers[e]) : EscapeXml(FormatText));
      break;
    }
    case 2:
      WriteXmlAttr(S, "DisplayFormat.Kind", "fkDateTime");
      WriteXmlAttr(S, "DisplayFormat.FormatStr",
                   e == 3 ? String("dd mmmm yyyy") : e == 4 ? EscapeXml(FormatText) : EscapeXml(PickFormat(g->DateFormats, e)));
      break;
    case 3:
      WriteXmlAttr(S, "DisplayFormat.Kind", "fkDateTime");
      WriteXmlAttr(S, "DisplayFormat.FormatStr", EscapeXml(e == 4 ? FormatText : PickFormat(g->TimeFormats, e)));
      break;
    case 4:
      WriteXmlAttr(S, "DisplayFormat.Kind", "fkBoolean");
      WriteXmlAttr(S, "DisplayFormat.FormatStr", EscapeXml(e == 4 ? FormatText : PickFormat(g->BooleanFormats, e)));
      break;
    default: break;
  }
}

namespace {

// The element class of a band type; empty for the types the newer format has no band for.
String BandElement(int t) {
  switch (t) {
    case 0: return "TfrxReportTitle";
    case 1: return "TfrxReportSummary";
    case 2: return "TfrxPageHeader";
    case 3: return "TfrxPageFooter";
    case 4: case 7: case 10: return "TfrxHeader";
    case 5: return "TfrxMasterData";
    case 6: case 9: case 12: return "TfrxFooter";
    case 8: return "TfrxDetailData";
    case 11: return "TfrxSubDetailData";
    case 13: return "TfrxOverlay";
    case 14: return "TfrxColumnHeader";
    case 15: return "TfrxColumnFooter";
    case 16: return "TfrxGroupHeader";
    case 17: return "TfrxGroupFooter";
    case 21: return "TfrxChild";
    default: return String();
  }
}

}  // namespace

bool BandHasXmlElement(int BandType) { return !BandElement(BandType).empty(); }

void TfrBandView::WriteNewFormatXml(TStream* S) {
  const String cls = BandElement(BandType());
  if (cls.empty()) return;
  WriteXmlText(S, "<" + cls + " Name=\"" + Name + "\"");
  WriteXmlAttr(S, "Top", Str(Top));
  WriteXmlAttr(S, "Height", Str(Height));
  WriteXmlAttr(S, "Columns", Str(Columns));
  WriteXmlAttr(S, "ColumnWidth", Str(ColumnWidth));
  WriteXmlAttr(S, "ColumnGap", Str(ColumnGap));
  if (!IsVisible()) WriteXmlAttr(S, "Visible", "False");
  if (!ChildBand.empty()) WriteXmlAttr(S, "Child", EscapeXml(ChildBand));
  if (Flags & frband::Stretched) WriteXmlAttr(S, "Stretched", "True");
  if (Flags & frband::FormNewPage) WriteXmlAttr(S, "StartNewPage", "True");
  if (Flags & frband::PrintIfSubsetEmpty) WriteXmlAttr(S, "PrintIfDetailEmpty", "True");
  if (Flags & frband::Breaked) WriteXmlAttr(S, "AllowSplit", "True");
  if (!(Flags & frband::OnFirstPage)) WriteXmlAttr(S, "PrintOnFirstPage", "False");
  if (!(Flags & frband::OnLastPage)) WriteXmlAttr(S, "PrintOnLastPage", "False");
  if (Flags & frband::RepeatHeader) WriteXmlAttr(S, "ReprintOnNewPage", "True");
  if (Flags & frband::PrintChildIfInvisible) WriteXmlAttr(S, "PrintChildIfInvisible", "True");
  if (Memo.Count() > 0) WriteXmlAttr(S, "OnBeforePrint", Name + "OnBeforePrint");
  const int t = BandType();
  if ((t == 5 || t == 8 || t == 11) && !FormatText.empty()) {
    TfrReport* r = frState().CurrentReport;
    TComponent* owner = r ? r->Owner() : nullptr;
    if (auto* ds = dynamic_cast<TfrDataset*>(FindComponentByName(owner, FormatText)))
      WriteXmlAttr(S, "DataSetName", EscapeXml(ds->Name()));
  }
  if (t == 16) WriteXmlAttr(S, "Condition", EscapeXml(FormatText));
}

void TfrSubReportView::WriteNewFormatXml(TStream* S) {
  WriteViewXml(S, "TfrxSubreport");
  WriteXmlAttr(S, "Page", "Page" + Str(TargetPage + 1));
}

void TfrPictureView::WriteNewFormatXml(TStream* S) {
  WriteViewXml(S, "TfrxPictureView");
  TGraphic* g = Picture->Graphic();
  if (g && !g->Empty()) {
    // The picture's stored form: the graphic's class name as a short string, then its data.
    TMemoryStream m;
    const String cls = g->ClassName();
    const auto len = static_cast<unsigned char>(std::min<std::size_t>(cls.size(), 255));
    m.WriteBuffer(&len, 1);
    m.WriteBuffer(cls.data(), len);
    g->SaveToStream(&m);
    WriteXmlAttr(S, "Picture.Propdata", StreamToHex(&m));
  }
  for (int i = 0; i < Memo.Count(); ++i) {
    TComponent* c = nullptr;
    String field;
    ParseFieldReference(Memo.Strings(i), c, field);
    if (c && !field.empty()) {
      WriteXmlAttr(S, "DataSet", EscapeXml((c->Owner() ? c->Owner()->Name() + "." : String()) + c->Name()));
      WriteXmlAttr(S, "DataField", EscapeXml(field));
      break;
    }
  }
  if (!(Flags & 1)) WriteXmlAttr(S, "Stretched", "False");
  if (Flags & 2) WriteXmlAttr(S, "Center", "True");
  if (!(Flags & 4)) WriteXmlAttr(S, "KeepAspectRatio", "False");
}

void TfrLineView::WriteNewFormatXml(TStream* S) {
  WriteViewXml(S, "TfrxLineView");
  if (!(Flags & 1)) WriteXmlAttr(S, "Stretched", "False");
}
