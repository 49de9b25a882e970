#pragma once
// The report library's table of user-interface texts by key, its shared image lists and its
// way into the help file. Every caption and message of the library is looked up here when it
// is shown, so the table alone decides the language of the report UI; a key the table does
// not hold answers with itself.
//
// Built-in Chinese blocks are merged at start (frxrcClass, frxrcExports); a language file
// ("*.frc" beside the program: key=text lines, UTF-8 when valid, else GBK) replaces the
// whole table.
//
//   ReportResources()->TextOf("mbError")   // "错误"
//   ResourceText(101)                      // the text under key "101"
#include "core/System.h"

#include <memory>
#include <utility>
#include <vector>

class TBitmap;
class TCustomImageList;
class TObject;
class TStream;
class TStringList;

class TfrxResources {
public:
  TfrxResources();
  ~TfrxResources();
  TfrxResources(const TfrxResources&) = delete;
  TfrxResources& operator=(const TfrxResources&) = delete;

  // --- texts
  String TextOf(const String& Key) const;
  // Adds a key, or replaces its text in place.
  void PutText(const String& Key, const String& Text);
  // key=text lines (CR LF, LF or CR); lines with an empty key or text are skipped; the
  // later of two equal keys wins. The table is not cleared.
  void MergeLines(const String& Lines);
  void Clear();  // keys and texts; image lists and languages stay
  int Count() const { return static_cast<int>(FTexts.size()); }
  // A missing file changes nothing.
  void LoadLanguageFile(const String& FileName);
  // Reads the whole stream first, then replaces the table and refreshes the script messages.
  void LoadLanguageStream(TStream* Stream);
  // Copies the seventeen script messages from the table into the script engine.
  void RefreshScriptMessages();
  // Rebuilds Languages from the *.frc files in the program folder.
  void ScanLanguageFiles();

  // --- images, filled from their strips on first use
  TCustomImageList* ToolImages();           // 16 x 16, "frxBUTTONS"
  TCustomImageList* DisabledToolImages() const { return FDisabledToolImages.get(); }
  TCustomImageList* PaletteImages();        // 22 x 22, "frxOBJECTS"
  TCustomImageList* PreviewImages();        // 16 x 16, "PREVIEWBUTTONS"
  // 16 x 16 cells in pairs: picture to ToolImages, its disabled twin to DisabledToolImages.
  void LoadToolImages(TBitmap* Strip, bool ClearImages);
  void LoadPaletteImages(TBitmap* Strip, bool ClearImages);
  void LoadPreviewImages(TBitmap* Strip, bool ClearImages);

  // --- languages and help
  TStringList* Languages() const { return FLanguages.get(); }
  const String& HelpFile() const { return FHelpFile; }
  // Opens the help at the window's topic (by class name); nil or an unknown class opens it
  // at its start.
  void ShowHelpFor(const TObject* Window);
  // The path ShowHelpFor opens: HelpFile, "::/" and the topic.
  String HelpPathFor(const TObject* Window) const;

private:
  int FindKey(const String& Key, bool& Found) const;

  std::vector<std::pair<String, int>> FKeys;  // sorted ignoring case; index into FTexts
  std::vector<String> FTexts;                 // in order of first insertion
  std::unique_ptr<TCustomImageList> FToolImages, FDisabledToolImages, FPaletteImages, FPreviewImages;
  std::unique_ptr<TStringList> FLanguages;
  String FHelpFile = "ZEVoda.chm";
};

// The process-wide table, created on first call.
TfrxResources* ReportResources();
// The text under the decimal key.
String ResourceText(int Id);
// The library's start-up: the report block, the script messages from it, the export block.
void InitReportResources();
