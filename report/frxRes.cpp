#include "report/frxRes.h"

#include "core/FileUtils.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/Streams.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "gui/ImgList.h"
#include "gui/Pictures.h"
#include "report/frxChm.h"
#include "report/frxUnicodeUtils.h"
#include "report/frxUtils.h"
#include "report/frxrcClass.h"
#include "report/frxrcExports.h"
#include "script/fs_iconst.h"

#include <algorithm>
#include <cassert>

namespace {

// The help topic of each window class.
const struct { const char* ClassName; const char* Topic; } kHelpTopics[] = {
    {"TfrxDesignerForm", "Designer/Designer.htm"},
    {"TfrxOptionsEditor", "Designer/Designer options.htm"},
    {"TfrxReportEditorForm", "Designer/Report settings.htm"},
    {"TfrxPageEditorForm", "Designer/Page options.htm"},
    {"TfrxCrossEditorForm", "Cross-tab reports/Cross-tab reports.htm"},
    {"TfrxChartEditorForm", "Diagrams/Diagrams.htm"},
    {"TfrxSyntaxMemo", "Script/Script.htm"},
    {"TfrxDialogPage", "Dialogue forms/Dialogue forms.htm"},
    {"TfrxDialogComponent", "Data access components/Data access components.htm"},
    {"TfrxVarEditorForm", "Creating reports/Variables.htm"},
    {"TfrxHighlightEditorForm", "Creating reports/Conditional highlighting.htm"},
    {"TfrxSysMemoEditorForm", "Creating reports/Inserting aggregate function.htm"},
    {"TfrxFormatEditorForm", "Creating reports/Values formatting.htm"},
    {"TfrxGroupEditorForm", "Creating reports/Report with groups.htm"},
    {"TfrxPictureEditorForm", "Creating reports/'Picture' object.htm"},
    {"TfrxMemoEditorForm", "Creating reports/The 'Text' object.htm"},
    {"TfrxSQLEditorForm", "Data access components/TfrxADOQuery.htm"},
};

// The keys of the script engine's messages, in the order they are refreshed.
const char* const kScriptMessageKeys[] = {
    "SLangNotFound", "SInvalidLanguage", "SIdRedeclared",  "SUnknownType",     "SIncompatibleTypes", "SIdUndeclared",
    "SClassRequired", "SIndexRequired",  "SStringError",   "SClassError",      "SArrayRequired",     "SVarRequired",
    "SNotEnoughParams", "STooManyParams", "SLeftCantAssigned", "SForError",    "SEventError",
};

// Calls Put for every key=text line with both parts non-empty.
template <class F> void ForEachEntry(const String& Lines, F Put) {
  std::size_t i = 0;
  const std::size_t n = Lines.size();
  while (i < n) {
    std::size_t end = Lines.find_first_of("\r\n", i);
    if (end == String::npos) end = n;
    std::string_view line(Lines.data() + i, end - i);
    std::size_t eq = line.find('=');
    if (eq != std::string_view::npos && eq > 0 && eq + 1 < line.size())
      Put(String(line.substr(0, eq)), String(line.substr(eq + 1)));
    i = end;
    if (i < n && Lines[i] == '\r') ++i;
    if (i < n && Lines[i] == '\n') ++i;
  }
}

std::unique_ptr<TCustomImageList> NewImageList(int Size) {
  return std::unique_ptr<TCustomImageList>(TCustomImageList::CreateSize(Size, Size));
}

void LoadStrip(const char* Name, TfrxResources* R, void (TfrxResources::*Load)(TBitmap*, bool)) {
  TBitmap strip;
  strip.LoadFromResourceName(Name);
  (R->*Load)(&strip, false);
}

}  // namespace

TfrxResources::TfrxResources()
    : FToolImages(NewImageList(16)),
      FDisabledToolImages(NewImageList(16)),
      FPaletteImages(NewImageList(22)),
      FPreviewImages(NewImageList(16)),
      FLanguages(std::make_unique<TStringList>()) {
  ScanLanguageFiles();
}

TfrxResources::~TfrxResources() = default;

int TfrxResources::FindKey(const String& Key, bool& Found) const {
  auto at = std::lower_bound(FKeys.begin(), FKeys.end(), Key,
                             [](const std::pair<String, int>& e, const String& k) { return AnsiCompareText(e.first, k) < 0; });
  Found = at != FKeys.end() && AnsiCompareText(at->first, Key) == 0;
  return static_cast<int>(at - FKeys.begin());
}

String TfrxResources::TextOf(const String& Key) const {
  bool found;
  int i = FindKey(Key, found);
  return found ? FTexts[static_cast<std::size_t>(FKeys[static_cast<std::size_t>(i)].second)] : Key;
}

void TfrxResources::PutText(const String& Key, const String& Text) {
  bool found;
  int i = FindKey(Key, found);
  if (found) {
    FTexts[static_cast<std::size_t>(FKeys[static_cast<std::size_t>(i)].second)] = Text;
    return;
  }
  FTexts.push_back(Text);
  FKeys.insert(FKeys.begin() + i, {Key, static_cast<int>(FTexts.size()) - 1});
}

void TfrxResources::MergeLines(const String& Lines) {
  ForEachEntry(Lines, [this](const String& k, const String& t) { PutText(k, t); });
}

void TfrxResources::Clear() {
  FKeys.clear();
  FTexts.clear();
}

void TfrxResources::LoadLanguageFile(const String& FileName) {
  if (!FileExists(FileName)) return;
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadLanguageStream(&stream);
}

void TfrxResources::LoadLanguageStream(TStream* Stream) {
  Int64 n = Stream->Size() - Stream->Position();
  String bytes(static_cast<std::size_t>(std::max<Int64>(n, 0)), '\0');
  Stream->ReadBuffer(bytes.data(), static_cast<Int64>(bytes.size()));
  String text = EightBitTextToUtf8(bytes);
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  Clear();
  MergeLines(text);
  RefreshScriptMessages();
}

void TfrxResources::RefreshScriptMessages() {
  for (const char* key : kScriptMessageKeys) {
    bool known = SetScriptMessage(key, TextOf(key));
    assert(known);
    (void)known;
  }
}

void TfrxResources::ScanLanguageFiles() {
  FLanguages->Clear();
  TSearchRec rec;
  for (int r = FindFirst(ProgramFolder() + "*.frc", faAnyFile, rec); r == 0; r = FindNext(rec)) {
    String name = LowerCase(rec.Name);
    if (!name.empty()) name[0] = static_cast<char>(toupper(static_cast<unsigned char>(name[0])));
    std::size_t at = name.find(".frc");
    if (at != String::npos) name.erase(at, 4);
    FLanguages->Add(name);
  }
  FindClose(rec);
  FLanguages->Sort();
}

TCustomImageList* TfrxResources::ToolImages() {
  if (FToolImages->Count() == 0) LoadStrip("frxBUTTONS", this, &TfrxResources::LoadToolImages);
  return FToolImages.get();
}

TCustomImageList* TfrxResources::PaletteImages() {
  if (FPaletteImages->Count() == 0) LoadStrip("frxOBJECTS", this, &TfrxResources::LoadPaletteImages);
  return FPaletteImages.get();
}

TCustomImageList* TfrxResources::PreviewImages() {
  if (FPreviewImages->Count() == 0) LoadStrip("PREVIEWBUTTONS", this, &TfrxResources::LoadPreviewImages);
  return FPreviewImages.get();
}

void TfrxResources::LoadToolImages(TBitmap* Strip, bool ClearImages) {
  if (ClearImages) {
    FToolImages->Clear();
    FDisabledToolImages->Clear();
  }
  AddStripToImageList(Strip, 16, 16, FToolImages.get(), FDisabledToolImages.get());
}

void TfrxResources::LoadPaletteImages(TBitmap* Strip, bool ClearImages) {
  if (ClearImages) FPaletteImages->Clear();
  AddStripToImageList(Strip, 22, 22, FPaletteImages.get(), nullptr);
}

void TfrxResources::LoadPreviewImages(TBitmap* Strip, bool ClearImages) {
  if (ClearImages) FPreviewImages->Clear();
  AddStripToImageList(Strip, 16, 16, FPreviewImages.get(), nullptr);
}

String TfrxResources::HelpPathFor(const TObject* Window) const {
  if (Window) {
    String name = Window->ClassName();
    for (const auto& row : kHelpTopics)
      if (SameText(name, row.ClassName)) return FHelpFile + "::/" + row.Topic;
  }
  return FHelpFile;
}

void TfrxResources::ShowHelpFor(const TObject* Window) {
  TForm* main = Application ? Application->MainForm() : nullptr;
  ShowHtmlHelp(main ? static_cast<std::uintptr_t>(main->Handle()) : 0, HelpPathFor(Window));
}

TfrxResources* ReportResources() {
  static std::unique_ptr<TfrxResources> table = std::make_unique<TfrxResources>();
  return table.get();
}

String ResourceText(int Id) { return ReportResources()->TextOf(std::to_string(Id)); }

void InitReportResources() {
  TfrxResources* r = ReportResources();
  r->MergeLines(ReportResourceBlock());
  r->RefreshScriptMessages();
  r->MergeLines(ExportResourceBlock());
}

namespace {
// The library's start-up: the script engine has set its English messages by now (it is
// loaded first), so the table's texts replace them.
[[maybe_unused]] const bool kReportTextsMerged = (InitReportResources(), true);
}  // namespace
