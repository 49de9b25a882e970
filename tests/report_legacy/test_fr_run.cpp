// Running older reports into prepared pages: lists with headers and footers over several pages,
// master and detail with sums, groups, page columns, two passes, splitting tall bands, failed
// expressions, the .frp file and hit tests on prepared pages.
#include "FrTestSupport.h"

#include "report_legacy/FR_ClassPrepared.h"
#include "../platform/print/PrintTestUtil.h"

#include "report_legacy/FR_Utils.h"

#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/Streams.h"
#include "gui/Canvas.h"
#include "gui/Pictures.h"
#include "gui/Edit.h"
#include "gui/Forms.h"
#include "gui/Screen.h"
#include "gui/Shell.h"
#include "gui/Timers.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <unistd.h>

namespace {

using frtest::TEngineTest;

struct TPrinted {
  String Text;
  int Left, Top;
};

class FrRun : public TEngineTest {
protected:
  void SetUp() override {
    TEngineTest::SetUp();
    Owner = std::make_unique<TComponent>(nullptr);
    Report = new TfrReport(Owner.get());
    Report->SetName("frReport");
    Page = Report->Pages()->Add();
    Page->Name = "Page1";
    frState().CurrentReport = Report;
  }

  TfrBandView* Band(int type, const String& name, int top, int height, const String& source = "") {
    auto* b = new TfrBandView;
    b->Name = name;
    b->SetBandType(type);
    b->SetViewBounds(0, top, 700, height);
    b->FormatText = source;
    Page->AddObject(b);
    return b;
  }

  TfrMemoView* Text(int left, int top, const String& text, int height = 18) {
    auto* m = new TfrMemoView;
    m->Name = "Memo" + IntToStr(++FNames);
    m->SetViewBounds(left, top, 200, height);
    m->Memo.SetText(text);
    Page->AddObject(m);
    return m;
  }

  // A data set of the report's owner whose records exist through their count.
  TzeVodaDataset* Records(const String& name, int count) {
    auto* ds = new TzeVodaDataset(Owner.get());
    ds->SetName(name);
    ds->SetRangeEnd(TRangeEnd::reCount);
    ds->SetRangeEndCount(count);
    return ds;
  }

  // Names answered by the test: each a function of the current records.
  void Values(std::map<String, std::function<Variant()>> values) {
    FValues = std::move(values);
    Report->SetOnGetValue(TDetailEvent::Lambda([this](const String& n, Variant& v) {
      auto it = FValues.find(UpperCase(n));
      if (it != FValues.end()) v = it->second();
    }));
  }

  // The texts of each prepared page in the order they were emitted.
  std::vector<std::vector<TPrinted>> Printed() {
    std::vector<std::vector<TPrinted>> out;
    TfrEMFPages* pages = Report->PreparedPages();
    for (int i = 0; i < pages->Count(); ++i) {
      pages->ObjectsToPage(i);
      std::vector<TPrinted> page;
      for (const auto& v : pages->PageInfo(i).PageObject->Objects) {
        String t;
        for (int k = 0; k < v->Memo.Count(); ++k) {
          String line = v->Memo.Strings(k);
          if (!line.empty() && line.back() == '\x01') line.pop_back();
          t += (k && !line.empty() ? " " : "") + line;
        }
        page.push_back({t, v->Left, v->Top});
      }
      out.push_back(page);
    }
    return out;
  }

  static std::vector<String> TextsOf(const std::vector<TPrinted>& page) {
    std::vector<String> r;
    for (const TPrinted& p : page) r.push_back(p.Text);
    return r;
  }

  std::vector<String> AllTexts() {
    std::vector<String> r;
    for (const auto& page : Printed())
      for (const TPrinted& p : page) r.push_back(p.Text);
    return r;
  }

  std::unique_ptr<TComponent> Owner;
  TfrReport* Report = nullptr;
  TfrPage* Page = nullptr;
  std::map<String, std::function<Variant()>> FValues;
  int FNames = 0;
};

TEST_F(FrRun, AListPrintsItsHeaderRowsAndFooterAtTheirPlaces) {
  Band(btPageHeader, "PageHeader1", 10, 20);
  Text(20, 10, "Header");
  Band(btMasterData, "MasterData1", 40, 20, "5");
  Text(20, 40, "[LINE#]");
  Band(btPageFooter, "PageFooter1", 1000, 20);
  Text(20, 1000, "Page [PAGE#]");
  ASSERT_TRUE(Report->PrepareReport());
  auto pages = Printed();
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(TextsOf(pages[0]), (std::vector<String>{"Header", "1", "2", "3", "4", "5", "Page 1"}));
  // The run read its pages back: the page is a new object.
  const int top = Report->Pages()->Page(0)->TopMarginPx();
  EXPECT_EQ(pages[0][0].Top, top);
  for (int k = 1; k <= 5; ++k) EXPECT_EQ(pages[0][k].Top, top + 20 * k) << k;
  // The footer stands at the bottom limit: the bottom margin less its own height.
  EXPECT_EQ(pages[0][6].Top, Report->Pages()->Page(0)->BottomMarginPx() - 20);
  // The definition is as it was.
  EXPECT_EQ(Report->Pages()->Page(0)->ObjectCount(), 6);
}

TEST_F(FrRun, RowsContinueOnNewPagesWithHeadersAndFootersOnEach) {
  Band(btPageHeader, "PageHeader1", 10, 20);
  Text(20, 10, "Header");
  Band(btMasterData, "MasterData1", 40, 20, "100");
  Text(20, 40, "[LINE#]");
  Band(btPageFooter, "PageFooter1", 1000, 20);
  Text(20, 1000, "Page [PAGE#]");
  ASSERT_TRUE(Report->PrepareReport());
  auto pages = Printed();
  ASSERT_GT(pages.size(), 2u);
  int row = 0;
  for (std::size_t p = 0; p < pages.size(); ++p) {
    const auto& texts = pages[p];
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts.front().Text, "Header");
    EXPECT_EQ(texts.back().Text, "Page " + IntToStr(int(p) + 1));
    for (std::size_t i = 1; i + 1 < texts.size(); ++i) {
      EXPECT_EQ(texts[i].Text, IntToStr(++row));
      EXPECT_LE(texts[i].Top + 20, texts.back().Top);
    }
  }
  EXPECT_EQ(row, 100);
}

TEST_F(FrRun, MastersWithoutDetailsPrintOnlyWithPrintIfSubsetEmpty) {
  TzeVodaDataset* master = Records("frMaster", 3);
  TzeVodaDataset* detail = Records("frDetail", 0);
  const int details[] = {2, 0, 3};
  detail->SetRangeEnd(TRangeEnd::reLast);
  detail->SetOnCheckEOF(TCheckEOFEvent::Lambda([master, detail, &details](TObject*, bool& eof) {
    eof = detail->RecordIndex() >= details[master->RecordIndex()];
  }));
  Values({{"M", [master] { return Variant(master->RecordIndex() + 1); }},
          {"AMT", [master, detail] { return Variant((master->RecordIndex() + 1) * 10 + detail->RecordIndex() + 1); }}});
  for (bool printEmpty : {false, true}) {
    Report->Pages()->Clear();
    Page = Report->Pages()->Add();
    TfrBandView* m = Band(btMasterData, "MasterData1", 40, 20, "frMaster");
    if (printEmpty) m->Flags |= frband::PrintIfSubsetEmpty;
    Text(20, 40, "M[M]");
    Band(btDetailData, "DetailData1", 70, 20, "frDetail");
    Text(20, 70, "D[AMT]");
    Band(btDetailFooter, "DetailFooter1", 100, 20);
    Text(20, 100, "S[SUM(AMT)]");
    Band(btMasterFooter, "MasterFooter1", 130, 20);
    Text(20, 130, "C[COUNT(MasterData1)]");
    ASSERT_TRUE(Report->PrepareReport());
    std::vector<String> expected = {"M1", "D11", "D12", "S23"};
    if (printEmpty) expected.push_back("M2");
    for (const char* t : {"M3", "D31", "D32", "D33", "S96"}) expected.push_back(t);
    expected.push_back(printEmpty ? "C3" : "C2");
    EXPECT_EQ(AllTexts(), expected) << printEmpty;
  }
}

TEST_F(FrRun, GroupsPrintFootersInsideOutAndHeadersAgainWhenTheOuterChanges) {
  TzeVodaDataset* data = Records("frData", 6);
  const char* outer[] = {"A", "A", "A", "B", "B", "B"};
  const int inner[] = {1, 1, 2, 1, 2, 2};
  auto at = [data] { return std::min(data->RecordIndex(), 5); };
  Values({{"OUTER", [&outer, at] { return Variant(outer[at()]); }},
          {"INNER", [&inner, at] { return Variant(inner[at()]); }},
          {"REC", [data] { return Variant(data->RecordIndex() + 1); }}});
  // Bands apart: an object belongs to the band whose height holds its Top, ends included.
  Band(btGroupHeader, "GroupHeader1", 40, 20, "[OUTER]");
  Text(20, 40, "O[OUTER]");
  Band(btGroupHeader, "GroupHeader2", 70, 20, "[INNER]");
  Text(20, 70, "I[INNER]");
  Band(btMasterData, "MasterData1", 100, 20, "frData");
  Text(20, 100, "R[REC]");
  Band(btGroupFooter, "GroupFooter2", 130, 20);
  Text(20, 130, "i");
  Band(btGroupFooter, "GroupFooter1", 160, 20);
  Text(20, 160, "o");
  ASSERT_TRUE(Report->PrepareReport());
  EXPECT_EQ(AllTexts(), (std::vector<String>{"OA", "I1", "R1", "R2", "i", "I2", "R3", "i", "o", "OB", "I1", "R4", "i",
                                             "I2", "R5", "R6", "i", "o"}));
}

TEST_F(FrRun, ChildBandsFollowTheirParentAlsoWhenItIsHidden) {
  TfrBandView* title = Band(btReportTitle, "ReportTitle1", 10, 20);
  title->ChildBand = "Child1";
  Text(20, 10, "Title");
  Band(btChild, "Child1", 40, 20);
  Text(20, 40, "Child");
  ASSERT_TRUE(Report->PrepareReport());
  EXPECT_EQ(AllTexts(), (std::vector<String>{"Title", "Child"}));
  title = static_cast<TfrBandView*>(Report->FindObject("ReportTitle1"));
  title->Visible = 0;
  title->Flags |= frband::PrintChildIfInvisible;
  ASSERT_TRUE(Report->PrepareReport());
  EXPECT_EQ(AllTexts(), (std::vector<String>{"Child"}));
  // A child named nowhere links nothing (the run read its definition back: objects are new).
  title = static_cast<TfrBandView*>(Report->FindObject("ReportTitle1"));
  title->ChildBand = "Nothing";
  ASSERT_TRUE(Report->PrepareReport());
  EXPECT_TRUE(AllTexts().empty());
}

TEST_F(FrRun, PageFootersFollowTheirFirstAndLastPageFlags) {
  Band(btMasterData, "MasterData1", 40, 20, "200");
  Text(20, 40, "[LINE#]");
  TfrBandView* footer = Band(btPageFooter, "PageFooter1", 1000, 20);
  footer->Flags = frband::OnLastPage;  // not on the first page
  Text(20, 1000, "F[PAGE#]");
  ASSERT_TRUE(Report->PrepareReport());
  auto pages = Printed();
  ASSERT_GT(pages.size(), 2u);
  for (std::size_t p = 0; p < pages.size(); ++p) {
    const bool hasFooter = !pages[p].empty() && pages[p].back().Text[0] == 'F';
    EXPECT_EQ(hasFooter, p != 0) << "page " << p + 1;
  }
  footer = static_cast<TfrBandView*>(Report->FindObject("PageFooter1"));
  footer->Flags = frband::OnFirstPage;  // not on the last page
  ASSERT_TRUE(Report->PrepareReport());
  pages = Printed();
  EXPECT_EQ(pages.front().back().Text, "F1");
  EXPECT_NE(pages.back().back().Text[0], 'F');
}

TEST_F(FrRun, AMultiColumnBandPrintsRecordsSideBySide) {
  TfrBandView* band = Band(btMasterData, "MasterData1", 40, 20, "4");
  band->Columns = 3;
  band->ColumnWidth = 150;
  band->ColumnGap = 10;
  Text(Page->LeftMarginPx(), 40, "[LINE#]");
  ASSERT_TRUE(Report->PrepareReport());
  auto pages = Printed();
  ASSERT_EQ(pages.size(), 1u);
  ASSERT_EQ(pages[0].size(), 4u);
  const auto& p = pages[0];
  EXPECT_EQ(p[0].Top, p[1].Top);
  EXPECT_EQ(p[1].Top, p[2].Top);
  EXPECT_EQ(p[1].Left - p[0].Left, 160);
  EXPECT_EQ(p[2].Left - p[0].Left, 320);
  EXPECT_EQ(p[3].Left, p[0].Left);
  EXPECT_EQ(p[3].Top, p[0].Top + 20);
}

// Objects flagged for the add-in notification hear of every text emitted on their page,
// once per emitted text and only while pages are formed (not in a first pass of two). The
// run reads the definition back afterwards, so the objects report into the test's log.
struct THeard {
  int Count = 0;
  bool ListedAlone = true;  // each time: the notification list held this object only
};

class TListeningLine : public TfrLineView {
public:
  explicit TListeningLine(THeard* Log) : FLog(Log) {}
  void SpareHookA() override {
    ++FLog->Count;
    const auto& listed = TfrGlobals::Instance()->NotificationList;
    FLog->ListedAlone = FLog->ListedAlone && listed.size() == 1 && listed[0] == this;
  }

private:
  THeard* FLog;
};

TEST_F(FrRun, FlaggedObjectsHearOfEveryTextEmittedOnTheirPage) {
  for (Word twoPass : {Word(0), Word(0xFFFF)}) {
    SCOPED_TRACE(twoPass ? "two passes" : "one pass");
    Report = new TfrReport(Owner.get());
    Page = Report->Pages()->Add();
    frState().CurrentReport = Report;
    Report->TwoPass = twoPass;
    Band(btPageHeader, "PageHeader1", 10, 20);
    Text(20, 10, "Header");
    Band(btMasterData, "MasterData1", 40, 20, "60");
    Text(20, 40, "[LINE#]");
    THeard flagged, plain;
    for (THeard* log : {&flagged, &plain}) {
      auto* l = new TListeningLine(log);
      l->SetViewBounds(300, 40, 100, 1);
      if (log == &flagged) l->Flags |= TfrView::AddInNotifyFlag;
      Page->AddObject(l);
    }
    ASSERT_TRUE(Report->PrepareReport());
    int texts = 0;
    TfrEMFPages* pages = Report->PreparedPages();
    for (int i = 0; i < pages->Count(); ++i) {
      pages->ObjectsToPage(i);
      for (const auto& v : pages->PageInfo(i).PageObject->Objects) texts += dynamic_cast<TfrMemoView*>(v.get()) != nullptr;
    }
    ASSERT_GT(pages->Count(), 1);
    EXPECT_EQ(flagged.Count, texts);
    EXPECT_TRUE(flagged.ListedAlone) << "listed once, whatever the passes; the unflagged one never";
    EXPECT_EQ(plain.Count, 0);
  }
}

TEST_F(FrRun, TwoPassesKnowTheTotalPages) {
  Report->TwoPass = 0xFFFF;
  Band(btMasterData, "MasterData1", 40, 20, "200");
  Text(20, 40, "[LINE#]");
  Band(btPageFooter, "PageFooter1", 1000, 20);
  Text(20, 1000, "[PAGE#]/[TOTALPAGES]");
  ASSERT_TRUE(Report->PrepareReport());
  auto pages = Printed();
  ASSERT_GT(pages.size(), 2u);
  const String total = IntToStr(int(pages.size()));
  EXPECT_EQ(pages[0].back().Text, "1/" + total);
  EXPECT_EQ(pages.back().back().Text, total + "/" + total);
}

TEST_F(FrRun, ABandHigherThanAPageIsSplitAndAFittingOneMoves) {
  String text;
  for (int i = 1; i <= 150; ++i) text += "line" + IntToStr(i) + "\r\n";
  TfrBandView* band = Band(btMasterData, "MasterData1", 40, 20, "1");
  band->Flags |= frband::Stretched;
  Text(20, 40, text, 18);
  ASSERT_TRUE(Report->PrepareReport());
  auto pages = Printed();
  ASSERT_GE(pages.size(), 2u);
  // Every line once, in order, over the pages.
  std::vector<String> lines;
  for (const auto& page : pages)
    for (const TPrinted& p : page) {
      TStringList l;
      l.SetText(p.Text);
      std::size_t s = 0;
      for (std::size_t e; (e = p.Text.find(' ', s)) != String::npos; s = e + 1) lines.push_back(p.Text.substr(s, e - s));
      if (s < p.Text.size()) lines.push_back(p.Text.substr(s));
    }
  ASSERT_EQ(lines.size(), 150u);
  for (int i = 0; i < 150; ++i) EXPECT_EQ(lines[i], "line" + IntToStr(i + 1));
}

TEST_F(FrRun, AFixedObjectTallerThanAPageIsClippedOnceAndTheRunEnds) {
  Band(btMasterData, "MasterData1", 40, 3000, "1");
  auto* pic = new TfrPictureView;
  pic->Name = "Picture1";
  pic->SetViewBounds(20, 40, 100, 3000);
  Page->AddObject(pic);
  ASSERT_TRUE(Report->PrepareReport());
  TfrEMFPages* pages = Report->PreparedPages();
  ASSERT_GE(pages->Count(), 1);
  ASSERT_LE(pages->Count(), 2);
  int pictures = 0;
  for (int i = 0; i < pages->Count(); ++i) {
    pages->ObjectsToPage(i);
    for (const auto& v : pages->PageInfo(i).PageObject->Objects) {
      ++pictures;
      EXPECT_LE(v->Top + v->Height, Report->Pages()->Page(0)->BottomMarginPx());
    }
  }
  EXPECT_EQ(pictures, 1);
}

TEST_F(FrRun, AFailedExpressionIsShownOnceAndLeavesNoPages) {
  Band(btMasterData, "MasterData1", 40, 20, "3");
  Text(20, 40, "[COPY('a', 'x', 1)]");
  EXPECT_FALSE(Report->PrepareReport());
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0].Text.substr(0, 21), "计算时发生错误");
  EXPECT_EQ(Report->PreparedPages()->Count(), 0);
  // The definition is intact: a second run fails the same way.
  EXPECT_FALSE(Report->PrepareReport());
  ASSERT_EQ(Boxes.size(), 2u);
  EXPECT_EQ(Boxes[1].Text, Boxes[0].Text);
  EXPECT_EQ(Report->FindObject("Memo1")->Memo.Strings(0), "[COPY('a', 'x', 1)]");
}

// ---------------------------------------------------------------- the .frp file

class FrPrepared : public FrRun {
protected:
  void SetUp() override {
    FrRun::SetUp();
    Band(btMasterData, "MasterData1", 40, 20, "60");
    Text(20, 40, "[LINE#]");
    ASSERT_TRUE(Report->PrepareReport());
    ASSERT_GE(Report->PreparedPages()->Count(), 2);
  }
  String Saved() {
    TMemoryStream m;
    Report->PreparedPages()->SaveToStream(&m);
    return String(static_cast<const char*>(m.Memory()), static_cast<std::size_t>(m.Size()));
  }
  void Load(const String& bytes) {
    TMemoryStream m;
    if (!bytes.empty()) m.WriteBuffer(bytes.data(), static_cast<Int64>(bytes.size()));
    m.SetPosition(0);
    Report->PreparedPages()->LoadFromStream(&m);
  }
};

TEST_F(FrPrepared, WritingReadingAndWritingAgainGivesTheSameFile) {
  const String first = Saved();
  EXPECT_EQ(Byte(first[0]), 25);
  EXPECT_EQ(Byte(first[1]), 0);
  const auto before = Printed();
  Load(first);
  EXPECT_EQ(Saved(), first);
  const auto after = Printed();
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t p = 0; p < after.size(); ++p) EXPECT_EQ(TextsOf(after[p]), TextsOf(before[p]));
}

TEST_F(FrPrepared, EndPositionsChainToTheTrailer) {
  const String f = Saved();
  TMemoryStream m;
  m.WriteBuffer(f.data(), static_cast<Int64>(f.size()));
  m.SetPosition(2);
  const String printer = frstream::ReadCountedString(&m);
  const int count = frstream::ReadInt(&m);
  EXPECT_EQ(count, Report->PreparedPages()->Count());
  Int64 pos = m.Position();
  for (int i = 0; i < count; ++i) {
    m.SetPosition(pos);
    pos = frstream::ReadInt(&m);
  }
  EXPECT_EQ(pos, static_cast<Int64>(f.size()) - 1);  // the generator byte follows
  (void)printer;
}

TEST_F(FrPrepared, DamagedFilesAreRefusedAndLeaveNoPages) {
  const String f = Saved();
  for (std::size_t cut = 0; cut < f.size(); ++cut) {
    EXPECT_THROW(Load(f.substr(0, cut)), Exception) << "cut at " << cut;
    EXPECT_EQ(Report->PreparedPages()->Count(), 0) << "cut at " << cut;
  }
  // A compressed file without a compressor is refused, not read as blank pages.
  String compressed = f;
  compressed[1] = 1;
  EXPECT_THROW(Load(compressed), EReadError);
  EXPECT_EQ(Report->PreparedPages()->Count(), 0);
}

TEST_F(FrPrepared, HoverAndClickOnUrlObjects) {
  TfrEMFPages* pages = Report->PreparedPages();
  pages->ObjectsToPage(0);
  TfrPage* p = pages->PageInfo(0).PageObject.get();
  TfrView* first = p->Object(0);
  first->Name = "URL1";
  first->Tag = "@2";
  TfrView* second = p->Object(1);
  second->Name = "URLweb";
  second->Tag = "http://x";
  TfrView* third = p->Object(2);
  third->Name = "URLfile";
  third->Tag = "file:///bin/sh";
  pages->PageInfo(0).MarginsFlag = true;
  std::vector<String> opened;
  TShellHandler old = SetShellHandler([&opened](const String& url) {
    opened.push_back(url);
    return true;
  });
  String link;
  int cursor = 0;
  EXPECT_TRUE(pages->ObjectAtPoint(0, {first->Left + 2, first->Top + 2}, link, cursor, false));
  EXPECT_EQ(cursor, 65515);
  EXPECT_EQ(link, "@2");
  EXPECT_TRUE(pages->ObjectAtPoint(0, {second->Left + 2, second->Top + 2}, link, cursor, true));
  EXPECT_TRUE(link.empty());
  EXPECT_TRUE(pages->ObjectAtPoint(0, {third->Left + 2, third->Top + 2}, link, cursor, true));
  SetShellHandler(old);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], "http://x");
  EXPECT_FALSE(pages->ObjectAtPoint(0, {5000, 5000}, link, cursor, false));
}

TEST_F(FrPrepared, DrawingAHiddenPageReleasesItsObjects) {
  TfrEMFPages* pages = Report->PreparedPages();
  TBitmap b;
  b.SetSize(400, 560);
  TfrPageInfo& info = pages->PageInfo(0);
  info.PageVisible = true;
  pages->Draw(0, b.Canvas(), {0, 0, 400, 560});
  EXPECT_NE(info.PageObject, nullptr);
  info.PageVisible = false;
  pages->Draw(0, b.Canvas(), {0, 0, 400, 560});
  EXPECT_EQ(info.PageObject, nullptr);
  info.PageVisible = true;
  pages->Draw(0, b.Canvas(), {0, 0, 400, 560});
  ASSERT_NE(info.PageObject, nullptr);
  EXPECT_GT(info.PageObject->ObjectCount(), 10);
}

}  // namespace

// ---------------------------------------------------------------- printing

namespace {

class FrPrint : public FrRun {
protected:
  void SetUp() override {
    FrRun::SetUp();
    Log = std::make_shared<printtest::TJobLog>();
    FOld = SetPrinterSource(std::make_unique<printtest::TTestSource>(std::vector<String>{"Recorder"}, Log, false));
    FreeGlobalPrinter();
    Printer()->Refresh();
    // Six pages, one record each.
    TfrBandView* band = Band(btMasterData, "MasterData1", 40, 20, "6");
    band->Flags |= frband::FormNewPage;
    Text(20, 40, "P[LINE#]");
    ASSERT_TRUE(Report->PrepareReport());
    ASSERT_EQ(Report->PreparedPages()->Count(), 6);
  }
  void TearDown() override {
    SetPrinterSource(std::move(FOld));
    FreeGlobalPrinter();
    FrRun::TearDown();
  }
  // The page numbers the printer received, read from the printed text.
  std::vector<int> PrintedPages() {
    std::vector<int> r;
    for (const auto& page : Log->Pages) {
      const String t = page->Text();
      const std::size_t p = t.find('P');
      r.push_back(p == String::npos ? 0 : StrToIntDef(t.substr(p + 1, t.find_first_not_of("0123456789", p + 1) - p - 1), 0));
    }
    return r;
  }

  std::shared_ptr<printtest::TJobLog> Log;

private:
  std::unique_ptr<TPrinterSource> FOld;
};

TEST_F(FrPrint, PageListsAndOddOrEvenPagesChooseWhatPrints) {
  struct Case {
    const char* List;
    int PrintPages;
    std::vector<int> Pages;
  };
  const Case cases[] = {
      {"1,3,5-", 0, {1, 3, 5, 6}},
      {" 2 - 4 ", 0, {2, 3, 4}},
      {"", 0, {1, 2, 3, 4, 5, 6}},
      {"1-4", 2, {2, 4}},
      {"", 1, {1, 3, 5}},
  };
  for (const Case& c : cases) {
    Log->Pages.clear();
    Log->Events.clear();
    Report->PrintPreparedReport(c.List, 1, c.PrintPages, true);
    EXPECT_EQ(PrintedPages(), c.Pages) << "'" << c.List << "' " << c.PrintPages;
    EXPECT_EQ(Log->Events.back(), "end");
  }
}

TEST_F(FrPrint, CollatedCopiesRepeatTheSetAndUncollatedOnesAskThePrinter) {
  Report->PrintPreparedReport("1-3", 2, 0, true);
  EXPECT_EQ(PrintedPages(), (std::vector<int>{1, 2, 3, 1, 2, 3}));
  ASSERT_EQ(Log->Jobs.size(), 1u);
  EXPECT_EQ(Log->Jobs[0].Mode.dmCopies, 1);
  Log->Pages.clear();
  Log->Jobs.clear();
  Report->PrintPreparedReport("1-3", 2, 0, false);
  EXPECT_EQ(PrintedPages(), (std::vector<int>{1, 2, 3}));
  ASSERT_EQ(Log->Jobs.size(), 1u);
  EXPECT_EQ(Log->Jobs[0].Mode.dmCopies, 2);
}

TEST_F(FrPrint, StoppingAbortsAndAnotherPaperStartsANewDocument) {
  Report->SetOnProgress(TProgressEvent::Lambda([this](int n) {
    if (n == 2) Report->Terminated = true;
  }));
  Report->PrintPreparedReport("", 1, 0, true);
  EXPECT_EQ(PrintedPages(), (std::vector<int>{1}));
  EXPECT_EQ(Log->Events.back(), "abort");
  Report->SetOnProgress(TProgressEvent());
  Log->Events.clear();
  Log->Pages.clear();
  Report->PreparedPages()->PageInfo(1).PaperOrientation = 1;
  Report->PrintPreparedReport("1-4", 1, 0, true);
  const String begin = "begin " + LocaleText(55209);
  EXPECT_EQ(Log->Events,
            (std::vector<String>{begin, "page", "end", begin, "page", "end", begin, "page", "page", "end"}));
  EXPECT_EQ(PrintedPages(), (std::vector<int>{1, 2, 3, 4}));
}

}  // namespace

// ---------------------------------------------------------------- export and printers

namespace {

class TLinesFilter : public TfrExportFilter {
public:
  void OnBeginDoc() override { Calls.push_back("doc"); }
  void OnEndDoc() override { Calls.push_back("end doc"); }
  void OnBeginPage() override { Calls.push_back("page"); }
  void OnEndPage() override { Calls.push_back("end page"); }
  void OnData(int, int, TfrView*) override { ++Objects; }
  void OnText(const TRect&, int, int, const String& Text, Word, TfrView*) override { Lines.push_back(Text); }
  std::vector<String> Calls, Lines;
  int Objects = 0;
};

TEST_F(FrRun, ExportFiltersReceiveEveryPageTheirObjectsAndLines) {
  TfrBandView* band = Band(btMasterData, "MasterData1", 40, 20, "2");
  band->Flags |= frband::FormNewPage;
  Text(20, 40, "Row [LINE#]");
  ASSERT_TRUE(Report->PrepareReport());
  ASSERT_EQ(Report->PreparedPages()->Count(), 2);
  TLinesFilter filter;
  const String file = (std::filesystem::temp_directory_path() / ("frexport" + std::to_string(getpid()))).string();
  Report->ExportTo(&filter, file);
  std::filesystem::remove(file);
  EXPECT_EQ(filter.Calls, (std::vector<String>{"doc", "page", "end page", "page", "end page", "end doc"}));
  EXPECT_EQ(filter.Objects, 2);
  EXPECT_EQ(filter.Lines, (std::vector<String>{"Row 1", "Row 2"}));
  EXPECT_EQ(filter.FileName, file);
  EXPECT_EQ(Report->CurrentFilter, nullptr);
}

TEST_F(FrPrint, ChangingPrintersReappliesThePapers) {
  TfrPrinter* prn = GlobalPrinter();
  ASSERT_EQ(prn->PrinterNames->Count(), 2);  // the recorder, then the virtual printer
  EXPECT_TRUE(Report->ChangePrinter(0, prn->VirtualPrinterNumber()));
  EXPECT_TRUE(prn->IsVirtual());
  EXPECT_EQ(Report->PrinterName, LocaleText(55007));
  EXPECT_EQ(Report->Pages()->Page(0)->Size, 9);
  EXPECT_TRUE(Report->ChangePrinter(prn->VirtualPrinterNumber(), 0));
  EXPECT_EQ(Report->PrinterName, "Recorder");
}

}  // namespace

namespace {

TEST_F(FrRun, SubReportsPrintTheirPageInsideTheBandThatHoldsThem) {
  TzeVodaDataset* master = Records("frMaster", 3);
  TzeVodaDataset* lines = Records("frLines", 2);
  Values({{"M", [master] { return Variant(master->RecordIndex() + 1); }},
          {"L", [lines] { return Variant(lines->RecordIndex() + 1); }}});
  Band(btMasterData, "MasterData1", 40, 30, "frMaster");
  Text(20, 40, "M[M]");
  auto* sub = new TfrSubReportView;
  sub->Name = "SubReport1";
  sub->SetViewBounds(40, 60, 300, 10);
  sub->TargetPage = 1;
  Page->AddObject(sub);
  Band(btPageFooter, "PageFooter1", 1000, 20);
  Text(20, 1000, "F");
  // The sub-report's page: a list of lines.
  TfrPage* second = Report->Pages()->Add();
  Page = second;
  Band(btMasterData, "MasterData2", 20, 20, "frLines");
  Text(20, 20, "L[L]");
  ASSERT_TRUE(Report->PrepareReport());
  auto pages = Printed();
  ASSERT_EQ(pages.size(), 1u);  // the target page prints nothing of its own
  EXPECT_EQ(TextsOf(pages[0]), (std::vector<String>{"M1", "L1", "L2", "M2", "L1", "L2", "M3", "L1", "L2", "F"}));
  // Each sub-report's lines stand below its master, and the next master below them.
  for (int m = 0; m < 3; ++m) {
    const int base = m * 3;
    EXPECT_GT(pages[0][base + 1].Top, pages[0][base].Top);
    EXPECT_EQ(pages[0][base + 2].Top, pages[0][base + 1].Top + 20);
    if (m < 2) EXPECT_GE(pages[0][base + 3].Top, pages[0][base + 2].Top + 20);
  }
}

}  // namespace

namespace {

TEST_F(FrRun, CrossTabColumnsThatPassTheMarginGoOnTheNextPageWithTheHeaderAgain) {
  Band(btMasterData, "MasterData1", 40, 20, "3");
  TfrBandView* header = Band(btCrossHeader, "CrossHeader1", 0, 0);
  header->SetViewBounds(20, 0, 100, 2000);
  header->Flags |= frband::RepeatHeader;
  TfrBandView* data = Band(btCrossData, "CrossData1", 0, 0, "12");
  data->SetViewBounds(120, 0, 120, 2000);
  Text(25, 40, "R[LINE#]")->Width = 90;
  Text(125, 40, "C[COLUMN#]")->Width = 110;
  ASSERT_TRUE(Report->PrepareReport());
  auto pages = Printed();
  ASSERT_GE(pages.size(), 2u);
  // Per row: its label, then its columns in order, some on the first page, the rest on the
  // next pages after the label again.
  const int rm = Report->Pages()->Page(0)->RightMarginPx();
  std::map<int, std::vector<String>> rows;  // by Top
  int onFirst = 0;
  for (std::size_t p = 0; p < pages.size(); ++p)
    for (const TPrinted& t : pages[p]) {
      rows[t.Top].push_back(t.Text);
      if (p == 0 && t.Text[0] == 'C') ++onFirst;
      EXPECT_LE(t.Left + 110, rm + 1) << t.Text;
    }
  EXPECT_GT(onFirst, 0);
  EXPECT_LT(onFirst, 36);
  ASSERT_EQ(rows.size(), 3u);
  int r = 0;
  for (const auto& [top, texts] : rows) {
    ++r;
    std::vector<String> columns;
    int labels = 0;
    for (const String& t : texts) {
      if (t[0] == 'R') {
        EXPECT_EQ(t, "R" + IntToStr(r));
        ++labels;
      } else {
        columns.push_back(t);
      }
    }
    EXPECT_EQ(labels, int(pages.size()));  // once per page the row reaches
    ASSERT_EQ(columns.size(), 12u);
    for (int c = 0; c < 12; ++c) EXPECT_EQ(columns[c], "C" + IntToStr(c + 1));
  }
}

}  // namespace

namespace {

TEST_F(FrRun, APageThatPrintsOnThePreviousOneContinuesItsPreparedPage) {
  Band(btMasterData, "MasterData1", 40, 20, "3");
  Text(20, 40, "A[LINE#]");
  TfrPage* second = Report->Pages()->Add();
  second->PrintToPrevPage = 1;
  Page = second;
  Band(btMasterData, "MasterData2", 40, 20, "2");
  Text(20, 40, "B[LINE#]");
  ASSERT_TRUE(Report->PrepareReport());
  auto pages = Printed();
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(TextsOf(pages[0]), (std::vector<String>{"A1", "A2", "A3", "B1", "B2"}));
  EXPECT_EQ(pages[0][3].Top, pages[0][2].Top + 20);
}

TEST_F(FrPrepared, OlderFilesReadAsTheirVersionSays) {
  auto put = [](String& s, std::int64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  // Version 23, current form: no bin, no margins.
  String v23 = String("\x17\x00", 2);
  put(v23, 0, 2);  // an empty printer name: 16-bit length, the bytes, a byte 0
  v23 += '\0';
  put(v23, 1, 4);
  const std::size_t endField = v23.size();
  put(v23, 0, 4);
  put(v23, 9, 2);
  put(v23, 2100, 4);
  put(v23, 2970, 4);
  v23 += '\0';       // portrait
  v23 += '\x01';     // margins flag
  v23 += '\x19';     // the page stream: its version byte and no objects
  const std::size_t end = v23.size();
  for (int i = 0; i < 4; ++i) v23[endField + i] = static_cast<char>((end >> (8 * i)) & 0xFF);
  v23 += 'X';        // generator version
  Load(v23);
  TfrEMFPages* pages = Report->PreparedPages();
  ASSERT_EQ(pages->Count(), 1);
  EXPECT_EQ(pages->PageInfo(0).PaperSource, -1);
  EXPECT_EQ(pages->PageInfo(0).PaperWidth, 2100);
  EXPECT_TRUE(pages->PageInfo(0).MarginsFlag);
  EXPECT_EQ(Report->GeneratorVersion, 'X');

  // A first byte 23 followed by another byte than 0, 1 or 255: a picture per page.
  String older = "\x17\x05P";
  older += '\0';
  put(older, 1, 4);
  const std::size_t field = older.size();
  put(older, 0, 4);
  put(older, 9, 2);
  put(older, 2100, 4);
  put(older, 2970, 4);
  older += '\0';
  older += '\0';
  older += "EMF-BYTES";
  const std::size_t stop = older.size();
  for (int i = 0; i < 4; ++i) older[field + i] = static_cast<char>((stop >> (8 * i)) & 0xFF);
  Load(older);
  ASSERT_EQ(pages->Count(), 1);
  pages->ObjectsToPage(0);
  TfrPage* page = pages->PageInfo(0).PageObject.get();
  ASSERT_EQ(page->ObjectCount(), 1);
  auto* pic = dynamic_cast<TfrPictureView*>(page->Object(0));
  ASSERT_NE(pic, nullptr);
  EXPECT_EQ(pic->RawGraphic, "EMF-BYTES");
  EXPECT_EQ(pic->Width, pages->PageInfo(0).PageInfo.PageWidth);
}

}  // namespace

// ---------------------------------------------------------------- dialog pages

namespace {

// A dialog control of the kind add-ins bring: it makes its own edit.
class TTestEditControl : public TfrControl {
public:
  TTestEditControl() {
    HostedControl = FEdit.get();
    AddInClassName = "TTestEditControl";
  }
  TEdit* Edit() const { return FEdit.get(); }

private:
  std::unique_ptr<TEdit> FEdit = std::make_unique<TEdit>(nullptr);
};

class FrDialogPage : public FrRun {
protected:
  void SetUp() override {
    FrRun::SetUp();
    RegisterAddInObject("TTestEditControl", [] { return new TTestEditControl; }, nullptr, "");
    Band(btMasterData, "MasterData1", 40, 20, "2");
    Text(20, 40, "[LINE#]");
    TfrPage* dialog = Report->Pages()->Add();
    dialog->Type = 1;
    dialog->Name = "Dialog1";
    dialog->Caption = "选择";
    auto* control = static_cast<TTestEditControl*>(CreateViewByType(10, "TTestEditControl"));
    control->Name = "Edit1";
    control->SetViewBounds(10, 10, 120, 21);
    dialog->AddObject(control);
    Report->SetShowProgress(false);
  }
  void TearDown() override {
    ClearAddInObjects();
    FrRun::TearDown();
  }
  TfrPage* Dialog() const { return Report->Pages()->Page(1); }
  TEdit* Edit() const { return static_cast<TTestEditControl*>(Dialog()->Object(0))->Edit(); }
};

TEST_F(FrDialogPage, TheScriptDecidesTheResultOrTheFormIsShown) {
  Dialog()->PageScript->SetText("MODALRESULT := 1");
  EXPECT_TRUE(Report->PrepareReport());
  EXPECT_EQ(Report->PreparedPages()->Count(), 1);
  ASSERT_EQ(Report->Pages()->Count(), 2);  // read back with its control
  Dialog()->PageScript->SetText("MODALRESULT := 2");
  EXPECT_FALSE(Report->PrepareReport());
  EXPECT_EQ(Report->PreparedPages()->Count(), 0);
  // Without a result from the script the form shows; the person confirms it.
  Dialog()->PageScript->Clear();
  TTimer timer(nullptr);
  String caption;
  bool onForm = false;
  TCustomForm* seen = nullptr;
  timer.SetInterval(10);
  timer.SetOnTimer(TNotifyEvent::Lambda([&](TObject*) {
    for (int i = 0; Screen && i < Screen->CustomFormCount(); ++i) {
      TCustomForm* f = Screen->CustomForms(i);
      if (f->Visible() && f->FormState().Contains(fsModal)) {
        timer.SetEnabled(false);
        seen = f;
        caption = f->Caption();
        TEdit* edit = static_cast<TTestEditControl*>(Report->Pages()->Page(1)->Object(0))->Edit();
        onForm = edit->Parent() == f && edit->Left() == 10;
        f->SetModalResult(mrOk);
        return;
      }
    }
  }));
  EXPECT_TRUE(Report->PrepareReport());
  EXPECT_NE(seen, nullptr);
  EXPECT_EQ(caption, "选择");
  EXPECT_TRUE(onForm);
  EXPECT_EQ(Report->PreparedPages()->Count(), 1);
  EXPECT_TRUE(Boxes.empty());
}

}  // namespace

namespace {

TEST_F(FrRun, ABandOverAComponentThatIsNoDataSetEndsTheRunWithItsMessage) {
  auto* notData = new TComponent(Owner.get());
  notData->SetName("NotData");
  Band(btMasterData, "MasterData1", 40, 20, "NotData");
  Text(20, 40, "x");
  EXPECT_FALSE(Report->PrepareReport());
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0].Text, "Invalid class typecast");
  EXPECT_EQ(Report->PreparedPages()->Count(), 0);
  // The report runs again once the band names a data set.
  static_cast<TfrBandView*>(Report->FindObject("MasterData1"))->FormatText = "2";
  EXPECT_TRUE(Report->PrepareReport());
  EXPECT_EQ(AllTexts(), (std::vector<String>{"x", "x"}));
}

}  // namespace

namespace {

TEST_F(FrRun, AStretchedCrossTabRowIsAsTallAsItsTallestColumn) {
  TfrBandView* row = Band(btMasterData, "MasterData1", 40, 20, "2");
  row->Flags |= frband::Stretched;
  TfrBandView* data = Band(btCrossData, "CrossData1", 0, 0, "3");
  data->SetViewBounds(100, 0, 120, 2000);
  Values({{"LONG", [] { return Variant(String("one two three four five six seven")); }}});
  // Column 2 wraps into several lines; the others are one line.
  TfrMemoView* cell = Text(105, 40, "[IF(COLUMN# = 2, LONG, 'x')]");
  cell->Width = 60;
  ASSERT_TRUE(Report->PrepareReport());
  auto pages = Printed();
  ASSERT_EQ(pages.size(), 1u);
  ASSERT_EQ(pages[0].size(), 6u);
  // The second row starts below the tallest cell of the first.
  const int firstTop = pages[0][0].Top, secondTop = pages[0][3].Top;
  EXPECT_GT(secondTop - firstTop, 3 * 15);
}

}  // namespace

namespace {

TEST_F(FrRun, ABandThatFitsAnEmptyPageMovesThereWhole) {
  Band(btMasterData, "MasterData1", 40, 20, "45");
  Text(20, 40, "[LINE#]");
  TfrBandView* summary = Band(btReportSummary, "ReportSummary1", 100, 400);
  summary->Flags |= frband::Stretched;
  Text(20, 100, "Summary", 380);
  ASSERT_TRUE(Report->PrepareReport());
  auto pages = Printed();
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].back().Text, "45");
  ASSERT_EQ(pages[1].size(), 1u);
  EXPECT_EQ(pages[1][0].Text, "Summary");
  EXPECT_EQ(pages[1][0].Top, Report->Pages()->Page(0)->TopMarginPx());
}

// A compression step that changes every byte, so a file read without it would be nonsense.
class TFlipCompressor : public TfrCompressor {
public:
  TFlipCompressor() { Enabled = true; }
  void Compress(TStream* Source, TStream* Destination) override { Copy(Source, Destination); }
  void DeCompress(TStream* Source, TStream* Destination) override { Copy(Source, Destination); }

private:
  static void Copy(TStream* Source, TStream* Destination) {
    Byte b;
    while (Source->Read(&b, 1) == 1) {
      b ^= 0x5A;
      Destination->WriteBuffer(&b, 1);
    }
  }
};

TEST_F(FrPrepared, FilesGoThroughTheCompressorAndTheReportsFileRoutines) {
  const auto before = Printed();
  const std::string file = (std::filesystem::temp_directory_path() / ("frfrp" + std::to_string(getpid()) + ".frp")).string();
  std::unique_ptr<TfrCompressor> plain = std::move(Globals->Compressor);
  Globals->Compressor = std::make_unique<TFlipCompressor>();
  Report->SavePreparedReport(file);
  Report->PreparedPages()->Clear();
  Report->LoadPreparedReport(file);
  EXPECT_FALSE(Report->RebuildAllowed);
  const auto after = Printed();
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t p = 0; p < after.size(); ++p) EXPECT_EQ(TextsOf(after[p]), TextsOf(before[p]));
  // Without the compressor the same file is refused.
  Globals->Compressor = std::move(plain);
  EXPECT_THROW(Report->LoadPreparedReport(file), EReadError);
  EXPECT_EQ(Report->PreparedPages()->Count(), 0);
  std::filesystem::remove(file);
}

}  // namespace

namespace {

TEST_F(FrRun, AMultipleReportFormsItsPagesOncePerRecordOfItsDataSet) {
  TzeVodaDataset* customers = Records("frCustomers", 3);
  Report->SetDataset(customers);
  Report->SetReportType(TfrReportType::rtMultiple);
  Values({{"CUST", [customers] { return Variant(customers->RecordIndex() + 1); }}});
  Band(btReportTitle, "ReportTitle1", 10, 20);
  Text(20, 10, "Customer [CUST]");
  Band(btMasterData, "MasterData1", 40, 20, "2");
  Text(20, 40, "[CUST].[LINE#]");
  ASSERT_TRUE(Report->PrepareReport());
  auto pages = Printed();
  ASSERT_EQ(pages.size(), 3u);
  for (int c = 1; c <= 3; ++c)
    EXPECT_EQ(TextsOf(pages[c - 1]), (std::vector<String>{"Customer " + IntToStr(c), IntToStr(c) + ".1",
                                                          IntToStr(c) + ".2"}));
}

TEST_F(FrRun, ABandScriptCanShowAnotherBandByName) {
  TfrBandView* title = Band(btReportTitle, "ReportTitle1", 10, 20);
  title->Memo.SetText("SHOWBAND(Extra)");
  Text(20, 10, "Title");
  TfrBandView* extra = Band(btChild, "Extra", 40, 20);
  Text(20, 40, "Extra");
  (void)extra;
  ASSERT_TRUE(Report->PrepareReport());
  EXPECT_EQ(AllTexts(), (std::vector<String>{"Extra", "Title"}));
}

}  // namespace
