// The objects of a report page: pages with their paper, bands, frames, lines, shapes and
// pictures drawn onto bitmaps and probed by pixel, data sets walking records, and the
// virtual printer with its paper table.
#include "TempFolder.h"
#include "../platform/print/PrintTestUtil.h"
#include "core/Scope.h"

#include "core/Format.h"
#include "core/Streams.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "data/MemDataSet.h"
#include "gui/Canvas.h"
#include "gui/Pictures.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxDBSet.h"
#include "report/frxDMPClass.h"
#include "report/frxPages.h"
#include "report/frxPrinter.h"
#include "report/frxRes.h"
#include "report/frxShapes.h"
#include "report/frxUnicodeUtils.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

String SaveText(TfrxReport& r) {
  TStringStream s;
  r.SaveToStream(&s, true, false);
  return s.DataString();
}

void LoadText(TfrxReport& r, const String& Text) {
  TStringStream s(Text);
  s.SetPosition(0);
  r.LoadFromStream(&s);
}

// A white 24-bit bitmap to draw on; Ink tells whether a pixel was drawn.
struct TSheet {
  TBitmap Bitmap;
  explicit TSheet(int W = 200, int H = 200) {
    Bitmap.SetPixelFormat(pf24bit);
    Bitmap.SetSize(W, H);
    Bitmap.Canvas()->Brush()->SetColor(clWhite);
    Bitmap.Canvas()->FillRect(TRect{0, 0, W, H});
  }
  TCanvas* Canvas() { return Bitmap.Canvas(); }
  bool Ink(int X, int Y) { return ColorToRGB(Bitmap.Canvas()->Pixels(X, Y)) != 0xFFFFFF; }
  // Whether any pixel of the column X between Y1 and Y2 was drawn (dashed lines have gaps).
  bool InkInColumn(int X, int Y1, int Y2) {
    for (int y = Y1; y <= Y2; ++y)
      if (Ink(X, y)) return true;
    return false;
  }
};

// ---------------------------------------------------------------- pages

TEST(ReportPages, PaperSizesOrientationMarginsAndColumns) {
  TfrxReport r(nullptr);
  auto* page = new TfrxReportPage(&r);
  EXPECT_EQ(page->PaperSize(), 9);
  EXPECT_EQ(page->PaperWidth(), 210);
  EXPECT_EQ(page->PaperHeight(), 297);
  EXPECT_EQ(page->Width(), 794);
  EXPECT_EQ(page->Height(), 1123);
  EXPECT_EQ(page->BaseName(), "Page");

  page->SetLeftMargin(10);
  page->SetTopMargin(15);
  page->SetRightMargin(20);
  page->SetBottomMargin(25);
  page->SetOrientation(poLandscape);
  EXPECT_EQ(page->PaperWidth(), 297);
  EXPECT_EQ(page->PaperHeight(), 210);
  EXPECT_EQ((std::vector<Extended>{page->LeftMargin(), page->TopMargin(), page->RightMargin(), page->BottomMargin()}),
            (std::vector<Extended>{15, 20, 25, 10}));
  EXPECT_EQ(page->Width(), 1123);

  page->SetPaperSize(9);  // in landscape: the table's measures turned
  EXPECT_EQ(page->PaperWidth(), 297);
  page->SetPaperSize(48);  // not in the table: the measures stay
  EXPECT_EQ(page->PaperWidth(), 297);
  EXPECT_EQ(page->PaperSize(), 48);
  page->SetPaperWidth(100);
  EXPECT_EQ(page->PaperSize(), 256);

  auto* cols = new TfrxReportPage(&r);
  cols->SetLeftMargin(10);
  cols->SetRightMargin(10);
  cols->SetColumns(3);
  EXPECT_NEAR(static_cast<double>(cols->ColumnWidth()), 63.3333, 0.0001);
  ASSERT_EQ(cols->ColumnPositions()->Count(), 3);
  EXPECT_EQ(cols->ColumnPositions()->Strings(0), "0");
  EXPECT_NEAR(static_cast<double>(StrToFloat(cols->ColumnPositions()->Strings(2))), 126.6667, 0.0001);
  EXPECT_THROW(cols->SetColumns(100000), EPropertyError);
  EXPECT_EQ(cols->Columns(), 3);
}

TEST(ReportPages, APageOfTheDataModuleLoadsAndSavesBackTheSame) {
  TfrxReport r(nullptr);
  r.EngineOptions()->SetNewSilentMode(simSilent);
  auto* page = new TfrxReportPage(&r);
  page->SetName("Page1");
  page->AssignPaper(256, 210, 120);
  page->SetLeftMargin(10);
  page->SetRightMargin(10);
  page->SetTopMargin(10);
  page->SetBottomMargin(10);
  TClass kinds[] = {TfrxReportTitle::StaticClass(), TfrxHeader::StaticClass(), TfrxMasterData::StaticClass(),
                    TfrxFooter::StaticClass(), TfrxPageFooter::StaticClass()};
  int n = 0;
  for (TClass k : kinds) {
    auto* band = static_cast<TfrxBand*>(k->Create(page));
    band->AssignNumberedName();
    band->SetBounds(0, 20.0L * ++n, 718.1107L, 18.89765L);
  }
  auto* line = new TfrxLineView(page->Objects(1));
  line->SetName("Line1");
  line->SetBounds(0, 0, 100, 0);
  String text = SaveText(r);
  EXPECT_NE(text.find("PaperSize=\"256\""), String::npos) << text;
  EXPECT_NE(text.find("PaperHeight=\"120\""), String::npos);

  TfrxReport back(nullptr);
  back.EngineOptions()->SetNewSilentMode(simSilent);
  LoadText(back, text);
  EXPECT_EQ(back.Errors()->Count(), 0) << back.Errors()->Text();
  ASSERT_EQ(back.CountPages(), 1);
  auto* p = dynamic_cast<TfrxReportPage*>(back.PageAt(0));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->PaperSize(), 256);
  EXPECT_EQ(p->PaperHeight(), 120);
  EXPECT_EQ(p->ObjectCount(), 5);
  EXPECT_EQ(SaveText(back), text);
}

// ---------------------------------------------------------------- frames

TEST(ReportViews, FramesDashedDoubleAndShadow) {
  TfrxReport r(nullptr);
  auto* v = new TfrxView(&r);
  v->SetBounds(50, 50, 100, 100);
  v->Frame()->SetTyp(TfrxFrameTypes{ftLeft});

  // Dashed: one-pixel lines at -1, 0 for width 2; -1, 0, 1 for width 3.
  struct TDash {
    int Width;
    std::vector<int> Drawn, Clear;
  };
  for (const TDash& c : {TDash{2, {-1, 0}, {-2, 1}}, TDash{3, {-1, 0, 1}, {-2, 2}}}) {
    SCOPED_TRACE(c.Width);
    v->Frame()->SetStyle(fsDash);
    v->Frame()->SetWidth(c.Width);
    TSheet s;
    v->DrawOnCanvas(s.Canvas(), 1, 1, 0, 0);
    for (int dx : c.Drawn) EXPECT_TRUE(s.InkInColumn(50 + dx, 55, 145)) << dx;
    for (int dx : c.Clear) EXPECT_FALSE(s.InkInColumn(50 + dx, 55, 145)) << dx;
  }

  // Double, all sides: rectangles w outside and w inside, the edge itself left to the
  // background.
  v->Frame()->SetStyle(fsDouble);
  v->Frame()->SetWidth(2);
  v->Frame()->SetTyp(TfrxFrameTypes{ftLeft, ftRight, ftTop, ftBottom});
  {
    TSheet s;
    v->DrawOnCanvas(s.Canvas(), 1, 1, 0, 0);
    EXPECT_TRUE(s.Ink(48, 100));    // outside the left edge
    EXPECT_TRUE(s.Ink(52, 100));    // inside it
    EXPECT_FALSE(s.Ink(50, 100));   // the edge: background (none)
    EXPECT_TRUE(s.Ink(48, 48));     // the outer lines meet at the corner
    EXPECT_FALSE(s.Ink(100, 100));  // the middle stays empty
  }
  // Left and top only: the outer lines meet at top-left and end flush elsewhere.
  v->Frame()->SetTyp(TfrxFrameTypes{ftLeft, ftTop});
  {
    TSheet s;
    v->DrawOnCanvas(s.Canvas(), 1, 1, 0, 0);
    EXPECT_TRUE(s.Ink(48, 48));
    EXPECT_FALSE(s.Ink(48, 153));  // no extension below the bottom end
  }

  // Width 0 with a shadow: the shadow only, inside the object's bounds.
  v->Frame()->SetWidth(0);
  v->Frame()->SetStyle(fsSolid);
  v->Frame()->SetDropShadow(true);
  {
    TSheet s;
    v->DrawOnCanvas(s.Canvas(), 1, 1, 0, 0);
    EXPECT_EQ(v->PixelRight(), 146);
    EXPECT_TRUE(s.Ink(148, 100));   // the shadow at the right
    EXPECT_FALSE(s.Ink(50, 100));   // no frame
    EXPECT_FALSE(s.Ink(151, 100));  // nothing beyond the bounds
  }
}

TEST(ReportViews, BackgroundHatchAndClearBrush) {
  TfrxReport r(nullptr);
  auto* v = new TfrxView(&r);
  v->SetBounds(10, 10, 50, 50);
  v->SetColor(clRed);
  v->SetBrushStyle(bsClear);  // no hatch over the fill
  TSheet s;
  v->DrawOnCanvas(s.Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(ColorToRGB(s.Canvas()->Pixels(30, 30)), ColorToRGB(clRed));
  v->SetBrushStyle(bsHorizontal);
  v->SetColor(clNone);
  TSheet h;
  v->DrawOnCanvas(h.Canvas(), 1, 1, 0, 0);
  bool any = false;
  for (int y = 12; y < 58; ++y) any = any || h.Ink(30, y);
  EXPECT_TRUE(any);
}

TEST(ReportViews, TagStrExpandsWhileFilledAndComesBack) {
  TfrxReport r(nullptr);
  auto* v = new TfrxView(&r);
  v->SetTagStr("Order [1+2] 订单");
  v->SetURL("no brackets");
  v->SaveStateForPrint();
  v->FetchData();
  EXPECT_EQ(v->TagStr(), "Order 3 订单");
  v->RestoreStateAfterPrint();
  EXPECT_EQ(v->TagStr(), "Order [1+2] 订单");
  // An unclosed bracket keeps the rest of the text instead of swallowing it.
  v->SetTagStr("[1+1] and [2+");
  v->FetchData();
  EXPECT_EQ(v->TagStr(), "2 and [2+");
}

// ---------------------------------------------------------------- lines and shapes

TEST(ReportViews, LinesAndShapes) {
  TfrxReport r(nullptr);
  auto* line = new TfrxLineView(&r);
  line->SetBounds(10, 10, 100, 100);
  TSheet s;
  line->DrawOnCanvas(s.Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(line->Width(), 0);
  EXPECT_EQ(line->Frame()->Typ(), TfrxFrameTypes{ftLeft});
  EXPECT_TRUE(s.Ink(10, 60));

  auto* diagonal = new TfrxLineView(&r);
  diagonal->SetDiagonal(true);
  diagonal->SetBounds(150, 10, -40, 40);  // from top-right down to the left
  TSheet d;
  diagonal->DrawOnCanvas(d.Canvas(), 1, 1, 0, 0);
  EXPECT_TRUE(d.Ink(130, 30));
  EXPECT_FALSE(d.Ink(130, 12));

  auto* round = new TfrxShapeView(&r);
  round->SetShape(skRoundRectangle);
  round->SetBounds(10, 10, 40, 100);
  TSheet rr;
  round->DrawOnCanvas(rr.Canvas(), 1, 1, 0, 0);
  EXPECT_FALSE(rr.Ink(10, 10));  // the corner is rounded off
  EXPECT_TRUE(rr.Ink(10, 60));   // the straight side
  EXPECT_TRUE(rr.Ink(16, 10));   // the top just after the 10-pixel corner

  auto* doubled = new TfrxShapeView(&r);
  doubled->SetBounds(10, 10, 40, 40);
  doubled->Frame()->SetStyle(fsDouble);
  TSheet dd;
  doubled->DrawOnCanvas(dd.Canvas(), 1, 1, 0, 0);
  EXPECT_FALSE(dd.Ink(10, 30));  // a double frame draws no outline on a shape
}

// ---------------------------------------------------------------- pictures

String Bytes(std::initializer_list<int> b) {
  String s;
  for (int c : b) s += static_cast<char>(c);
  return s;
}

String BitmapBytes(int W, int H) {
  TBitmap bmp;
  bmp.SetPixelFormat(pf24bit);
  bmp.SetSize(W, H);
  bmp.Canvas()->Brush()->SetColor(clBlue);
  bmp.Canvas()->FillRect(TRect{0, 0, W, H});
  TStringStream s;
  bmp.SaveToStream(&s);
  return s.DataString();
}

String JpegBytes() {
  TBitmap bmp;
  bmp.SetPixelFormat(pf24bit);
  bmp.SetSize(8, 8);
  TJPEGImage jpeg;
  jpeg.Assign(&bmp);
  TStringStream s;
  jpeg.SaveToStream(&s);
  return s.DataString();
}

TEST(ReportPictures, BlobsAreRecognisedByTheirFirstBytes) {
  String bmp = BitmapBytes(4, 3);
  String header = Bytes({1, 0, 0, 1});
  auto u32 = [](std::uint32_t v) { return Bytes({int(v & 255), int(v >> 8 & 255), int(v >> 16 & 255), int(v >> 24)}); };
  String emf(100, '\0');
  emf.replace(40, 4, " EMF");
  struct TCase {
    const char* Name;
    String Data;
    const char* Class;  // "" for an empty picture
    bool ErrorLine;
  };
  const TCase cases[] = {
      {"header + BM", header + u32(static_cast<std::uint32_t>(bmp.size())) + bmp, "TBitmap", false},
      {"BM", bmp, "TBitmap", false},
      {"JPEG", JpegBytes(), "TJPEGImage", false},
      {"placeable metafile", u32(0x9AC6CDD7u) + String(40, '\0'), "TForeignMetafile", false},
      {"EMF at 40", emf, "TForeignMetafile", false},
      {"five bytes", "abcde", "", false},
      {"empty", "", "", false},
      {"icon-like zeros", String(6, '\0'), "", false},
      {"corrupt BM", "BM" + String(20, '\x7f'), "", true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TfrxReport r(nullptr);
    auto* p = new TfrxPictureView(&r);
    p->SetName("Picture1");
    TStringStream s(c.Data);
    s.SetPosition(0);
    int result = p->LoadPictureFromStream(&s);
    TGraphic* g = p->Picture()->Graphic();
    EXPECT_EQ(g ? String(g->ClassName()) : String(), c.Class);
    EXPECT_EQ(result == 0, String(c.Class) != "");
    EXPECT_EQ(r.Errors()->Count() == 1, c.ErrorLine) << r.Errors()->Text();
  }
}

TEST(ReportPictures, StretchedWithAspectAndNotStretchedCentred) {
  TfrxReport r(nullptr);
  auto* p = new TfrxPictureView(&r);
  String bmp = BitmapBytes(200, 100);
  TStringStream s(bmp);
  s.SetPosition(0);
  ASSERT_EQ(p->LoadPictureFromStream(&s), 0);
  EXPECT_TRUE(p->PictureChanged());
  p->SetBounds(0, 0, 100, 100);
  p->SetCenter(true);
  p->Frame()->SetTyp(TfrxFrameTypes{});
  p->SetColor(clNone);
  {
    TSheet sheet;
    p->DrawOnCanvas(sheet.Canvas(), 1, 1, 0, 0);
    EXPECT_FALSE(sheet.Ink(50, 20));  // 100 x 50, 25 pixels down
    EXPECT_TRUE(sheet.Ink(50, 30));
    EXPECT_TRUE(sheet.Ink(50, 70));
    EXPECT_FALSE(sheet.Ink(50, 80));
  }
  p->SetStretched(false);
  {
    TSheet sheet;
    p->DrawOnCanvas(sheet.Canvas(), 1, 1, 0, 0);
    EXPECT_TRUE(sheet.Ink(0, 30));     // wider than the box: centred and clipped
    EXPECT_TRUE(sheet.Ink(99, 30));
    EXPECT_FALSE(sheet.Ink(101, 30));  // nothing outside the box
    EXPECT_FALSE(sheet.Ink(50, 105));
  }
}

// ---------------------------------------------------------------- bands

TEST(ReportBands, ChildChainsKindsAndTheCharacterGrid) {
  TfrxReport r(nullptr);
  auto* page = new TfrxReportPage(&r);
  auto* a = new TfrxChild(page);
  auto* b = new TfrxChild(page);
  auto* c = new TfrxChild(page);
  a->SetChild(b);
  b->SetChild(c);
  EXPECT_THROW(c->SetChild(a), Exception);
  EXPECT_EQ(c->Child(), nullptr);
  EXPECT_THROW(a->SetChild(a), Exception);
  EXPECT_EQ(a->Child(), b);
  delete b;  // a freed child leaves the chain
  EXPECT_EQ(a->Child(), nullptr);

  struct TKind {
    TClass Class;
    int Index;
    const char* Name;
  };
  for (const TKind& k : {TKind{TfrxDataBand::StaticClass(), 0, "Data"}, TKind{TfrxNullBand::StaticClass(), 0, "Null"},
                         TKind{TfrxOverlay::StaticClass(), 17, "Overlay"},
                         TKind{TfrxDataBand4::StaticClass(), 9, "Data4"},
                         TKind{TfrxMasterData::StaticClass(), 6, "MasterData"}}) {
    std::unique_ptr<TfrxBand> band(static_cast<TfrxBand*>(k.Class->Create(nullptr)));
    EXPECT_EQ(band->KindIndex(), k.Index) << k.Name;
    EXPECT_EQ(band->KindName(), k.Name);
  }

  auto* dmp = new TfrxDMPPage(&r);
  auto* band = new TfrxMasterData(dmp);
  band->SetTop(20);
  band->SetHeight(30);
  band->SetLeft(20);
  EXPECT_EQ(band->Top(), 17);
  EXPECT_EQ(band->Height(), 34);
  EXPECT_NEAR(static_cast<double>(band->Left()), 19.2, 1e-9);

  band->SetRowCount(5);  // without a data set: five rows
  EXPECT_EQ(band->RowCounterDataSet()->RecordCount(), 5);
}

// ---------------------------------------------------------------- data sets

TEST(ReportDataSetProtocol, AUserDataSetCountsItsRange) {
  TfrxUserDataSet ds(nullptr);
  ds.SetRangeEnd(reCount);
  ds.SetRangeEndCount(3);
  int nexts = 0;
  ds.SetOnNext(TNotifyEvent::Lambda([&](TObject*) { ++nexts; }));
  ds.First();
  int steps = 0;
  while (!ds.Eof()) {
    ds.Next();
    ++steps;
  }
  EXPECT_EQ(steps, 3);
  EXPECT_EQ(nexts, 2);
  EXPECT_EQ(ds.RecordCount(), 3);
  ds.Fields()->SetText("A\nB");
  ds.OnGetValue = TfrxGetValueEvent::Lambda([](const String& name, Variant& v) { v = name + "!"; });
  EXPECT_EQ(ds.GetValue("A").AsString(), "A!");
  EXPECT_EQ(ds.FieldsCount(), 2);
}

struct TCustomers {
  TMemDataSet Data{nullptr};
  TCustomers() {
    Data.FieldDefs()->Add("CustName", ftWideString, 50);
    Data.FieldDefs()->Add("Cost", ftFloat, 0);
    for (const char* n : {"甲", "乙", "丙", "丁"}) Data.AddRow({Variant(String(n)), Variant(1.5)});
    Data.Open();
  }
};

TEST(ReportDataSetProtocol, AliasesHiddenFieldsAndUnknownFields) {
  TCustomers c;
  TfrxReport r(nullptr);
  TfrxDBDataset ds(nullptr);
  ds.SetUserName("Customers");
  ds.SetDataSet(&c.Data);
  r.DataSets()->AddDataSet(&ds);
  ds.FieldAliases()->SetText("CustName=Customer\n-Cost=Hidden");
  TStringList names;
  ds.GetFieldList(&names);
  EXPECT_EQ(names.CommaText(), "Customer");
  r.DataSets()->BeginUseAll();
  ds.First();
  EXPECT_EQ(ds.GetValue("customer").AsString(), "甲");
  r.SetCurrentObjectName("Memo1");
  EXPECT_TRUE(VarIsNull(ds.GetValue("Nobody")));
  ASSERT_EQ(r.Errors()->Count(), 1);
  String text = ReportResources()->TextOf("dbFldNotFound");
  EXPECT_EQ(r.Errors()->Strings(0), "Memo1: " + Format(text, {String("Customers.\"Nobody\"")}));
  r.DataSets()->EndUseAll();
}

TEST(ReportDataSetProtocol, RangesOfTheCurrentRecordAndTheHandlersPutBack) {
  TCustomers c;
  TfrxDBDataset ds(nullptr);
  ds.SetUserName("Customers");
  ds.SetDataSet(&c.Data);
  int opened = 0;
  c.Data.SetAfterOpen(TDataSetNotifyEvent::Lambda([&](TDataSet*) { ++opened; }));
  c.Data.First();
  c.Data.Next();
  c.Data.Next();  // 丙 is current

  auto walk = [&](TfrxRangeBegin b, TfrxRangeEnd e) {
    ds.SetRangeBegin(b);
    ds.SetRangeEnd(e);
    ds.BeginUse();
    String seen;
    for (ds.First(); !ds.Eof(); ds.Next()) seen += ds.GetValue("CustName").AsString();
    ds.EndUse();
    return seen;
  };
  EXPECT_EQ(walk(rbCurrent, reCurrent), "丙");
  EXPECT_EQ(c.Data.FieldByName("CustName")->AsString(), "丙");  // back on it afterwards
  EXPECT_EQ(walk(rbFirst, reCurrent), "甲乙丙");
  EXPECT_EQ(walk(rbFirst, reLast), "甲乙丙丁");
  // Our handlers are gone again: the program's own runs, once.
  c.Data.Close();
  c.Data.Open();
  EXPECT_EQ(opened, 1);

  TfrxDBDataset loose(nullptr);
  loose.SetUserName("Customers");
  EXPECT_THROW(loose.BeginUse(), Exception);  // no dataset: "dbNotConn"
  TMemDataSet closed(nullptr);
  loose.SetDataSet(&closed);
  EXPECT_EQ(Utf16ToUtf8(loose.DisplayText("Name")), "Customers.\"Name\"");
}

// ---------------------------------------------------------------- printers

TEST(ReportPrinters, WithoutSystemPrintersTheVirtualOneIsSelected) {
  auto log = std::make_shared<printtest::TJobLog>();
  std::unique_ptr<TPrinterSource> old =
      SetPrinterSource(std::make_unique<printtest::TTestSource>(std::vector<String>{}, log, false));
  ResetReportPrinters();
  TScopeExit back([&] {
    SetPrinterSource(std::move(old));
    ResetReportPrinters();
  });
  TfrxPrinters* list = ReportPrinters();
  ASSERT_EQ(list->Count(), 1);
  EXPECT_FALSE(list->HasSystemPrinters());
  TfrxCustomPrinter* p = list->CurrentPrinter();
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->DeviceName(), ReportResources()->TextOf("prVirtual"));
  EXPECT_EQ(p->Resolution.X, 600);
  EXPECT_EQ(p->DefaultPaperSize, 9);
  EXPECT_EQ(p->DefaultOrientation, poPortrait);
  ASSERT_EQ(p->PaperList()->Count(), 67);
  EXPECT_EQ(p->PaperList()->Strings(0), ReportResources()->TextOf("prCustom"));
  EXPECT_EQ(p->PaperNumberOf(""), 1);
  EXPECT_EQ(p->PaperNumberOf("no such paper"), 256);
  EXPECT_EQ(p->BinNumberOf("x"), 7);

  p->ApplyViewSettings(9, poLandscape, 0, 0);
  EXPECT_EQ(p->ActivePaperWidth, 297);
  EXPECT_EQ(p->ActivePaperHeight, 210);
  EXPECT_EQ(p->UnprintableLeft, 5);
  p->ApplyViewSettings(48, poPortrait, 100, 150);
  EXPECT_EQ(p->ActivePaper, 256);
  EXPECT_EQ(p->ActivePaperWidth, 100);
  EXPECT_EQ(p->ActivePaperHeight, 150);

  Extended w = -1, h = -1;
  EXPECT_FALSE(LookupPaperSize(48, w, h));
  EXPECT_EQ(w, -1);
  EXPECT_TRUE(LookupPaperSize(68, w, h));
  EXPECT_EQ(w, 322);

  TfrxReport r(nullptr);
  r.PrintOptions()->SetPrinter("no such printer");
  r.ApplyPrinterOption();  // unknown: the selection stays
  EXPECT_EQ(list->SelectedIndex(), 0);
  r.PrintOptions()->SetPrinter(p->DeviceName());
  r.ApplyPrinterOption();
  EXPECT_EQ(list->SelectedIndex(), 0);
  auto* page = new TfrxReportPage(&r);
  page->TakePrinterDefaults();
  EXPECT_EQ(page->LeftMargin(), 10);
  EXPECT_EQ(page->PaperWidth(), 210);
}

}  // namespace

namespace {

// ---------------------------------------------------------------- dialog pages and sub-reports

TEST(ReportDialogPages, TheFormFollowsThePageAndRefusesToCloseUntilThePageTakesItsEvents) {
  TfrxReport r(nullptr);
  auto* page = new TfrxDialogPage(&r);
  page->SetBounds(10.4, 20, 300.6, 200);
  page->SetCaption("查询条件");
  TfrxDialogForm* form = page->Form();
  EXPECT_EQ((TRect{form->Left(), form->Top(), form->Width(), form->Height()}), (TRect{10, 20, 301, 200}));
  EXPECT_EQ(form->Caption(), "查询条件");
  EXPECT_EQ(form->Font()->Name(), "Tahoma");
  EXPECT_TRUE(form->KeyPreview());
  EXPECT_EQ(page->Color(), clBtnFace);
  EXPECT_EQ(page->DialogForm(), form);

  bool canClose = true;
  form->OnCloseQuery(form, canClose);
  EXPECT_FALSE(canClose);  // the form's own handler
  page->SetupForm();
  canClose = true;
  form->OnCloseQuery(form, canClose);
  EXPECT_TRUE(canClose);   // the page's bridge

  // Its objects' controls live on the form and go with the page.
  page->Font()->SetName("宋体");
  EXPECT_EQ(form->Font()->Name(), "宋体");
  delete page;
}

TEST(ReportSubreports, APageKnowsTheObjectThatShowsItUntilTheObjectGoes) {
  TfrxReport r(nullptr);
  auto* main = new TfrxReportPage(&r);
  auto* inner = new TfrxReportPage(&r);
  auto* sub = new TfrxSubreport(main);
  sub->SetName("Subreport1");
  sub->SetBounds(10, 10, 120, 40);
  sub->SetPage(inner);
  EXPECT_TRUE(inner->IsSubreportPage());
  EXPECT_EQ(sub->Color(), clSilver);
  TSheet s;
  sub->DrawOnCanvas(s.Canvas(), 1, 1, 0, 0);
  EXPECT_EQ(ColorToRGB(s.Canvas()->Pixels(100, 40)), ColorToRGB(clSilver));
  delete sub;
  EXPECT_FALSE(inner->IsSubreportPage());
  delete inner;  // and a page that goes first leaves no dangling link
}

TEST(ReportPictures, AnEmptyPictureShowsItsPlaceholderOnlyWhileDesigning) {
  TfrxReport r(nullptr);
  auto* p = static_cast<TfrxPictureView*>(TfrxComponent::CreateForDesign(TfrxPictureView::StaticClass(), &r));
  p->SetBounds(0, 0, 100, 40);
  p->Frame()->SetTyp(TfrxFrameTypes{});
  TSheet designing;
  p->DrawOnCanvas(designing.Canvas(), 1, 1, 0, 0);
  EXPECT_TRUE(designing.Ink(1, 2));  // the empty-picture sign's frame
  p->SetIsDesigning(false);
  TSheet running;
  p->DrawOnCanvas(running.Canvas(), 1, 1, 0, 0);
  EXPECT_FALSE(running.Ink(1, 2));
}

}  // namespace

namespace {

TEST(ReportViews, DifferenceTextsForPreparedPages) {
  TfrxReport r(nullptr);
  auto* ref = new TfrxView(&r);
  auto* v = new TfrxView(&r);
  EXPECT_EQ(v->DiffAttributes(ref), "");
  v->SetColor(clRed);
  v->Frame()->SetTyp(TfrxFrameTypes{ftLeft, ftBottom});
  v->Frame()->SetWidth(1.00001);  // within the tolerance of the reference 1
  v->SetTagStr("a<b");
  EXPECT_EQ(v->DiffAttributes(ref), " Color=\"255\" Frame.Typ=\"9\" TagStr=\"a&#60;b\"");

  auto* pic = new TfrxPictureView(&r);
  auto* picRef = new TfrxPictureView(&r);
  EXPECT_EQ(pic->DiffAttributes(picRef), " ");
  String bmp = BitmapBytes(3, 2);
  TStringStream s(bmp);
  s.SetPosition(0);
  pic->LoadPictureFromStream(&s);
  EXPECT_TRUE(StartsStr("Picture.PropData=\"", pic->DiffAttributes(picRef)));

  pic->SetAutoSize(true);  // takes the graphic's own size
  EXPECT_EQ(pic->Width(), 3);
  EXPECT_EQ(pic->Height(), 2);
}

TEST(ReportDataSetProtocol, BlobsReachTextListsAndStreams) {
  TMemDataSet data(nullptr);
  data.FieldDefs()->Add("Note", ftMemo, 0);
  data.AddRow({Variant(String("第一行\r\n第二行"))});
  data.Open();
  TfrxDBDataset ds(nullptr);
  ds.SetUserName("Notes");
  ds.SetDataSet(&data);
  ds.BeginUse();
  ds.First();
  EXPECT_TRUE(ds.IsBlobField("Note"));
  TWideStrings lines;
  ds.CopyBlobTo("Note", &lines);
  ASSERT_EQ(lines.Count(), 2);
  EXPECT_EQ(lines.Strings(1), "第二行");
  TMemoryStream stream;
  ds.CopyBlobTo("Note", &stream);
  EXPECT_EQ(stream.Position(), 0);
  EXPECT_GT(stream.Size(), 0);
  ds.EndUse();
}

TEST(ReportPrinters, APrinterCanvasSizesFontsForItsResolution) {
  TfrxCustomPrinter* p = ReportPrinters()->CurrentPrinter();
  ASSERT_NE(p, nullptr);
  TfrxPrinterCanvas* c = p->Canvas();
  c->Font()->SetSize(10);
  c->SyncFontResolution();
  EXPECT_EQ(c->Font()->PixelsPerInch(), 600);
  EXPECT_EQ(c->Font()->Size(), 10);
  EXPECT_EQ(c->Font()->Height(), -83);  // 10 points at 600 dpi
}

}  // namespace
