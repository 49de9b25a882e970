// The prepared-pages store: pages as differences against source copies, the .fp3 round trip,
// a damaged file, the page cache, the outline, the anchors and the dictionary.
#include "core/Streams.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxPreviewPages.h"
#include "report/frxXML.h"
#include "script/fs_iscript.h"

#include <gtest/gtest.h>

#include <string>

namespace {

String StreamText(TMemoryStream& S) { return String(static_cast<const char*>(S.Memory()), S.Size()); }

class PreviewPagesTest : public ::testing::Test {
protected:
  PreviewPagesTest() : Store(&Report) {
    Page = new TfrxReportPage(&Report);
    Page->SetName("Page1");
    Band = new TfrxMasterData(&Report);
    Band->SetParent(Page);
    Band->SetName("MasterData1");
    Band->SetHeight(20);
    Memo = new TfrxMemoView(&Report);
    Memo->SetParent(Band);
    Memo->SetName("Memo1");
    Memo->SetText("[Row]");
    Memo->SetBounds(0, 0, 100, 20);
    Hidden = new TfrxMemoView(&Report);
    Hidden->SetParent(Band);
    Hidden->SetName("Memo2");
    Hidden->SetVisible(false);
  }

  // Pages of the master band at 20 px steps, the memo printed with its row number.
  void Prepare(int Pages, int RowsPerPage) {
    Store.AddSourcePage(Page);
    Store.BeginPass();
    for (int p = 0; p < Pages; ++p) {
      Store.AddPage(Page);
      for (int r = 0; r < RowsPerPage; ++r) {
        Band->SetTop(r * 20);
        Memo->SetText(IntToStr(p * RowsPerPage + r + 1));
        Store.AddObject(Band);
      }
    }
    Memo->SetText("[Row]");
    Band->SetTop(0);
  }

  TfrxReport Report{nullptr};
  TfrxPreviewPages Store;
  TfrxReportPage* Page;
  TfrxMasterData* Band;
  TfrxMemoView* Memo;
  TfrxMemoView* Hidden;
};

TEST_F(PreviewPagesTest, PagesAreStoredAsDifferencesAndSaveLoadSaveGivesTheSameBytes) {
  Prepare(3, 2);
  ASSERT_EQ(Store.Count(), 3);
  TfrxXMLItem* first = Store.PageItem(0);
  EXPECT_EQ(first->Name(), "page0");
  EXPECT_FALSE(Store.PageItem(1)->Unloadable());
  EXPECT_TRUE(Store.PageItem(2)->Unloadable());
  // The band at its design top writes only its top; the hidden memo leaves nothing.
  ASSERT_EQ(first->ChildCount(), 2);
  EXPECT_EQ(first->ChildAt(0)->Name(), "b1");
  EXPECT_EQ(first->ChildAt(0)->Text(), "t=\"0\"");
  ASSERT_EQ(first->ChildAt(0)->ChildCount(), 1);
  EXPECT_NE(first->ChildAt(0)->ChildAt(0)->Text().find("\"1\""), String::npos);

  TMemoryStream a;
  Store.SaveToStream(&a);
  String text = StreamText(a);
  // Every page is named by its source page; the third on carries the unload marker.
  std::size_t third = text.find("<page0 ld=\"0\">");
  ASSERT_NE(third, String::npos);
  EXPECT_EQ(text.find("<page0 ld="), third);
  EXPECT_LT(text.find("<page0>"), third);
  EXPECT_LT(text.find("<page0>", text.find("<page0>") + 1), third);
  EXPECT_NE(text.find("<m1 name=\"Page0.Memo1\"/>"), String::npos);
  EXPECT_NE(text.find("<sourcepages><TfrxReportPage "), String::npos);
  EXPECT_EQ(text.find("Name=\"Page1\""), String::npos);  // the first source page is unnamed
  EXPECT_NE(text.find("DotMatrixReport=\"0\""), String::npos);

  TfrxReport other(nullptr);
  TfrxPreviewPages loaded(&other);
  a.SetPosition(0);
  loaded.LoadFromStream(&a);
  ASSERT_EQ(loaded.Count(), 3);
  TMemoryStream b;
  loaded.SaveToStream(&b);
  EXPECT_EQ(StreamText(b), text);

  // Rebuilt from the loaded file: the memo of page 3's second row carries row 6.
  TfrxReportPage* built = loaded.GetPage(2);
  ASSERT_NE(built, nullptr);
  auto* memo = dynamic_cast<TfrxMemoView*>(built->FindObject("Memo1"));
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(built->FindObject("Memo2"), nullptr);
  auto* band = built->Objects(1);
  EXPECT_EQ(band->Top(), 20);
  EXPECT_EQ(dynamic_cast<TfrxMemoView*>(band->Objects(0))->Text(), "6");
}

TEST_F(PreviewPagesTest, ADamagedFileRaisesAndLeavesTheStoreEmpty) {
  Prepare(2, 1);
  TMemoryStream good;
  Store.SaveToStream(&good);
  String text = StreamText(good);
  struct Case {
    const char* what;
    String bytes;
  };
  String noDictionaryTarget = text;
  noDictionaryTarget.replace(noDictionaryTarget.find("Page0.Memo1"), 11, "Page7.Memo1");
  String badPage = text;
  badPage.replace(badPage.find("<page0>"), 7, "<page9>");
  const Case cases[] = {
      {"not XML", "garbage"},
      {"cut short", text.substr(0, text.size() / 2)},
      {"dictionary names a missing source page", noDictionaryTarget},
      {"page names a missing source page", badPage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TfrxPreviewPages target(&Report);
    TMemoryStream s;
    s.Write(c.bytes.data(), c.bytes.size());
    s.SetPosition(0);
    EXPECT_THROW(target.LoadFromStream(&s), Exception);
    EXPECT_EQ(target.Count(), 0);
    EXPECT_EQ(target.SourcePageCount(), 0);
    EXPECT_EQ(target.Dictionary().Count(), 0);
    EXPECT_EQ(target.CurPage(), -1);
  }
}

TEST_F(PreviewPagesTest, GetPageCachesFiftyPagesMostRecentFirst) {
  Prepare(52, 1);
  TfrxReportPage* p0 = Store.GetPage(0);
  EXPECT_EQ(Store.GetPage(0), p0);
  for (int i = 1; i <= 50; ++i) Store.GetPage(i);  // page 0 is now the least recently used
  TfrxReportPage* again = Store.GetPage(0);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(dynamic_cast<TfrxMemoView*>(again->FindObject("Memo1"))->Text(), "1");
  EXPECT_EQ(Store.GetPage(50), Store.GetPage(50));
}

TEST_F(PreviewPagesTest, CutAndPasteKeepsDistancesAndAnEmptyStoreHasNoPage) {
  EXPECT_EQ(Store.GetPage(0), nullptr);
  Prepare(2, 3);
  Store.SetCurPage(0);
  Store.CutObjects(1);
  EXPECT_EQ(Store.CurPosition(), 1);
  Store.SetCurPage(1);
  Store.PasteObjects(0, 500);
  TfrxXMLItem* page = Store.PageItem(1);
  ASSERT_EQ(page->ChildCount(), 5);
  EXPECT_EQ(page->ChildAt(3)->AttrValue("t"), "500");
  EXPECT_EQ(page->ChildAt(4)->AttrValue("t"), "520");
  EXPECT_EQ(Store.Document()->Root()->IndexOfChildName("cutted"), -1);
}

TEST_F(PreviewPagesTest, FileCacheSwapsOldPagesOutAndReadsThemBack) {
  Report.EngineOptions()->SetUseFileCache(true);
  Report.EngineOptions()->SetMaxMemSize(1);
  Memo->SetText(String(2000, 'x'));
  Store.AddSourcePage(Page);
  for (int p = 0; p < 300; ++p) {
    Store.AddPage(Page);
    for (int r = 0; r < 10; ++r) {
      Memo->SetText(IntToStr(p) + String(2000, 'x'));
      Store.AddObject(Band);
    }
  }
  EXPECT_TRUE(Store.PageItem(0)->Loaded());
  EXPECT_TRUE(Store.PageItem(1)->Loaded());
  EXPECT_TRUE(Store.PageItem(299)->Loaded());
  int swapped = 0;
  for (int i = 2; i < 299; ++i) swapped += Store.PageItem(i)->Loaded() ? 0 : 1;
  EXPECT_GT(swapped, 100);
  // Writing over an early page brings it back first: nothing of it is lost.
  Store.SetCurPage(4);
  EXPECT_EQ(Store.CurPosition(), 10);
  TfrxReportPage* p5 = Store.GetPage(5);
  EXPECT_EQ(p5->ObjectCount(), 10);
  EXPECT_EQ(dynamic_cast<TfrxMemoView*>(p5->FindObject("Memo1"))->Text().substr(0, 2), "5x");
}

TEST_F(PreviewPagesTest, OutlineTreeAndAnchorsLatestFirst) {
  Prepare(6, 1);
  TfrxOutline* outline = Store.OutlineObj();
  outline->LevelRoot();
  outline->LevelUp();  // at the root it stays
  Store.SetCurPage(0);
  outline->AddItem("A <1>", 10);
  outline->AddItem("A.1", 20);
  outline->LevelUp();
  outline->AddItem("A.2", 30);
  outline->LevelRoot();
  ASSERT_EQ(outline->Count(), 1);
  String text;
  int page = -1, top = -1;
  outline->GetItem(0, text, page, top);
  EXPECT_EQ(text, "A <1>");
  EXPECT_EQ(top, 10);
  outline->LevelDown(0);
  ASSERT_EQ(outline->Count(), 2);  // A.1 and, after LevelUp, A.2 beside it
  outline->GetItem(1, text, page, top);
  EXPECT_EQ(text, "A.2");
  EXPECT_EQ(top, 30);

  Store.SetCurPage(1);
  Store.AddAnchor("Total");
  Store.SetCurPage(4);
  Store.AddAnchor("total");
  EXPECT_EQ(Store.GetAnchorPage("TOTAL"), 5);  // the later one, page index 4, 1-based
  EXPECT_EQ(Store.GetAnchorPage("nowhere"), 1);

  // The store was empty before the pass: a second pass starts without pages or outline,
  // and the first pass's anchors stay so forward references resolve.
  outline->LevelDown(0);
  Store.ClearFirstPass();
  EXPECT_EQ(Store.Count(), 0);
  EXPECT_EQ(outline->Count(), 0);
  EXPECT_EQ(Store.GetAnchorPage("total"), 5);
  outline->AddItem("B", 1);
  outline->LevelRoot();
  EXPECT_EQ(outline->Count(), 1);
}

TEST(PreviewDictionary, UniqueNamesFollowTheFilledRange) {
  TfrxDictionary d;
  struct Case {
    std::vector<const char*> names;
    const char* next;
  };
  const Case cases[] = {
      {{}, "m1"}, {{"m1", "m2", "m3"}, "m4"}, {{"m2"}, "m3"}, {{"M1"}, "m2"}, {{"b1"}, "m1"},
  };
  for (const Case& c : cases) {
    d.Clear();
    for (const char* n : c.names) d.Add(n, String("Page0.") + n, nullptr);
    EXPECT_EQ(d.CreateUniqueName("m"), c.next);
  }
  d.Clear();
  String name;
  d.AddUnique("m", "Page0.Memo1", name, nullptr);
  EXPECT_EQ(name, "m1");
  EXPECT_EQ(d.SourceName("M1"), "Page0.Memo1");
  EXPECT_EQ(d.SourceName("m9"), "");
}

}  // namespace

namespace {

TEST(ReportPreviewPages, EveryReportOwnsAStoreWhoseOutlineScriptsReach) {
  TfrxReport report(nullptr);
  auto* store = dynamic_cast<TfrxPreviewPages*>(report.PreviewPages());
  ASSERT_NE(store, nullptr);
  EXPECT_EQ(store->Report(), &report);
  EXPECT_EQ(store->Count(), 0);
  auto* page = new TfrxReportPage(&report);
  page->SetName("Page1");
  report.ScriptText()->SetText("begin Outline.AddItem('第一章'); end.");
  ASSERT_TRUE(report.CompileReportScript());
  report.Script()->RunProgram();
  store->OutlineObj()->LevelRoot();
  ASSERT_EQ(store->OutlineObj()->Count(), 1);
  String text;
  int p = 0, top = 0;
  store->OutlineObj()->GetItem(0, text, p, top);
  EXPECT_EQ(text, "第一章");
}

}  // namespace
