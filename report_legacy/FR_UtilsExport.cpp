// A report handed over to the newer engine: the whole definition written as its XML
// document (UTF-8, as its header says), with the scripts rewritten as event procedures and
// the data sets and variables as the report's property data. Also the two control helpers of
// the engine's dialogs.
#include "report_legacy/FR_Utils.h"

#include "report_legacy/FR_Class.h"
#include "report_legacy/FR_DBRel.h"
#include "report_legacy/FR_DBSet.h"

#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/Streams.h"
#include "core/SysUtils.h"
#include "gui/Controls.h"
#include "gui/StdCtrls.h"
#include "gui/WinControl.h"

#include <cmath>

namespace {

const char* const kCrLf = "\r\n";

String Str(int V) { return IntToStr(V); }

// Lengths of page geometry: pixels to millimetres.
int Millimetres(int Pixels) { return static_cast<int>(std::nearbyint(Pixels / 3.77953 * 1.0477419354838709677)); }

// ---- the script text

void AddProcedure(TStringList& out, const String& Name, TStrings* Lines) {
  const int n = Lines->Count();
  if (n == 0) return;
  out.Add("procedure " + Name + "OnBeforePrint(Sender: TfrxComponent);");
  out.Add("begin");
  out.Add("  with " + Name + ", Engine do");
  out.Add("  begin");
  if (Lines->Strings(0) != "begin") {
    for (int i = 0; i < n; ++i) out.Add(Lines->Strings(i));
    out.Add("  end");
    out.Add("end;");
  } else {
    for (int i = 1; i < n - 1; ++i) out.Add(Lines->Strings(i));
    out.Add("  end");
    out.Add((n > 1 ? Lines->Strings(n - 1) : String()) + ";");
  }
  out.Add("");
}

// A band's script is its Memo; every other view's is its event script.
TStrings* ScriptOf(TfrView* v) { return dynamic_cast<TfrBandView*>(v) ? &v->Memo : &v->EventScript; }

String ScriptText(TfrReport* r) {
  TStringList out;
  for (int p = 0; p < r->Pages()->Count(); ++p) {
    TfrPage* page = r->Pages()->Page(p);
    AddProcedure(out, page->Name, page->PageScript.get());
    for (const auto& v : page->Objects) AddProcedure(out, v->Name, ScriptOf(v.get()));
  }
  out.Add("begin");
  out.Add("");
  out.Add("end.");
  String text;
  for (int i = 0; i < out.Count(); ++i) {
    if (i) text += kCrLf;
    text += out.Strings(i);
  }
  return text;
}

// ---- the property data, in the platform's component-streaming form

void PutByte(TMemoryStream& m, int b) {
  const auto v = static_cast<unsigned char>(b);
  m.WriteBuffer(&v, 1);
}

void PutName(TMemoryStream& m, const String& Name) {
  const String n = Name.substr(0, 255);
  PutByte(m, static_cast<int>(n.size()));
  m.WriteBuffer(n.data(), static_cast<Int64>(n.size()));
}

void PutInt32(TMemoryStream& m, std::int32_t v) {
  unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                        static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
  m.WriteBuffer(b, 4);
}

void PutString(TMemoryStream& m, const String& S) {
  const auto len = static_cast<std::int32_t>(S.size());
  if (!IsAscii(S)) {
    PutByte(m, 20);  // UTF-8 text
    PutInt32(m, len);
  } else if (S.size() <= 255) {
    PutByte(m, 6);
    PutByte(m, len);
  } else {
    PutByte(m, 12);
    PutInt32(m, len);
  }
  if (len) m.WriteBuffer(S.data(), len);
}

String PropData(TfrReport* r) {
  TMemoryStream m;
  TStringList sets;
  CollectComponents(TfrDataset::StaticClass(), &sets, nullptr);
  PutName(m, "Datasets");
  PutByte(m, 14);
  for (int i = 0; i < sets.Count(); ++i) {
    auto* ds = static_cast<TComponent*>(sets.Objects(i));
    PutByte(m, 1);
    PutName(m, "DataSet");
    PutByte(m, 13);
    PutName(m, "DataSetName");
    PutString(m, ds->Name());
    PutByte(m, 0);
  }
  PutByte(m, 0);
  PutName(m, "Variables");
  PutByte(m, 14);
  TfrVariables* vars = r->Dictionary()->Variables.get();
  for (int i = 0; i < vars->Count(); ++i) {
    String value = VarToStr(vars->Value(i));
    TComponent* c = nullptr;
    String field;
    ParseFieldReference(value, c, field);
    if (c && !field.empty()) {
      // A field of a data set the report binds becomes the newer format's field reference.
      for (int k = 0; k < sets.Count(); ++k)
        if (auto* db = dynamic_cast<TfrDBDataSet*>(static_cast<TObject*>(sets.Objects(k))); db && db->SourceDataSet() == c) {
          value = "<" + db->Name() + ".\"" + field + "\">";
          break;
        }
    }
    PutByte(m, 1);
    PutName(m, "Name");
    PutString(m, vars->Name(i));
    PutName(m, "Value");
    PutString(m, value);
    PutByte(m, 0);
  }
  PutByte(m, 0);
  return StreamToHex(&m);
}

// ---- elements

void WriteReportElement(TMemoryStream* S, TfrReport* r) {
  WriteXmlText(S, "<TfrxReport ScriptLanguage=\"PascalScript\"");
  WriteXmlAttr(S, "ScriptText.text", EscapeXml(ScriptText(r)));
  WriteXmlAttr(S, "Propdata", PropData(r));
  WriteXmlAttr(S, "ReportOptions.Name", EscapeXml(r->InfoName));
  WriteXmlAttr(S, "ReportOptions.Author", EscapeXml(r->InfoAuthor));
  WriteXmlAttr(S, "ReportOptions.Description.text", EscapeXml(r->InfoComment));
  WriteXmlAttr(S, "ReportOptions.CreateDate", XmlFloat(r->InfoCreateDate));
  WriteXmlAttr(S, "ReportOptions.LastChange", XmlFloat(r->InfoLastChange));
  WriteXmlAttr(S, "ReportOptions.VersionMajor", EscapeXml(r->InfoVersionMajor));
  WriteXmlAttr(S, "ReportOptions.VersionMinor", EscapeXml(r->InfoVersionMinor));
  WriteXmlAttr(S, "ReportOptions.VersionRelease", EscapeXml(r->InfoVersionRelease));
  WriteXmlAttr(S, "ReportOptions.VersionBuild", EscapeXml(r->InfoVersionBuild));
  WriteXmlAttr(S, "ReportOptions.Password", EscapeXml(UnshiftPassword(r->ReportPassword)));
  WriteXmlText(S, String(">") + kCrLf);
}

// The page's element start; gives the horizontal offset of its objects.
int WritePageElement(TMemoryStream* S, TfrPage* page) {
  const bool script = page->PageScript->Count() > 0;
  if (page->Type == 1) {
    WriteXmlText(S, "<TfrxDialogPage Name=\"" + page->Name + "\"");
    WriteXmlAttr(S, "Height", Str(page->FormHeight));
    WriteXmlAttr(S, "Left", Str(page->Left));
    WriteXmlAttr(S, "Top", Str(page->Top));
    WriteXmlAttr(S, "Width", Str(page->FormWidth));
    WriteXmlAttr(S, "BorderStyle", Str(page->BorderStyle));
    WriteXmlAttr(S, "Caption", EscapeXml(page->Caption));
    WriteXmlAttr(S, "Color", Str(page->Color));
    WriteXmlAttr(S, "Position", Str(page->Position));
    if (script) WriteXmlAttr(S, "OnActivate", page->Name + "OnBeforePrint");
    return 0;
  }
  const TPrnPageInfo& info = page->PrinterInfo;
  WriteXmlText(S, "<TfrxReportPage Name=\"" + page->Name + "\"");
  WriteXmlAttr(S, "Orientation", page->Orientation == 1 ? "poLandscape" : "poPortrait");
  WriteXmlAttr(S, "PaperWidth", Str(Millimetres(info.PageWidth)));
  WriteXmlAttr(S, "PaperHeight", Str(Millimetres(info.PageHeight)));
  WriteXmlAttr(S, "PaperSize", Str(page->Size));
  WriteXmlAttr(S, "LeftMargin", Str(Millimetres(page->LeftMarginPx())));
  WriteXmlAttr(S, "RightMargin", Str(Millimetres(info.PageWidth - page->RightMarginPx())));
  WriteXmlAttr(S, "TopMargin", Str(Millimetres(page->TopMarginPx())));
  WriteXmlAttr(S, "BottomMargin", Str(Millimetres(info.PageHeight - page->BottomMarginPx())));
  WriteXmlAttr(S, "Columns", Str(page->Columns));
  WriteXmlAttr(S, "ColumnWidth", Str(page->ColumnWidth));
  if (page->PrintToPrevPage) WriteXmlAttr(S, "PrintOnPreviousPage", "True");
  if (script) WriteXmlAttr(S, "OnBeforePrint", page->Name + "OnBeforePrint");
  return -page->LeftMarginPx();
}

}  // namespace

void ExportAsNewFormat(TfrReport* Report, TMemoryStream* Stream) {
  TRestore<TfrReport*> current(frState().CurrentReport, Report);
  WriteXmlText(Stream, String("<?xml version=\"1.0\" encoding=\"utf-8\"?>") + kCrLf);
  WriteReportElement(Stream, Report);
  for (int p = 0; p < Report->Pages()->Count(); ++p) {
    TfrPage* page = Report->Pages()->Page(p);
    const int offset = WritePageElement(Stream, page);
    if (page->Objects.empty()) {
      WriteXmlText(Stream, String("/>") + kCrLf);
      continue;
    }
    WriteXmlText(Stream, String(">") + kCrLf);
    for (const auto& v : page->Objects) {
      auto* band = dynamic_cast<TfrBandView*>(v.get());
      if (band && !BandHasXmlElement(band->BandType())) continue;
      const int left = v->Left;
      v->Left += offset;
      v->WriteNewFormatXml(Stream);
      v->Left = left;
      WriteXmlText(Stream, String("/>") + kCrLf);
    }
    WriteXmlText(Stream, (page->Type == 1 ? String("</TfrxDialogPage>") : String("</TfrxReportPage>")) + kCrLf);
  }
  WriteXmlText(Stream, String("</TfrxReport>") + kCrLf);
}

// ================================================================ control helpers

void EnableControls(const std::vector<TControl*>& Controls, bool Enabled) {
  for (TControl* c : Controls) {
    c->SetEnabled(Enabled);
    if (auto* l = dynamic_cast<TLabel*>(c)) l->Font()->SetColor(Enabled ? clWindowText : clGrayText);
    else if (dynamic_cast<TWinControl*>(c)) c->SetColor(Enabled ? clWindow : clBtnFace);
  }
}

TControl* ControlAtPos(TWinControl* Parent, const TPoint& P) {
  for (int i = Parent->ControlCount() - 1; i >= 0; --i) {
    TControl* c = Parent->Controls(i);
    if (!c->Visible()) continue;
    const TRect r = c->BoundsRect();
    if (P.X < r.Left || P.X >= r.Right || P.Y < r.Top || P.Y >= r.Bottom) continue;
    auto* w = dynamic_cast<TWinControl*>(c);
    if (w && w->ControlStyle().Contains(csAcceptsControls) && w->ControlCount() > 0) {
      if (TControl* inner = ControlAtPos(w, {P.X - r.Left, P.Y - r.Top})) return inner;
      continue;
    }
    return c;
  }
  return nullptr;
}
