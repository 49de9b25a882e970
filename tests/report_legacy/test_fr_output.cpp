// Views while a report runs: expansion of bracketed expressions, the before-print hook, tags,
// scripts that hide objects, suppression of repeated values, splitting a text over pages, the
// heights of stretchable objects, export filters and the error text of a failed expression.
#include "FrTestSupport.h"

#include "core/StringList.h"
#include "core/Streams.h"
#include "gui/GraphicsObjects.h"

namespace {

using frtest::TEngineTest;

class FrOutput : public TEngineTest {
protected:
  void SetUp() override {
    TEngineTest::SetUp();
    Report = std::make_unique<TfrReport>(nullptr);
    Report->SetName("Orders");
    Page = Report->Pages()->Add();
    frState().CurrentReport = Report.get();
    frState().CurrentPage = Page;
    frState().EngineMode = 1;
    M = new TfrMemoView;
    M->Name = "Memo1";
    M->SetViewBounds(10, 10, 200, 70);
    Page->AddObject(M);
  }

  void SetVar(const String& name, const Variant& v) { Globals->ScriptVariables->SetVariable(name, v); }

  // The records an emission wrote, read back as prepared objects.
  std::vector<std::unique_ptr<TfrMemoView>> Emitted(TMemoryStream& s) {
    std::vector<std::unique_ptr<TfrMemoView>> out;
    s.SetPosition(0);
    while (s.Position() < s.Size()) {
      Byte type = 0;
      s.ReadBuffer(&type, 1);
      EXPECT_EQ(type, 0);
      auto m = std::make_unique<TfrMemoView>();
      m->PreparedForm = true;
      m->ReadFromStream(&s);
      out.push_back(std::move(m));
    }
    return out;
  }

  std::unique_ptr<TfrReport> Report;
  TfrPage* Page = nullptr;
  TfrMemoView* M = nullptr;
};

TEST_F(FrOutput, SuppressedTextsPrintOnlyWhenTheyChange) {
  M->Memo.SetText("[V]");
  M->Flags |= frmemo::Suppress;
  TMemoryStream s;
  for (int v : {1, 1, 2, 2, 3}) {
    SetVar("V", Variant(v));
    M->EmitPrepared(&s);
  }
  auto out = Emitted(s);
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0]->Memo.Strings(0), "1");
  EXPECT_EQ(out[1]->Memo.Strings(0), "2");
  EXPECT_EQ(out[2]->Memo.Strings(0), "3");
  // Without Suppress every record prints.
  M->Flags &= ~frmemo::Suppress;
  TMemoryStream all;
  for (int i = 0; i < 3; ++i) M->EmitPrepared(&all);
  EXPECT_EQ(Emitted(all).size(), 3u);
}

TEST_F(FrOutput, ABeforePrintEventThatChangesTheTextStopsItsExpansion) {
  M->Memo.SetText("[1+1]");
  TMemoryStream s;
  M->EmitPrepared(&s);
  Report->SetOnBeforePrint(TEnterRectEvent::Lambda([](TStringList* memo, TfrView*) {
    memo->SetStrings(0, "= " + memo->Strings(0));
  }));
  M->EmitPrepared(&s);
  // An event that leaves the text as it was lets it expand.
  Report->SetOnBeforePrint(TEnterRectEvent::Lambda([](TStringList*, TfrView*) {}));
  M->EmitPrepared(&s);
  auto out = Emitted(s);
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0]->Memo.Strings(0), "2");
  EXPECT_EQ(out[1]->Memo.Strings(0), "= [1+1]");
  EXPECT_EQ(out[2]->Memo.Strings(0), "2");
}

TEST_F(FrOutput, ATagIsWrittenExpandedAndKeptAsItWas) {
  M->Memo.SetText("x");
  M->Tag = "[1+1]";
  M->FormatCode = 0x01010000 + '.' + 2 * 256;  // two decimals for the text, not for the tag
  TMemoryStream s;
  M->EmitPrepared(&s);
  auto out = Emitted(s);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0]->Tag, "2");
  EXPECT_EQ(M->Tag, "[1+1]");
  EXPECT_EQ(M->FormatCode, 0x01010000 + '.' + 2 * 256);
}

TEST_F(FrOutput, AnObjectItsScriptHidesEmitsNothingAndNeedsNoHeight) {
  M->Memo.SetText("text");
  M->EventScript.SetText("Memo1.Visible := False");
  EXPECT_EQ(M->CalcHeight(), 0);
  TMemoryStream s;
  M->Visible = 0xFFFF;
  M->LayoutPass = 0;
  M->EmitPrepared(&s);
  EXPECT_EQ(s.Size(), 0);
  EXPECT_FALSE(M->IsVisible());
  EXPECT_EQ(M->LayoutPass, 0);
}

TEST_F(FrOutput, ATextSplitOverPagesEmitsWhatFitsAndKeepsTheRest) {
  String text;
  for (int i = 1; i <= 10; ++i) text += "line" + IntToStr(i) + "\r\n";
  M->Memo.SetText(text);
  // Arial 10 at 96 dpi is 13 pixels high; with spacing 2 a line takes 15: 70 pixels hold 4.
  const int full = M->CalcHeight();
  EXPECT_EQ(full, 1 + 10 * 15 + 1);
  EXPECT_EQ(M->ExpandedMemo.Count(), 10);
  M->LayoutPass = 2;
  TMemoryStream s;
  M->EmitPrepared(&s);
  auto out = Emitted(s);
  ASSERT_EQ(out.size(), 1u);
  // Each of the four lines ends its paragraph, so no mark line is added.
  ASSERT_EQ(out[0]->Memo.Count(), 4);
  EXPECT_EQ(out[0]->Memo.Strings(0), "line1\x01");
  EXPECT_EQ(out[0]->Memo.Strings(3), "line4\x01");
  ASSERT_EQ(M->ExpandedMemo.Count(), 6);
  EXPECT_EQ(M->ExpandedMemo.Strings(0), "line5\x01");
  EXPECT_EQ(M->LayoutPass, 0);

  // One long paragraph: the four lines that fit end with a line holding only the mark.
  String words;
  for (int i = 0; i < 40; ++i) words += "word" + IntToStr(i) + " ";
  M->Memo.SetText(words);
  M->CalcHeight();
  const int total = M->ExpandedMemo.Count();
  ASSERT_GT(total, 6);
  M->LayoutPass = 2;
  TMemoryStream s2;
  M->EmitPrepared(&s2);
  out = Emitted(s2);
  ASSERT_EQ(out.size(), 1u);
  ASSERT_EQ(out[0]->Memo.Count(), 5);
  EXPECT_EQ(out[0]->Memo.Strings(0).substr(0, 6), "word0 ");
  EXPECT_EQ(out[0]->Memo.Strings(4), "\x01");
  EXPECT_EQ(M->ExpandedMemo.Count(), total - 4);
}

TEST_F(FrOutput, HeightsOfOneLineAndOfWhatIsLeft) {
  M->FrameWidth = 1;
  // Line step: spacing 2 + character height 13.
  EXPECT_EQ(M->OneLineHeight(), 2 + 15 + 2);
  EXPECT_EQ(M->LineGap, 15);
  // 70 - 2 - 2 = 66 = 4 × 15 + 6.
  EXPECT_EQ(M->LeftoverHeight(), 2 + 6 + 2);
  TfrLineView line;
  line.Height = 40;
  EXPECT_EQ(line.CalcHeight(), 40);
  EXPECT_EQ(line.OneLineHeight(), 1);
  EXPECT_EQ(line.LeftoverHeight(), 0);
}

// An export filter that keeps what it is handed.
class TRecordingFilter : public TfrExportFilter {
public:
  struct TLine {
    String Text;
    Word Frame;
    int X, Y;
  };
  void OnData(int X, int Y, TfrView* View) override { Objects.push_back({View->Name, 0, X, Y}); }
  void OnText(const TRect&, int X, int Y, const String& Text, Word FrameTyp, TfrView*) override {
    Lines.push_back({Text, FrameTyp, X, Y});
  }
  std::vector<TLine> Objects, Lines;
};

TEST_F(FrOutput, ExportFiltersGetTheObjectAndEachLineWithItsFrameBits) {
  TRecordingFilter filter;
  Report->CurrentFilter = &filter;
  M->Memo.SetText("one\r\ntwo\r\nthree");
  M->FrameTyp = 15;
  M->SendToExportFilter();
  ASSERT_EQ(filter.Objects.size(), 1u);
  EXPECT_EQ(filter.Objects[0].Text, "Memo1");
  ASSERT_EQ(filter.Lines.size(), 3u);
  EXPECT_EQ(filter.Lines[0].Text, "one");
  EXPECT_EQ(filter.Lines[0].Frame, 15 & ~2);
  EXPECT_EQ(filter.Lines[1].Frame, 15 & ~10);
  EXPECT_EQ(filter.Lines[2].Frame, 15 & ~8);
  EXPECT_EQ(filter.Lines[1].Y - filter.Lines[0].Y, 15);
  EXPECT_FALSE(M->ToExport);
  filter.Lines.clear();
  M->Memo.SetText("alone");
  M->SendToExportFilter();
  ASSERT_EQ(filter.Lines.size(), 1u);
  EXPECT_EQ(filter.Lines[0].Frame, 15);
  Report->CurrentFilter = nullptr;
}

TEST_F(FrOutput, AFailedExpressionBuildsTheErrorTextAndStopsTheRun) {
  M->Memo.SetText("[Missing]");
  frState().CurrentView = M;
  try {
    M->CalcHeight();
    FAIL() << "no error";
  } catch (const Exception& e) {
    Report->BuildExpressionError(e);
  }
  EXPECT_TRUE(frState().ErrorFlag);
  EXPECT_TRUE(Report->Terminated);
  EXPECT_EQ(frState().ErrorText,
            "计算时发生错误\r[Missing]\r\r报表: Orders\r对象: Memo1\r\r符号没定义 \"MISSING\"");
}

}  // namespace
