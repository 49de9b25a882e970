#pragma once
// The store of prepared pages: every output page kept as elements of one XML document, each
// object as its difference against a reference copy of its design object (the source pages),
// with the outline, the anchors and the dictionary of short element names. Saved and loaded
// as a prepared-report file (.fp3).
#include "report/frxClassBases.h"

#include <list>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

class TCanvas;
class TfrxComponent;
class TfrxCustomExportFilter;
class TfrxReportPage;
class TfrxXMLDocument;
class TfrxXMLItem;
class TStream;

class TfrxPreviewPages;

// The outline: "item" elements with text, page and top under the document's "outline".
class TfrxOutline : public TfrxCustomOutline {
  KELM_CLASS(TfrxOutline, TfrxCustomOutline)
public:
  explicit TfrxOutline(TfrxPreviewPages* APreviewPages);
  int Count();
  void AddItem(const String& Text, int Top) override;
  void LevelDown(int Index);
  void LevelRoot() override;
  void LevelUp() override;
  // Text, page and top of a child of the current entry; absent numbers leave the variables.
  void GetItem(int Index, String& Text, int& Page, int& Top);
  // The last child of the current entry, or the entry itself.
  TfrxXMLItem* GetCurPosition();
  // The entry after Item, with its sub entries, moves one page on and to NewTop.
  void ShiftItems(TfrxXMLItem* Item, int NewTop);
  TfrxXMLItem* CurItem();
  // The store freed elements: the current entry is the root again, found when next used.
  void Forget();

private:
  TfrxXMLItem* Root();
  TfrxPreviewPages* FStore;
  TfrxXMLItem* FCurItem = nullptr;
};

// Short element names ("m1", "b2") for the source copies, each with its source name
// ("Page0.Memo1") and object.
class TfrxDictionary {
public:
  void Add(const String& ShortName, const String& SourceName, TfrxComponent* Object);
  void AddUnique(const String& Prefix, const String& SourceName, String& ShortName, TfrxComponent* Object);
  String CreateUniqueName(const String& Prefix) const;
  TfrxComponent* Source(const String& ShortName) const;
  String SourceName(const String& ShortName) const;
  bool Contains(const String& ShortName) const;
  void Clear();
  int Count() const { return static_cast<int>(FNames.size()); }
  // One element per short name, in name order, with the attribute name="source name".
  void Write(TfrxXMLItem* Item) const;

private:
  struct TEntry {
    String SourceName;
    TfrxComponent* Object;
  };
  struct TLess {
    bool operator()(const String& A, const String& B) const;
  };
  std::map<String, TEntry, TLess> FNames;
};

enum TfrxAddPageMode { apWriteOver, apAdd };

// Packs a prepared report's XML into a stream and back. None is part of this program; when one
// is registered, prepared reports of reports with ReportOptions.Compressed go through it.
class TfrxCustomCompressor {
public:
  virtual ~TfrxCustomCompressor() = default;
  virtual void Compress(TStream* Source, TStream* Dest) = 0;
  // Raises when the stream cannot be unpacked.
  virtual void Decompress(TStream* Source, TStream* Dest) = 0;
};
using TfrxCompressorFactory = std::unique_ptr<TfrxCustomCompressor> (*)();
// nullptr takes the registration back.
void RegisterPreparedCompressor(TfrxCompressorFactory Factory);
TfrxCompressorFactory PreparedCompressor();

class TfrxPreviewPages : public TfrxCustomPreviewPages {
  KELM_CLASS(TfrxPreviewPages, TfrxCustomPreviewPages)
public:
  explicit TfrxPreviewPages(TfrxReport* AReport);
  ~TfrxPreviewPages() override;

  TfrxXMLDocument* Document() const { return FDocument.get(); }
  TfrxDictionary& Dictionary() { return FDictionary; }
  TfrxOutline* OutlineObj() const;
  int CurPage() const override { return FCurPage; }
  void SetCurPage(int Value) { FCurPage = Value; }
  int FirstPage() const override { return FFirstPage; }
  void SetFirstPage(int Value) { FFirstPage = Value; }
  TfrxAddPageMode AddPageMode() const { return FAddPageMode; }
  void SetAddPageMode(TfrxAddPageMode Value) { FAddPageMode = Value; }
  int SourcePageCount() const { return static_cast<int>(FSourcePages.size()); }
  TfrxReportPage* SourcePage(int Index) const;
  // The source copy of a design object, or nullptr.
  TfrxComponent* SourceCopy(TfrxComponent* DesignObject) const;
  // A temporary object printed in place of a design object (a cell of a vertical band) is
  // stored against that object's source copy; it is unlinked before it is freed.
  void LinkSource(TfrxComponent* Object, TfrxComponent* DesignObject);
  void UnlinkSource(TfrxComponent* Object);
  std::size_t MemoryEstimate() const { return FMemoryEstimate; }

  int Count();
  void Clear();
  void Initialize();
  void Finish();
  void AddSourcePage(TfrxReportPage* Page);
  void BeginPass();
  void ClearFirstPass();
  void AddPage(TfrxReportPage* Page);
  void AddObject(TfrxComponent* Object);
  // An object made during the run gets a source copy of its own in the last source page, so
  // that it too is stored as a difference.
  void AddToSourcePage(TfrxComponent* Object);
  // Whether the current page already holds the band (or, for page and column footers, any band
  // of its kind).
  bool BandExists(TfrxComponent* Band);
  // The bottom of the lowest band on the current page, page footers and overlays left out.
  Extended LastBandBottom();
  int CurPosition();
  void CutObjects(int FromPosition);
  void PasteObjects(Extended X, Extended Y);
  // The page built from its element; the same tree again while it stays in the cache.
  // A page that cannot be rebuilt raises; no half-built tree is returned.
  TfrxReportPage* GetPage(int Index);
  TPoint GetPageSize(int Index);

  void AddAnchor(const String& Text) override;
  TfrxXMLItem* FindAnchor(const String& Text);
  int GetAnchorPage(const String& Text) override;

  void SaveToStream(TStream* Stream);
  // A damaged stream raises and leaves the store empty.
  void LoadFromStream(TStream* Stream, bool AllowPartialLoading = false);
  bool LoadFromFile(const String& FileName, bool Force = false);
  void SaveToFile(const String& FileName);

  TfrxXMLItem* PagesItem();
  TfrxXMLItem* PageItem(int Index);

  // ---- output: drawing, printing, export, links and page editing
  // The page the preview shows (1-based); the current page of printing and export.
  int CurPreviewPage() const { return FCurPreviewPage; }
  void SetCurPreviewPage(int Value) { FCurPreviewPage = Value; }
  // Draws page Index: report pixels times the scales, moved by the offsets. Off the printer
  // canvas, drawing stays on the paper and skips views away from the visible region; on it,
  // views that are not Printable are left out.
  void DrawPage(int Index, TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY);
  // Prints through the selected printer of ReportPrinters() with the report's print options
  // (and the print dialog when they ask for it). False when the dialog was cancelled or the
  // job was terminated, cancelled or failed (the failure is in the report's Errors).
  bool Print();
  // Runs the filter over the pages; false without a filter, when its dialog is cancelled or
  // when it fails (its message goes to the report's Errors).
  bool Export(TfrxCustomExportFilter* Filter);
  // The mouse over page Index at (X, Y) of a view drawn at Scale and the offsets: the cursor
  // of the topmost view there; a click follows its link and fires the click events.
  void ObjectOver(int Index, int X, int Y, int Button, int Shift, Extended Scale, Extended OffsetX,
                  Extended OffsetY, bool Click, SmallInt& Cursor);
  // An empty page of the same source page before page Index.
  void AddEmptyPage(int Index);
  // Nothing when it is the only page.
  void DeletePage(int Index);
  // The page is stored whole from now on, as this tree.
  void ModifyPage(int Index, TfrxReportPage* Page);
  // Appends the pages of the other report's store, each stored whole.
  void AddFrom(TfrxReport* AReport);

private:
  class TPrintRun;
  void ExportPages(TfrxCustomExportFilter* Filter, TStrings* PageList);
  void ExportPage(TfrxCustomExportFilter* Filter, TStrings* PageList, int Index);
  void StorePageWhole(TfrxXMLItem* Item, TfrxReportPage* Page);

  struct TSourceInfo {
    TfrxComponent* Design = nullptr;
    String ShortName;
    String SourceText;
  };
  void ClearCache();
  void ForgetCachedPage(int Index);  // a page changed: its built object is stale
  void WriteDocument(TStream* Stream);
  void ReadDocument(TStream* Stream, bool AllowPartialLoading);
  void AddObjectTo(TfrxXMLItem* Parent, TfrxComponent* Object);
  void EnsureLoaded(TfrxXMLItem* Item);
  void ReadSourcePages(TfrxXMLItem* Item);
  void ReadDictionary(TfrxXMLItem* Item);
  void SetSourceText(TfrxComponent* Copy, bool Full);
  TfrxReportPage* BuildPage(TfrxXMLItem* Item);

  // Where the root keeps "previewpages", or -1 when it has none.
  int PagesIndex() const;

  std::unique_ptr<TfrxXMLDocument> FDocument;
  mutable int FPagesIndex = -1;
  TfrxDictionary FDictionary;
  std::vector<std::unique_ptr<TfrxReportPage>> FSourcePages;
  std::unordered_map<TfrxComponent*, TfrxComponent*> FDesignToCopy;
  std::unordered_map<TfrxComponent*, TSourceInfo> FCopyInfo;
  std::list<std::pair<int, std::unique_ptr<TfrxReportPage>>> FPageCache;
  int FCurPage = -1;
  int FCurPreviewPage = 1;
  int FFirstPage = 0;
  int FPassPage = -1;
  int FPassObjectCount = 0;
  std::size_t FMemoryEstimate = 0;
  TfrxAddPageMode FAddPageMode = apWriteOver;
};
