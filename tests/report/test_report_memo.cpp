// Text objects: expressions between delimiters, value formats, data binding with hidden zeros
// and repeated values, total pages, measuring, splitting across pages, styles, definitions and
// prepared-page difference text, and the classes a definition may name.
#include "core/DateUtils.h"
#include "core/Scope.h"
#include "core/Streams.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "gui/Colors.h"
#include "gui/GdiDC.h"
#include "gui/MeasuringDC.h"
#include "print/Metafile.h"
#include "report/frxBands.h"
#include "report/frxDBSet.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>

namespace {

// The report answers these tests' expressions from a table through OnGetValue; anything else
// goes to the script, where these texts do not compile.
class MemoTest : public ::testing::Test {
protected:
  TfrxReport Report{nullptr};
  TfrxCustomMemoView* Memo = nullptr;
  std::map<String, Variant> Values;
  std::map<String, int> Calls;

  void SetUp() override {
    Values = {{"1+2", 3}, {"1+1", 2}, {"IIF(x, '[', ']')", "both"}, {"b", true}, {"zero", 0}, {"s", "x\"y"}};
    Report.OnGetValue = TfrxGetValueEvent::Lambda([this](const String& e, Variant& v) {
      ++Calls[e];
      auto it = Values.find(e);
      if (it != Values.end()) v = it->second;
    });
    Memo = new TfrxMemoView(&Report);
    Memo->SetBounds(10, 10, 200, 100);
    Memo->Font()->SetName("Arial");
    Memo->Font()->SetSize(12);
  }

  String Fetch(const String& Text) {
    Memo->SetText(Text);
    Memo->FetchData();
    return Memo->Text();
  }
};

// A recording at the screen's resolution to draw on.
struct TScreen {
  std::unique_ptr<HDC__, void (*)(HDC)> Reference{CreateMeasuringDC(96), [](HDC dc) { DeleteDC(dc); }};
  TMetafile Metafile;
  std::unique_ptr<TMetafileCanvas> Canvas;
  TScreen() {
    Metafile.SetWidth(1000);
    Metafile.SetHeight(1000);
    Canvas = std::make_unique<TMetafileCanvas>(&Metafile, Reference.get());
  }
  String Text() {
    Canvas.reset();
    return Metafile.Text();
  }
};

TEST_F(MemoTest, ExpressionsBetweenDelimitersAreExpanded) {
  struct TCase {
    const char* Delimiters;
    const char* Text;
    const char* Expect;
  };
  const TCase cases[] = {
      {"[,]", "Sum: [1+2 #n%2,2f]", "Sum: 3,00"},          // a comma as decimal separator
      {"[,]", "[1+1 #n%2.1f] [1+2 #N#0.00]", "2.0 3.00"},
      {"[,]", "[IIF(x, '[', ']')]", "both"},                // delimiters in quotes belong to it
      {"<%,%>", "<%1+1%> and [1+1]", "2 and [1+1]"},
      {"[,]", "[1+", "[1+"},                                // no closing delimiter
      {"[,]", "a [1+1] b [1+", "a 2 b [1+"},
      {"[,]", "[] [1+1]", "[] 2"},
      {"[,]", "[b #BNo,Yes] [zero #BNo,Yes]", "Yes No"},
      {"[,]", "Page [TOTALPAGES#]", "Page [TotalPages#]"},  // replaced when drawing
      {"[,]", "二行\n[1+2] 第二", "二行\r\n3 第二"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Text);
    Memo->SetExpressionDelimiters(c.Delimiters);
    EXPECT_EQ(Fetch(c.Text), c.Expect);
  }
  EXPECT_EQ(Calls["IIF(x, '[', ']')"], 1);
  EXPECT_EQ(Calls.count("1+"), 0u);
  // The last value computed; without expressions allowed the text stays.
  EXPECT_EQ(VarToStr(Memo->Value()), "3");
  Memo->SetAllowExpressions(false);
  EXPECT_EQ(Fetch("[1+1]"), "[1+1]");
  Memo->SetAllowExpressions(true);
  // Hidden zeros: a number 0 prints nothing.
  Memo->SetHideZeros(true);
  EXPECT_EQ(Fetch("<[zero]>"), "<>");
  // An error of the expression reaches the caller.
  EXPECT_THROW(Fetch("[nosuch]"), Exception);
}

TEST_F(MemoTest, ValuesFormatByKind) {
  struct TCase {
    TfrxFormatKind Kind;
    const char* FormatStr;
    const char* Separator;
    Variant Value;
    const char* Expect;
  };
  const TCase cases[] = {
      {fkBoolean, "No,Yes", "", Variant(true), "Yes"},
      {fkBoolean, "No,Yes", "", Variant(false), "No"},
      {fkBoolean, "No,Yes", "", Variant(1), "No"},
      {fkBoolean, "_,x", "", Variant(true), "x"},
      {fkDateTime, "dd.mm.yyyy", "", Variant::FromDate(EncodeDate(2026, 12, 11)), "11.12.2026"},
      {fkNumeric, "#,##0.00", "", Variant(1234.5), "1,234.50"},
      {fkNumeric, "%2.2f", ",", Variant(3), "3,00"},
      {fkNumeric, "%2.2f", ",.", Variant(3), "3.00"},  // not one character: kept
      {fkNumeric, "%d", "", Variant(2.5), "2.5"},      // a format error gives the plain text
      {fkNumeric, "%2.2f", "", Variant("abc"), "abc"},
      {fkDateTime, "yyyy", "", Variant("abc"), "abc"},
      {fkText, "", "", Variant(12), "12"},
      {fkNumeric, "%2.2f", "", Null(), ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Expect);
    TfrxFormat f;
    f.SetKind(c.Kind);
    f.SetFormatStr(c.FormatStr);
    f.SetDecimalSeparator(c.Separator);
    EXPECT_EQ(Memo->FormatValue(c.Value, &f), c.Expect);
  }
  // Without a format the object's own.
  Memo->DisplayFormat()->SetKind(fkNumeric);
  Memo->DisplayFormat()->SetFormatStr("%.1f");
  EXPECT_EQ(Memo->FormatValue(Variant(2), nullptr), "2.0");
}

TEST_F(MemoTest, DataFieldsWithHiddenZerosAndSuppressedRepeats) {
  auto* ds = new TfrxUserDataSet(&Report);
  ds->SetUserName("G");
  ds->Fields()->SetText("V");
  Variant current;
  ds->OnGetValue = TfrxGetValueEvent::Lambda([&](const String&, Variant& v) { v = current; });
  Memo->SetDataSet(ds);
  Memo->SetDataField("V");
  Memo->SetText("design");

  Memo->SetHideZeros(true);
  struct TCase {
    Variant Value;
    const char* Expect;
  };
  for (const TCase& c : {TCase{Variant(0), ""}, TCase{Variant("0"), "0"}, TCase{Variant(7), "7"}}) {
    current = c.Value;
    Memo->FetchData();
    EXPECT_EQ(Memo->Text(), c.Expect);
  }
  Memo->SetHideZeros(false);
  Memo->SetSuppressRepeated(true);
  std::vector<String> printed;
  for (const char* v : {"A", "A", "B", "B", "A"}) {
    current = Variant(v);
    Memo->FetchData();
    printed.push_back(Memo->Text());
  }
  EXPECT_EQ(printed, (std::vector<String>{"A", "", "B", "", "A"}));
  // A format other than text formats the value.
  Memo->SetSuppressRepeated(false);
  Memo->DisplayFormat()->SetKind(fkNumeric);
  Memo->DisplayFormat()->SetFormatStr("%2.2f");
  current = Variant(2);
  Memo->FetchData();
  EXPECT_EQ(Memo->Text(), "2.00");
  // A data-bound text is not kept for the print state; the designer shows the binding.
  Memo->SaveStateForPrint();
  Memo->SetText("changed");
  Memo->RestoreStateAfterPrint();
  EXPECT_EQ(Memo->Text(), "changed");
  Memo->SetIsDesigning(true);
  TScreen screen;
  Memo->DrawOnCanvas(screen.Canvas.get(), 1, 1, 0, 0);
  EXPECT_EQ(Memo->Text(), "[G.\"V\"]");
}

TEST_F(MemoTest, TotalPagesAreReplacedEverywhereWhenDrawn) {
  Memo->SetText("[TotalPages#] of [totalpages#]\n[TOTALPAGES#]");
  Memo->SetTotalPagesValue(5);
  EXPECT_EQ(Memo->ComponentValueText(), "5 of 5\r\n5");
  TScreen screen;
  Memo->DrawOnCanvas(screen.Canvas.get(), 1, 1, 0, 0);
  EXPECT_EQ(Memo->Text(), "5 of 5\r\n5");
  String drawn = screen.Text();
  EXPECT_NE(drawn.find("5 of 5"), String::npos) << drawn;
  EXPECT_EQ(drawn.find("Total"), String::npos) << drawn;
  // Without expressions the token is text.
  Memo->SetAllowExpressions(false);
  Memo->SetText("[TotalPages#]");
  EXPECT_EQ(Memo->ComponentValueText(), "[TotalPages#]");
}

TEST_F(MemoTest, MeasuringWidthAndHeight) {
  // Font size 12 measures 100 reference pixels: lines of 16 + 2.
  Memo->SetText("one\ntwo\nthree");
  EXPECT_EQ(Memo->CalcHeight(), 3 * 18 + 2 * 1);
  Memo->Frame()->SetTyp({ftLeft, ftRight, ftTop, ftBottom});
  Memo->Frame()->SetWidth(1.5);
  EXPECT_EQ(Memo->CalcHeight(), 3 * 18 + 2 * 1 + 1);  // (1.5 - 1) / 2 above, 1.5 / 2 below
  Memo->Frame()->SetTyp({});
  // Rotation does not enter.
  Memo->SetRotation(90);
  EXPECT_EQ(Memo->CalcHeight(), 56);
  Memo->SetRotation(-90);
  EXPECT_EQ(Memo->Rotation(), 270);
  Memo->SetRotation(0);

  // AutoWidth keeps the right edge with haRight, the centre with haCenter.
  struct TCase {
    TfrxHAlign Align;
    double Anchor;  // 0 left, 0.5 centre, 1 right
  };
  for (TCase c : {TCase{haLeft, 0}, TCase{haRight, 1}, TCase{haCenter, 0.5}}) {
    SCOPED_TRACE(int(c.Align));
    Memo->SetBounds(100, 10, 300, 60);
    Memo->SetAutoWidth(true);
    Memo->SetHAlign(c.Align);
    double anchor = double(Memo->Left() + Memo->Width() * c.Anchor);
    Extended expected = Memo->CalcWidth();
    TScreen screen;
    Memo->DrawOnCanvas(screen.Canvas.get(), 1, 1, 0, 0);
    EXPECT_NEAR(double(Memo->Width()), double(expected), 0.5);
    EXPECT_LT(Memo->Width(), 300);
    EXPECT_NEAR(double(Memo->Left() + Memo->Width() * c.Anchor), anchor, 1e-9);
  }
}

TEST_F(MemoTest, SplittingAcrossPages) {
  Memo->SetText("line 1\nline 2\nline 3\nline 4\nline 5");
  Memo->SetHeight(2 * 18 + 2 + 5);  // two lines and a little
  Memo->ResetPart();
  Extended unused = Memo->FitPart();
  EXPECT_EQ(Memo->Text(), "line 1\r\nline 2");
  // The text area is 43 rows (GapY above, none below, its last row counted): 7 stay free.
  EXPECT_NEAR(double(unused), 43 - 2 * 18, 1e-9);
  EXPECT_EQ(Utf16ToUtf8(Memo->PartText()), "line 3\r\nline 4\r\nline 5\r\n");
  Memo->FitPart();
  EXPECT_EQ(Memo->Text(), "line 3\r\nline 4");
  Memo->FitPart();
  EXPECT_EQ(Memo->Text(), "line 5");
  EXPECT_EQ(Utf16ToUtf8(Memo->PartText()), "");
  // A box below one line keeps the whole text for the next page.
  Memo->SetText("alpha\nbeta");
  Memo->SetHeight(8);
  Memo->ResetPart();
  EXPECT_EQ(Memo->FitPart(), 8);
  EXPECT_EQ(Utf16ToUtf8(Memo->PartText()), "alpha\r\nbeta\r\n");
  EXPECT_EQ(Memo->Text(), "");

  // FlowTo: the surplus goes to the second object, taken as text.
  auto* second = new TfrxMemoView(&Report);
  second->SetText("[1+1]");
  Memo->SetHeight(2 * 18 + 2 + 5);
  Memo->SetFlowTo(second);
  Fetch("[1+1] one\n[1+2] two\nthree [1+1]");
  EXPECT_EQ(Memo->Text(), "2 one\r\n3 two");
  EXPECT_EQ(second->Text(), "three 2");
  EXPECT_FALSE(second->AllowExpressions());
  second->FetchData();
  EXPECT_EQ(second->Text(), "three 2");
  delete second;
  EXPECT_EQ(Memo->FlowTo(), nullptr);
}

TEST_F(MemoTest, HighlightColoursOnlyWhileDrawing) {
  Values["hot"] = true;
  Memo->Highlight()->SetCondition("hot");
  Memo->Highlight()->SetColor(clYellow);
  Memo->SetColor(clWhite);
  Fetch("x");
  EXPECT_TRUE(Memo->Highlight()->Active());
  TScreen screen;
  Memo->DrawOnCanvas(screen.Canvas.get(), 1, 1, 0, 0);
  EXPECT_EQ(Memo->Color(), clWhite);
  Values["hot"] = false;
  Fetch("x");
  EXPECT_FALSE(Memo->Highlight()->Active());
}

TEST_F(MemoTest, StylesGiveColourFontAndFrame) {
  TfrxStyles styles(nullptr);
  TfrxStyleItem* title = styles.AppendItem();
  title->SetName("Title");
  title->SetColor(clRed);
  title->Font()->SetName("宋体");
  title->Font()->SetStyle({fsBold});
  title->Frame()->SetTyp({ftTop});
  Report.AssignStyles(&styles);
  Memo->SetStyle("Title");
  EXPECT_EQ(Memo->Color(), clRed);
  EXPECT_EQ(Memo->Font()->Name(), "宋体");
  EXPECT_TRUE(Memo->Font()->Style().Contains(fsBold));
  EXPECT_EQ(Memo->Frame()->Typ(), TfrxFrameTypes{ftTop});
  // Styles without it: the name goes, the look stays.
  TfrxStyles other(nullptr);
  other.AppendItem()->SetName("Body");
  Report.AssignStyles(&other);
  EXPECT_EQ(Memo->Style(), "");
  EXPECT_EQ(Memo->Color(), clRed);
  EXPECT_EQ(Memo->Font()->Name(), "宋体");
  EXPECT_EQ(Memo->Frame()->Typ(), TfrxFrameTypes{ftTop});
  // An unknown name changes nothing either.
  Memo->SetStyle("Nothing");
  EXPECT_EQ(Memo->Color(), clRed);
}

TEST_F(MemoTest, DefinitionsAndDifferenceText) {
  auto* page = new TfrxReportPage(&Report);
  page->SetName("Page1");
  auto* band = new TfrxReportTitle(&Report);
  band->SetParent(page);
  band->SetName("Title1");
  auto* memo = new TfrxMemoView(&Report);
  memo->SetParent(band);
  memo->SetName("Memo9");
  memo->SetText("合同 \"甲方\" & <乙方>\n第二行\n");
  memo->SetHAlign(haBlock);
  memo->SetRotation(270);
  memo->SetGapX(3);
  memo->SetLineSpacing(4);
  memo->SetExpressionDelimiters("<%,%>");
  auto* sys = new TfrxSysMemoView(&Report);
  sys->SetParent(band);
  sys->SetName("Sys1");
  sys->SetText("[Page#]");

  TStringStream out;
  Report.SaveToStream(&out, true, false);
  String text = out.DataString();
  EXPECT_EQ(text.find("LineSpacing=\"2\""), String::npos);
  EXPECT_EQ(text.find("GapY="), String::npos);  // at their defaults they are not written
  TfrxReport again(nullptr);
  TStringStream in(text);
  again.LoadFromStream(&in);
  auto* m = dynamic_cast<TfrxMemoView*>(again.FindObject("Memo9"));
  ASSERT_NE(m, nullptr) << text;
  EXPECT_EQ(m->Text(), memo->Text());
  EXPECT_EQ(m->HAlign(), haBlock);
  EXPECT_EQ(m->Rotation(), 270);
  EXPECT_EQ(m->GapX(), 3);
  EXPECT_EQ(m->GapY(), 1);
  EXPECT_EQ(m->LineSpacing(), 4);
  EXPECT_EQ(m->ExpressionDelimiters(), "<%,%>");
  auto* s = dynamic_cast<TfrxSysMemoView*>(again.FindObject("Sys1"));
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->Text(), "[Page#]");

  // The difference text against a fresh object: what differs, then always the text.
  TfrxMemoView reference(nullptr);
  String diff = memo->DiffAttributes(&reference);
  EXPECT_NE(diff.find(" GapX=\"3\""), String::npos) << diff;
  EXPECT_NE(diff.find(" HAlign=\"3\""), String::npos) << diff;
  EXPECT_NE(diff.find(" LineSpacing=\"4\""), String::npos) << diff;
  EXPECT_NE(diff.find(" Rotation=\"270\""), String::npos) << diff;
  EXPECT_EQ(diff.find(" GapY="), String::npos) << diff;
  std::size_t u = diff.find(" u=\"");
  ASSERT_NE(u, String::npos) << diff;
  EXPECT_LT(diff.find(" LineSpacing="), u);
  EXPECT_GT(diff.find(" Rotation="), u);
  // The text in UTF-8, escaped for an attribute.
  String value = diff.substr(u + 4, diff.find('"', u + 4) - (u + 4));
  EXPECT_EQ(value.find('\n'), String::npos);
  EXPECT_NE(value.find("&#34;"), String::npos);
  EXPECT_NE(value.find("合同"), String::npos);  // UTF-8, not escaped
  reference.SetText("");
  EXPECT_NE(reference.DiffAttributes(&reference).find(" u=\"\""), String::npos);
}

TEST(MemoClasses, PublishedSetsAndRegistration) {
  // The classes a report definition may name: all of them are known.
  for (const char* name :
       {"TfrxChild", "TfrxColumnFooter", "TfrxColumnHeader", "TfrxCustomMemoView", "TfrxMasterData",
        "TfrxDetailData", "TfrxSubdetailData", "TfrxDataBand4", "TfrxDataBand5", "TfrxDataBand6", "TfrxDialogPage",
        "TfrxFooter", "TfrxFrame", "TfrxGroupFooter", "TfrxGroupHeader", "TfrxHeader", "TfrxHighlight",
        "TfrxLineView", "TfrxMemoView", "TfrxOverlay", "TfrxPageFooter", "TfrxPageHeader", "TfrxPictureView",
        "TfrxReport", "TfrxReportPage", "TfrxReportSummary", "TfrxReportTitle", "TfrxShapeView", "TfrxSubreport",
        "TfrxSysMemoView", "TfrxStyleItem", "TfrxNullBand", "TfrxCustomLineView"})
    EXPECT_NE(GetClass(name), nullptr) << name;
  struct TCase {
    const char* Property;
    bool Memo, System;
  };
  const TCase cases[] = {{"AllowExpressions", true, false}, {"FlowTo", true, false}, {"WordBreak", true, false},
                         {"Underlines", true, false},       {"AutoWidth", true, true}, {"Memo", true, true},
                         {"Highlight", true, true},         {"Font", true, true},      {"Rotation", true, true},
                         {"StretchMode", true, true},       {"TagStr", true, true}};
  for (const TCase& c : cases) {
    EXPECT_EQ(TfrxMemoView::StaticClass()->FindProperty(c.Property) != nullptr, c.Memo) << c.Property;
    EXPECT_EQ(TfrxSysMemoView::StaticClass()->FindProperty(c.Property) != nullptr, c.System) << c.Property;
  }
  TfrxSysMemoView sys(nullptr);
  EXPECT_TRUE(sys.AllowExpressions());
  EXPECT_FALSE(sys.AllowHTMLTags());
  EXPECT_FALSE(sys.StoreFullAttributes());
  EXPECT_EQ(sys.DisplayTypeName(), "System text");
  EXPECT_EQ(TfrxMemoView(nullptr).DisplayTypeName(), "Text object");
  // Outside a report a text object measures with the shared engine.
  TfrxMemoView loose(nullptr);
  loose.Font()->SetSize(12);
  loose.SetText("a\nb");
  EXPECT_EQ(&loose.DrawTextEngine(), &SharedDrawText());
  EXPECT_EQ(loose.CalcHeight(), 2 * 18 + 2);
  EXPECT_FALSE(SharedDrawText().Busy());
  TfrxReport report(nullptr);
  auto* owned = new TfrxMemoView(&report);
  EXPECT_EQ(&owned->DrawTextEngine(), &report.DrawTextEngine());
}

}  // namespace
