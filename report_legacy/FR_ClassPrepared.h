#pragma once
// Prepared pages: what a run of a report produced, one record per output page with its paper,
// margins and printer geometry and a stream of the objects the bands emitted. A page's objects
// are rebuilt from the stream only while the page is drawn, exported or edited. Stored as the
// .frp file.
#include "report_legacy/FR_Class.h"

#include <memory>
#include <vector>

class TMemoryStream;
class TCanvas;

struct TfrPageInfo {
  TRect PageRect{};
  int PaperSize = 0;
  int PaperWidth = 0, PaperHeight = 0;  // 0.1 mm
  int PaperOrientation = 0;
  int PaperSource = -1;
  bool MarginsFlag = false;
  TRect Margins{};  // left, top, right, bottom
  TPrnPageInfo PageInfo;
  bool PageVisible = false;
  std::unique_ptr<TMemoryStream> PageStream;
  std::unique_ptr<TfrPage> PageObject;

  TfrPageInfo();
  ~TfrPageInfo();
};

class TfrEMFPages : public TObject {
public:
  explicit TfrEMFPages(TfrReport* AParent);
  ~TfrEMFPages() override;

  int Count() const { return static_cast<int>(FPages.size()); }
  TfrPageInfo& PageInfo(int Index) const { return *FPages.at(static_cast<std::size_t>(Index)); }
  void Clear();
  // A record from the page's paper; Add appends it and fires OnBeginPage.
  void Add(TfrPage* Page);
  void Insert(int Index, TfrPage* Page);
  void Delete(int Index);
  // Draws page Index scaled into Rect.
  void Draw(int Index, TCanvas* Canvas, const TRect& Rect);
  // Passes the objects of a page to the report's current export filter.
  void ExportData(int Index);
  void ObjectsToPage(int Index);
  void PageToObjects(int Index);
  // The object under the point: click fires OnObjectClick and opens "URL" objects' links;
  // hover fires OnMouseOverObject and shows the hand over them.
  bool ObjectAtPoint(int Index, const TPoint& P, String& Link, int& Cursor, bool Click);
  // The .frp form. Reading refuses a damaged file with EReadError and leaves no pages.
  void LoadFromStream(TStream* Stream);
  void SaveToStream(TStream* Stream);

  // The stream objects of the page being filled are written to (entry PageIndex).
  TMemoryStream* PageStream(int Index) const;

private:
  void ReadCurrent(TStream* Stream, int Version, Byte Compression);
  void ReadOlder(TStream* Stream);
  TfrReport* FParent;
  std::vector<std::unique_ptr<TfrPageInfo>> FPages;
};
