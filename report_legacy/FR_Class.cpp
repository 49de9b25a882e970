// The report component, its pages and the .frf stream.
#include "report_legacy/FR_Class.h"

#include "report_legacy/FR_ClassPrepared.h"
#include "report_legacy/FR_Pars.h"
#include "report_legacy/FR_Prntr.h"
#include "report_legacy/FR_Utils.h"
#include "report_legacy/FR_passw.h"

#include "core/ClassBuilder.h"
#include "core/DateUtils.h"
#include "core/Filer.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/Streams.h"
#include "core/SysUtils.h"
#include "gui/Colors.h"
#include "gui/MessageBox.h"

#include <cassert>
#include <cmath>

using namespace frstream;

// ================================================================ pages

TfrPage::TfrPage(int ASize, int AWidth, int AHeight, int ABin, int AOrientation)
    : Color(clBtnFace), PageScript(std::make_unique<TStringList>()) {
  ChangePaper(ASize, AWidth, AHeight, ABin, AOrientation);
}

TfrPage::~TfrPage() { FreeBands(); }

void TfrPage::ChangePaper(int ASize, int AWidth, int AHeight, int ABin, int AOrientation) {
  TfrPrinter* prn = GlobalPrinter();
  try {
    prn->SetPaper(ASize, AWidth, AHeight, ABin, AOrientation);
  } catch (const Exception&) {
    prn->SetPaper(frCustomPaper, AWidth, AHeight, -1, AOrientation);
  }
  prn->GetPageInfo(PrinterInfo);
  Size = prn->PaperSize;
  Width = prn->PaperWidth;
  Height = prn->PaperHeight;
  Orientation = prn->Orientation;
  PaperBin = (ABin & 0xFFFF) == 0xFFFF ? 0xFFFF : prn->Bin;
}

void TfrPage::Clear() { Objects.clear(); }

void TfrPage::Delete(int Index) {
  if (Index >= 0 && Index < ObjectCount()) Objects.erase(Objects.begin() + Index);
}

TfrView* TfrPage::FindObject(const String& AName) const {
  for (const auto& v : Objects)
    if (SameText(v->Name, AName)) return v.get();
  return nullptr;
}

void TfrPage::AddObject(TfrView* View) {
  View->OwnerPage = this;
  Objects.emplace_back(View);
}

void TfrPage::RegisterScriptProps() {
  AddEnumScriptProp("Type", "ptReport;ptDialog", VarArrayOf({Variant(0), Variant(1)}));
  AddScriptProp("Visible", frkind::Boolean);
  if (Type == 1) {
    AddEnumScriptProp("BorderStyle", "bsDialog;bsSizeable", VarArrayOf({Variant(3), Variant(2)}));
    AddScriptProp("Caption", frkind::Text);
    AddScriptProp("Color", frkind::Color);
    AddScriptProp("Left", frkind::Geometry);
    AddScriptProp("Top", frkind::Geometry);
    AddScriptProp("Width", frkind::Whole);
    AddScriptProp("Height", frkind::Whole);
    AddEnumScriptProp("Position", "poDesigned;poScreenCenter", VarArrayOf({Variant(0), Variant(4)}));
    AddScriptProp("OnActivate", frkind::Editor | frkind::Named);
  } else {
    TfrPrinter* prn = GlobalPrinter();
    String names;
    std::vector<Variant> codes;
    for (int i = 0; i < prn->PaperNameList->Count(); ++i) {
      if (i) names += ";";
      names += prn->PaperNameList->Strings(i);
      codes.emplace_back(i < static_cast<int>(prn->PaperCodes.size()) ? prn->PaperCodes[static_cast<std::size_t>(i)] : 0);
    }
    if (names.empty()) names = "No data";
    AddEnumScriptProp("Size", names, VarArrayOf(codes));
    for (const char* n : {"Width", "Height", "LeftMargin", "TopMargin", "RightMargin", "BottomMargin"})
      AddScriptProp(n, frkind::Geometry);
    AddEnumScriptProp("Orientation", "poPortrait;poLandscape", VarArrayOf({Variant(0), Variant(1)}));
    AddScriptProp("PrintToPrevPage", frkind::Boolean);
    AddScriptProp("StretchToPrintable", frkind::Boolean);
    AddScriptProp("Columns", frkind::Whole);
    AddScriptProp("ColumnWidth", 0);
    AddScriptProp("ColumnGap", frkind::Geometry);
    AddScriptProp("OnBeforePrint", frkind::Editor | frkind::Named);
  }
}

namespace {
bool Truthy(const Variant& v) {
  if (VarType(v) == varBoolean) return v.AsBoolean();
  return v.AsInteger() != 0;
}
// Paper size in tenths of a millimetre and the pixels scripts see.
int TenthsToPixels(int v) { return static_cast<int>(std::nearbyint(v / 10.0 * 18 / 5)); }
int PixelsToTenths(int v) { return static_cast<int>(std::nearbyint(v * 10.0 * 5 / 18)); }
}  // namespace

void TfrPage::SetScriptProp(const String& AName, const Variant& Value) {
  const String n = UpperCase(AName);
  if (n == "LEFT") Left = Value.AsInteger();
  else if (n == "TOP") Top = Value.AsInteger();
  else if (n == "TYPE") Type = Value.AsInteger();
  else if (n == "BORDERSTYLE") BorderStyle = Value.AsInteger();
  else if (n == "CAPTION") Caption = VarToStr(Value);
  else if (n == "NAME") Name = VarToStr(Value);
  else if (n == "COLOR") Color = Value.AsInteger();
  else if (n == "POSITION") Position = Value.AsInteger();
  else if (n == "SIZE") Size = Value.AsInteger();
  else if (n == "ORIENTATION") Orientation = Value.AsInteger();
  else if (n == "COLUMNS") Columns = Value.AsInteger();
  else if (n == "COLUMNGAP") ColumnGap = Value.AsInteger();
  else if (n == "COLUMNWIDTH") ColumnWidth = Value.AsInteger();
  else if (n == "VISIBLE") Visible = Truthy(Value);
  else if (n == "PRINTTOPREVPAGE") PrintToPrevPage = Truthy(Value) ? 0xFFFF : 0;
  else if (n == "STRETCHTOPRINTABLE") MarginsOn = Truthy(Value) ? 0 : 0xFFFF;
  else if (n == "WIDTH") (Type == 1 ? FormWidth : Width) = Type == 1 ? Value.AsInteger() : PixelsToTenths(Value.AsInteger());
  else if (n == "HEIGHT") (Type == 1 ? FormHeight : Height) = Type == 1 ? Value.AsInteger() : PixelsToTenths(Value.AsInteger());
  else if (n == "LEFTMARGIN") LeftMargin = Value.AsInteger();
  else if (n == "TOPMARGIN") TopMargin = Value.AsInteger();
  else if (n == "RIGHTMARGIN") RightMargin = Value.AsInteger();
  else if (n == "BOTTOMMARGIN") BottomMargin = Value.AsInteger();
}

Variant TfrPage::GetScriptProp(const String& AName) {
  const String n = UpperCase(AName);
  if (n == "LEFT") return Variant(Left);
  if (n == "TOP") return Variant(Top);
  if (n == "TYPE") return Variant(Type);
  if (n == "BORDERSTYLE") return Variant(BorderStyle);
  if (n == "CAPTION") return Variant(Caption);
  if (n == "NAME") return Variant(Name);
  if (n == "COLOR") return Variant(Color);
  if (n == "POSITION") return Variant(Position);
  if (n == "SIZE") return Variant(Size);
  if (n == "ORIENTATION") return Variant(Orientation);
  if (n == "COLUMNS") return Variant(Columns);
  if (n == "COLUMNGAP") return Variant(ColumnGap);
  if (n == "VISIBLE") return Variant(Visible);
  if (n == "PRINTTOPREVPAGE") return Variant(PrintToPrevPage != 0);
  if (n == "STRETCHTOPRINTABLE") return Variant(MarginsOn == 0);
  if (n == "WIDTH") return Variant(Type == 1 ? FormWidth : TenthsToPixels(Width));
  if (n == "HEIGHT") return Variant(Type == 1 ? FormHeight : TenthsToPixels(Height));
  // The margins in effect while a report runs belong to page formation; here the stored ones.
  if (n == "LEFTMARGIN") return Variant(LeftMargin);
  if (n == "TOPMARGIN") return Variant(TopMargin);
  if (n == "RIGHTMARGIN") return Variant(RightMargin);
  if (n == "BOTTOMMARGIN") return Variant(BottomMargin);
  return Variant();
}

// ---- the page record

void TfrPage::WriteRecord(TStream* S) {
  WriteInt(S, -1);
  WriteInt(S, Size);
  WriteInt(S, Width);
  WriteInt(S, Height);
  WriteInt(S, LeftMargin);
  WriteInt(S, TopMargin);
  WriteInt(S, RightMargin);
  WriteInt(S, BottomMargin);
  WriteByte(S, static_cast<Byte>(Orientation));
  WriteInt(S, PaperBin);
  WriteWord(S, PrintToPrevPage);
  WriteWord(S, MarginsOn);
  WriteInt(S, Columns);
  WriteInt(S, ColumnGap);
  WriteByte(S, static_cast<Byte>(Type));
  WriteCountedString(S, Name);
  WriteByte(S, BorderStyle == 3 ? 0 : BorderStyle == 2 ? 1 : static_cast<Byte>(BorderStyle));
  WriteCountedString(S, Caption);
  WriteInt(S, Color);
  WriteInt(S, Left);
  WriteInt(S, Top);
  WriteInt(S, FormWidth);
  WriteInt(S, FormHeight);
  WriteByte(S, Position == 4 ? 1 : 0);
  WriteCountedLines(S, PageScript.get());
}

void TfrPage::ReadRecord(TStream* S, int Version) {
  std::int32_t first = ReadInt(S);
  const bool marked = first == -1;
  int size = marked ? ReadInt(S) : first;
  int width = ReadInt(S);
  int height = ReadInt(S);
  LeftMargin = ReadInt(S);
  TopMargin = ReadInt(S);
  RightMargin = ReadInt(S);
  BottomMargin = ReadInt(S);
  int orientation = ReadByte(S);
  if (Version < 23) {
    Byte skipped[6];
    S->ReadBuffer(skipped, 6);
  }
  int bin = Version >= 24 ? ReadInt(S) : -1;
  PrintToPrevPage = ReadWord(S);
  MarginsOn = ReadWord(S);
  Columns = ReadInt(S);
  ColumnGap = ReadInt(S);
  if (Version >= 24) {
    Type = ReadByte(S);
    Name = ReadCountedString(S);
    Byte border = ReadByte(S);
    BorderStyle = border == 0 ? 3 : border == 1 ? 2 : border;
    Caption = ReadCountedString(S);
    Color = ReadInt(S);
    Left = ReadInt(S);
    Top = ReadInt(S);
    FormWidth = ReadInt(S);
    FormHeight = ReadInt(S);
    Position = ReadByte(S) != 0 ? 4 : 0;
    if (marked) ReadCountedLines(S, PageScript.get());
  }
  ChangePaper(size, width, height, bin, orientation);
}

// ---- the page list

TfrPages::~TfrPages() = default;

TfrPage* TfrPages::Add() {
  FPages.push_back(std::make_unique<TfrPage>(DefaultPaperSize(), 0, 0, -1, 0));
  return FPages.back().get();
}

void TfrPages::Clear() { FPages.clear(); }

void TfrPages::Delete(int Index) {
  if (Index >= 0 && Index < Count()) FPages.erase(FPages.begin() + Index);
}

// ================================================================ the report

KELM_PUBLISH(TfrReport) { Published(b); }

TfrReport::TfrReport(TComponent* AOwner)
    : TComponent(AOwner), FPages(std::make_unique<TfrPages>(this)), FPreparedPages(std::make_unique<TfrEMFPages>(this)),
      FDictionary(std::make_unique<TfrDataDictionary>()) {
  TfrGlobals::Instance();
  FileName = LocaleText(55209);
  ResetInfo();
}

TfrReport::~TfrReport() {
  TfrEngineState& s = frState();
  if (s.CurrentReport == this) s.CurrentReport = nullptr;
  if (s.RootReport == this) s.RootReport = nullptr;
}

TfrPreviewButtons TfrReport::DefaultPreviewButtons() {
  return {TfrPreviewButton::pbZoom, TfrPreviewButton::pbLoad, TfrPreviewButton::pbSave, TfrPreviewButton::pbPrint,
          TfrPreviewButton::pbFind, TfrPreviewButton::pbHelp, TfrPreviewButton::pbExit};
}

void TfrReport::SetDataset(TfrDataset* Value) {
  if (FDataset && FDataset != Value) FDataset->RemoveFreeNotification(this);
  FDataset = Value;
  if (FDataset) FDataset->FreeNotification(this);
}

void TfrReport::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDataset) FDataset = nullptr;
}

void TfrReport::ResetInfo() {
  InfoComment.clear();
  InfoName.clear();
  InfoAuthor.clear();
  InfoVersionMajor.clear();
  InfoVersionMinor.clear();
  InfoVersionRelease.clear();
  InfoVersionBuild.clear();
  InfoCreateDate = InfoLastChange = Now();
  PasswordProtected = false;
  ReportPassword.clear();
  GeneratorVersion = 88;
}

void TfrReport::Clear() {
  FPages->Clear();
  FDictionary->Clear();
  TwoPass = 0;
  ResetInfo();
}

TfrView* TfrReport::FindObject(const String& AName) const {
  for (int i = 0; i < FPages->Count(); ++i)
    if (TfrView* v = FPages->Page(i)->FindObject(AName)) return v;
  return nullptr;
}

void TfrReport::SetPrinterTo(const String& PrnName) {
  if (!UseDefaultPrinter) {
    TfrPrinter* prn = GlobalPrinter();
    int i = prn->PrinterNames->IndexOf(PrnName);
    if (i >= 0) prn->SetPrinterNumber(i);
  }
  PrinterName = PrnName;
}

// ---- the stream

namespace {
const char* const kPluggedText = "Report contains the following non-plugged components:\r";
const char* const kPluggedHint = "You must include these components into your project.";
}  // namespace

void TfrReport::LeaveOneEmptyPage() {
  FPages->Clear();
  FDictionary->Clear();
  FPages->Add();
}

void TfrReport::ReadObjectRecord(TStream* S, int Tag) {
  const int version = frState().StreamVersion;
  int typeCode = Tag;
  String className;
  bool framedMemo = false;
  if (typeCode == 10) {
    className = ReadCountedString(S);
    const String upper = UpperCase(className);
    if (upper == "TFRBDELOOKUPCONTROL" || upper == "TFRIBXLOOKUPCONTROL") {
      className = "TfrDBLookupControl";
    } else if (upper == "TFRFRAMEDMEMOVIEW") {
      typeCode = 0;
      framedMemo = true;
    }
  }
  TBlockReader preamble(S, version >= 24 ? 5 : 1);
  const int pageIndex = preamble.Byte1();
  if (pageIndex >= FPages->Count()) throw EReadError("An object of a page that does not exist");
  Int64 end = 0;
  if (version >= 24) {
    end = static_cast<std::uint32_t>(preamble.Int4());
    if (end != 0 && (end < S->Position() || end > S->Size())) throw EReadError("An object record beyond the stream");
  }
  // Codes 5 to 9 and above 10 name no object: the bytes after them cannot be read.
  if ((typeCode >= 5 && typeCode <= 9) || typeCode > 10) throw EReadError("Unknown object type");
  TfrView* view = nullptr;
  try {
    view = CreateViewByType(typeCode, className);
  } catch (const EClassNotFound&) {
    if (version < 24 || end == 0) throw;
    S->SetPosition(end);
    return;
  }
  assert(view);
  TfrPage* page = FPages->Page(pageIndex);
  page->AddObject(view);
  try {
    view->ReadFromStream(S);
    if (framedMemo) S->Seek(8, soCurrent);
  } catch (const Exception&) {
    view->SetScriptProp("Name", Variant(view->Name));
    if (version < 24 || end == 0) throw;
    S->SetPosition(end);
    return;
  }
  view->SetScriptProp("Name", Variant(view->Name));
  if (end != 0) S->SetPosition(end);
}

// Pages of streams before version 24 carry no name: "Page" and the first free number.
void TfrReport::NamePage(TfrPage* Page) {
  for (int i = 1; i <= 10000; ++i) {
    const String candidate = "Page" + IntToStr(i);
    bool used = false;
    for (int p = 0; p < FPages->Count() && !used; ++p) used = SameText(FPages->Page(p)->Name, candidate);
    if (!used) {
      Page->Name = candidate;
      return;
    }
  }
}

void TfrReport::ReadPageSection(TStream* S) {
  UseDefaultPrinter = ReadWord(S);
  TwoPass = ReadWord(S);
  String prn = ReadCountedString(S);
  SetPrinterTo(prn == "\x01" ? LocaleText(55007) : prn);
  while (S->Position() < S->Size()) {
    const Byte tag = ReadByte(S);
    if (tag == 255) {
      TfrPage* page = FPages->Add();
      page->ReadRecord(S, frState().StreamVersion);
      if (frState().StreamVersion < 24) NamePage(page);
    } else if (tag <= 10) {
      ReadObjectRecord(S, tag);
    } else if (tag == 254) {
      FDictionary->LoadFromStream(S);
    } else if (tag == 253) {
      ReadByte(S);
      break;
    } else if (tag == 252) {
      break;
    } else {
      throw EReadError("Unknown record tag " + IntToStr(tag));
    }
  }
  // A report always has a page, also when its stream ended before the first one.
  if (FPages->Count() == 0) FPages->Add();
  if (frState().ErrorFlag) throw EClassNotFound(frState().ErrorText);
  for (int p = 0; p < FPages->Count(); ++p)
    for (const auto& v : FPages->Page(p)->Objects) v->SpareHookB();
}

void TfrReport::WritePageSection(TStream* S) {
  WriteWord(S, UseDefaultPrinter);
  WriteWord(S, TwoPass);
  TfrPrinter* prn = GlobalPrinter();
  WriteCountedString(S, prn->IsVirtual() ? String("\x01") : PrinterName);
  for (int p = 0; p < FPages->Count(); ++p) {
    WriteByte(S, 255);
    FPages->Page(p)->WriteRecord(S);
  }
  for (int p = 0; p < FPages->Count(); ++p) {
    for (const auto& v : FPages->Page(p)->Objects) {
      WriteByte(S, v->TypeCode);
      if (v->TypeCode == 10) WriteCountedString(S, v->AddInClassName);
      WriteByte(S, static_cast<Byte>(p));
      const Int64 endField = S->Position();
      WriteInt(S, 0);
      v->WriteToStream(S);
      const Int64 end = S->Position();
      S->SetPosition(endField);
      WriteInt(S, static_cast<std::int32_t>(end));
      S->SetPosition(end);
    }
  }
  WriteByte(S, 254);
  FDictionary->SaveToStream(S);
}

void TfrReport::ReadInfo(TStream* S) {
  if (S->Position() >= S->Size()) {
    ResetInfo();
    return;
  }
  InfoComment = FromStreamText(ReadShortCounted(S));
  InfoName = FromStreamText(ReadShortCounted(S));
  InfoAuthor = FromStreamText(ReadShortCounted(S));
  InfoVersionMajor = FromStreamText(ReadShortCounted(S));
  InfoVersionMinor = FromStreamText(ReadShortCounted(S));
  InfoVersionRelease = FromStreamText(ReadShortCounted(S));
  InfoVersionBuild = FromStreamText(ReadShortCounted(S));
  ReportPassword = FromStreamText(HexToStr(ReadShortCounted(S)));
  GeneratorVersion = ReadByte(S);
  PasswordProtected = ReadByte(S) != 0;
  InfoCreateDate = ReadDouble(S);
  InfoLastChange = ReadDouble(S);
}

void TfrReport::WriteInfo(TStream* S) {
  for (const String* s : {&InfoComment, &InfoName, &InfoAuthor, &InfoVersionMajor, &InfoVersionMinor,
                          &InfoVersionRelease, &InfoVersionBuild})
    WriteShortCounted(S, ToStreamText(*s));
  WriteShortCounted(S, StrToHex(ToStreamText(ReportPassword)));
  WriteByte(S, 88);
  WriteByte(S, PasswordProtected ? 1 : 0);
  WriteDouble(S, InfoCreateDate);
  InfoLastChange = Now();
  WriteDouble(S, InfoLastChange);
}

void TfrReport::LoadFromStream(TStream* Stream) {
  PrinterReady();
  TfrEngineState& s = frState();
  s.EngineMode = 0;
  s.CurrentReport = this;
  FDictionary->Clear();
  if (Stream->Position() >= Stream->Size()) return;
  const Int64 start = Stream->Position();
  int version = ReadByte(Stream);
  if (version <= 20) {
    // Streams before the version byte: read from their first byte as version 21.
    Stream->SetPosition(start);
    version = 21;
  }
  s.ErrorFlag = false;
  s.ErrorText.clear();
  if (version > frCurrentVersion) {
    LeaveOneEmptyPage();
    MessageBox(0, LocaleText(55345), LocaleText(55206), MB_OK | MB_ICONERROR);
    return;
  }
  TRestore<int> streamVersion(s.StreamVersion, version);
  Clear();
  try {
    ReadPageSection(Stream);
    ReadInfo(Stream);
  } catch (const EClassNotFound& e) {
    MessageBox(0, kPluggedText + e.Message() + kPluggedHint, LocaleText(55206), MB_OK | MB_ICONERROR);
    s.ErrorFlag = false;
    s.ErrorText.clear();
    if (FPages->Count() == 0) FPages->Add();
    return;
  } catch (const Exception&) {
    s.ErrorFlag = false;
    s.ErrorText.clear();
    LeaveOneEmptyPage();
    ResetInfo();
    MessageBox(0, LocaleText(55345), LocaleText(55206), MB_OK | MB_ICONERROR);
    return;
  }
  if (PasswordProtected && !dynamic_cast<TCustomMemoryStream*>(Stream)) {
    String typed;
    if (!AskReportPassword(typed) || typed != ReportPassword) {
      ResetInfo();
      FileName = LocaleText(55209);
      LeaveOneEmptyPage();
    }
  }
}

void TfrReport::SaveToStream(TStream* Stream) {
  frState().CurrentReport = this;
  if (SaveInNewFormat) {
    // The newer engine reads its XML document alone, not wrapped in this format's frame.
    TMemoryStream xml;
    ExportAsNewFormat(this, &xml);
    if (xml.Size() > 0) Stream->WriteBuffer(xml.Memory(), xml.Size());
    return;
  }
  WriteByte(Stream, frCurrentVersion);
  WritePageSection(Stream);
  WriteByte(Stream, 252);
  WriteInfo(Stream);
}

void TfrReport::LoadFromFile(const String& FName) {
  TFileStream f(FName, fmOpenRead);
  LoadFromStream(&f);
  FileName = FName;
}

void TfrReport::SaveToFile(const String& FName) {
  TFileStream f(FName, fmCreate);
  SaveToStream(&f);
  FileName = FName;
}

// ---- the form property

void TfrReport::ReadReportForm(TStream* Stream) {
  ReadInt(Stream);  // the format number; the definition says its own version
  FStoredForm.clear();
  if (!FStoreInDFM) return;
  std::int32_t size = ReadInt(Stream);
  if (size < 0 || size > Stream->Size() - Stream->Position()) throw EReadError("Invalid stored report size");
  FStoredForm.resize(static_cast<std::size_t>(size));
  if (size > 0) Stream->ReadBuffer(FStoredForm.data(), size);
}

void TfrReport::WriteReportForm(TStream* Stream) {
  WriteInt(Stream, FormVersion);
  if (!FStoreInDFM) return;
  TMemoryStream definition;
  SaveToStream(&definition);
  WriteInt(Stream, static_cast<std::int32_t>(definition.Size()));
  if (definition.Size() > 0) Stream->WriteBuffer(definition.Memory(), definition.Size());
}

void TfrReport::DefineProperties(TFiler* Filer) {
  TComponent::DefineProperties(Filer);
  Filer->DefineBinaryProperty(
      "ReportForm", [this](TStream* s) { ReadReportForm(s); }, [this](TStream* s) { WriteReportForm(s); }, true);
}

void TfrReport::Loaded() {
  TComponent::Loaded();
  if (FStoreInDFM && !FStoredForm.empty()) {
    TMemoryStream m;
    m.WriteBuffer(FStoredForm.data(), static_cast<Int64>(FStoredForm.size()));
    m.SetPosition(0);
    LoadFromStream(&m);
  }
  FStoredForm.clear();
}
