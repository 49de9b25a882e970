// The rich edit's formatting: streams read and written with their formats, formats that follow
// the text as it is edited, attributes of the selection and the paragraphs, undo and search,
// damaged streams, range formatting with runs, and a stream checked by the office suite.
#include "gui/ComCtrlsBasic.h"
#include "gui/Graphics.h"
#include "gui/WinGDI.h"

#include "core/Streams.h"
#include "core/StrUtils.h"

#include "../../common/OfficeConvert.h"
#include "../../common/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<TRichEdit> Edit(const String& Rtf = "") {
  auto e = std::make_unique<TRichEdit>(nullptr);
  if (!Rtf.empty()) e->SetRtfText(Rtf);
  return e;
}

TRichCharFormat FormatAt(TRichEdit* E, int I) {
  TRichDocument d = E->Document();
  return d.Formats[d.CharFormat[static_cast<std::size_t>(I)]];
}

TEST(RichEdit, StreamsKeepTheirFormattingThroughAReadAndAWrite) {
  const char* rtf =
      "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}{\\f1\\fswiss Arial;}}"
      "{\\colortbl ;\\red255\\green0\\blue0;}"
      "\\pard\\qc\\li720\\fi-360\\ri240\\f0\\fs24 plain {\\b bold}{\\i\\ul it}\\par"
      "\\pard{\\*\\pn\\pnlvlblt\\pnindent0{\\pntxtb\\'B7}}\\f1\\fs20\\cf1{\\strike red} {\\protect p}\\par}";
  auto e = Edit(rtf);
  EXPECT_EQ(e->Text(), "plain boldit\r\nred p");
  struct Case {
    int at;
    const char* name;
    int half;
    int color;
    bool bold, italic, underline, strike, prot;
  };
  const Case cases[] = {
      {0, "宋体", 24, -1, false, false, false, false, false},
      {6, "宋体", 24, -1, true, false, false, false, false},
      {11, "宋体", 24, -1, false, true, true, false, false},
      {15, "Arial", 20, 0x0000FF, false, false, false, true, false},
      {18, "Arial", 20, 0x0000FF, false, false, false, false, true},
  };
  for (int round = 0; round < 2; ++round) {
    for (const Case& c : cases) {
      TRichCharFormat f = FormatAt(e.get(), c.at);
      EXPECT_EQ(f.Name, c.name) << c.at << " round " << round;
      EXPECT_EQ(f.HalfPoints, c.half) << c.at;
      EXPECT_EQ(f.Color, c.color) << c.at;
      EXPECT_EQ(f.Bold, c.bold) << c.at;
      EXPECT_EQ(f.Italic, c.italic) << c.at;
      EXPECT_EQ(f.Underline, c.underline) << c.at;
      EXPECT_EQ(f.StrikeOut, c.strike) << c.at;
      EXPECT_EQ(f.Protected, c.prot) << c.at;
    }
    TRichDocument d = e->Document();
    ASSERT_EQ(d.Paragraphs.size(), 2u);
    EXPECT_EQ(d.Paragraphs[0], (TRichParaFormat{2, 720, -360, 240, false}));
    EXPECT_EQ(d.Paragraphs[1], (TRichParaFormat{0, 0, 0, 0, true}));
    // What the edit writes reads back the same.
    e = Edit(e->RtfText());
  }
}

TEST(RichEdit, DamagedStreamsLoadWhatCanBeRead) {
  String deep = "{\\rtf1 ";
  for (int i = 0; i < 10000; ++i) deep += "{\\b ";
  deep += "deep";
  for (int i = 0; i < 10000; ++i) deep += "}";
  deep += " after}";
  struct Case {
    String rtf;
    const char* text;
  };
  const Case cases[] = {
      {deep, "deep after"},
      {"{\\rtf1 open {\\b bold", "open bold"},           // cut short
      {"{\\rtf1 a}}}} b}", "a b"},                       // more closing braces than opened
      {"{\\rtf1 x\\'4", "x"},                            // a hex byte cut short
      {"{\\rtf1 {\\fonttbl{\\f0 Arial;}", ""},           // only a table
      {"{\\rtf1 \\unknownword12 keep\\par}", "keep"},    // unknown words are skipped
  };
  for (const Case& c : cases) {
    auto e = Edit(c.rtf);
    EXPECT_EQ(e->Text(), c.text) << c.rtf.substr(0, 40);
  }
  // Text deep in the nesting keeps the formatting of the levels read.
  auto e = Edit(deep);
  EXPECT_TRUE(FormatAt(e.get(), 0).Bold);
  EXPECT_FALSE(FormatAt(e.get(), 5).Bold);
}

TEST(RichEdit, FormatsFollowTheTextAsItIsEdited) {
  auto e = Edit("{\\rtf1 ab{\\b CD}ef\\par gh\\par}");
  ASSERT_EQ(e->Text(), "abCDef\r\ngh");
  // Typed inside the bold run: bold. Replacing a selection: the first replaced character's.
  e->SetSelStart(3);
  e->SetSelLength(0);
  e->SetSelText("x");
  EXPECT_EQ(e->Text(), "abCxDef\r\ngh");
  EXPECT_TRUE(FormatAt(e.get(), 3).Bold);
  e->SetSelStart(2);
  e->SetSelLength(3);
  e->SetSelText("[v]");
  EXPECT_EQ(e->Text(), "ab[v]ef\r\ngh");
  for (int i = 2; i < 5; ++i) EXPECT_TRUE(FormatAt(e.get(), i).Bold) << i;
  EXPECT_FALSE(FormatAt(e.get(), 5).Bold);
  // Paragraph formats follow their breaks: a new break copies, a removed one merges.
  e->SetSelStart(0);
  e->SetSelLength(0);
  e->Paragraph()->SetAlignment(taCenter);
  e->SetSelStart(9);  // in "gh"
  e->Paragraph()->SetAlignment(taRightJustify);
  e->SetSelStart(2);
  e->SetSelText("\r\n");
  TRichDocument d = e->Document();
  ASSERT_EQ(d.Paragraphs.size(), 3u);
  EXPECT_EQ(d.Paragraphs[0].Alignment, 2);
  EXPECT_EQ(d.Paragraphs[1].Alignment, 2);
  EXPECT_EQ(d.Paragraphs[2].Alignment, 1);
  e->SetSelStart(2);
  e->SetSelLength(2);
  e->SetSelText("");
  d = e->Document();
  ASSERT_EQ(d.Paragraphs.size(), 2u);
  EXPECT_EQ(d.Paragraphs[1].Alignment, 1);
  EXPECT_EQ(d.CharFormat.size(), d.Text.size());
}

TEST(RichEdit, AttributesOfTheSelectionTheDefaultsAndTheParagraphs) {
  auto e = Edit();
  e->SetText("one two");
  e->SetSelStart(4);
  e->SetSelLength(3);
  TFontStyles bold;
  bold.Include(fsBold);
  e->SelAttributes()->SetStyle(bold);
  e->SelAttributes()->SetSize(14);
  e->SelAttributes()->SetName("Arial");
  e->SelAttributes()->SetColor(clRed);
  EXPECT_TRUE(e->SelAttributes()->Style().Contains(fsBold));
  EXPECT_EQ(e->SelAttributes()->Size(), 14);
  EXPECT_EQ(e->SelAttributes()->Name(), "Arial");
  EXPECT_EQ(e->SelAttributes()->Color(), clRed);
  EXPECT_FALSE(FormatAt(e.get(), 3).Bold);
  // With nothing selected the defaults are what typed text takes.
  e->SetSelStart(0);
  e->SetSelLength(0);
  e->DefAttributes()->SetSize(20);
  e->SetSelText("Z");
  EXPECT_EQ(FormatAt(e.get(), 0).HalfPoints, 40);
  // Indents: the first line's start, the other lines' offset from it, the right room.
  e->Paragraph()->SetFirstIndent(10);
  e->Paragraph()->SetLeftIndent(5);
  e->Paragraph()->SetRightIndent(7);
  e->Paragraph()->SetNumbering(nsBullet);
  EXPECT_EQ(e->Paragraph()->FirstIndent(), 10);
  EXPECT_EQ(e->Paragraph()->LeftIndent(), 5);
  EXPECT_EQ(e->Paragraph()->RightIndent(), 7);
  EXPECT_EQ(e->Paragraph()->Numbering(), nsBullet);
  EXPECT_EQ(e->Document().Paragraphs[0], (TRichParaFormat{0, 300, -100, 140, true}));
}

TEST(RichEdit, UndoTakesBackTextAndFormattingAndSearchFindsWords) {
  auto e = Edit();
  e->SetText("alpha beta");
  e->ClearUndo();
  EXPECT_FALSE(e->CanUndo());
  e->SetSelStart(0);
  e->SetSelLength(5);
  TFontStyles it;
  it.Include(fsItalic);
  e->SelAttributes()->SetStyle(it);
  e->SetSelStart(10);
  e->SetSelText(" gamma");
  EXPECT_EQ(e->Text(), "alpha beta gamma");
  e->Undo();
  EXPECT_EQ(e->Text(), "alpha beta");
  EXPECT_TRUE(FormatAt(e.get(), 0).Italic);
  e->Perform(EM_UNDO, 0, 0);
  EXPECT_FALSE(FormatAt(e.get(), 0).Italic);
  EXPECT_FALSE(e->CanUndo());

  e->SetText("Beta alphabet beta");
  struct Case {
    const char* what;
    int start, length;
    TSearchTypes options;
    int found;
  };
  TSearchTypes whole, exact;
  whole.Include(stWholeWord);
  exact.Include(stMatchCase);
  const Case cases[] = {
      {"beta", 0, -1, {}, 0},         {"beta", 1, -1, {}, 14},   {"beta", 0, -1, exact, 14},
      {"alpha", 0, -1, whole, -1},    {"alpha", 0, -1, {}, 5},   {"beta", 1, 10, {}, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(e->FindText(c.what, c.start, c.length, c.options), c.found) << c.what << c.start;
}

TEST(RichEdit, ARangeIsMeasuredAndDrawnRunByRun) {
  auto e = Edit("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 small {\\fs72 BIG}\\par next\\par}");
  TBitmap page;
  page.SetSize(400, 200);
  page.Canvas()->Brush()->SetColor(clWhite);
  page.Canvas()->FillRect({0, 0, 400, 200});
  HDC dc = page.Canvas()->Handle();
  const int len = e->GetTextLen();
  TFormatRange fr;
  fr.hdc = fr.hdcTarget = dc;
  fr.cpMin = 0;
  // The first line is as tall as its biggest run: a height that holds 10-point text but not
  // 36-point text fits nothing; a generous one everything.
  fr.rc = {0, 0, 400 * 15, 20 * 15};
  EXPECT_EQ(e->FormatRange(fr, false), 0);
  fr.rc = {0, 0, 400 * 15, 60 * 15};
  EXPECT_EQ(e->FormatRange(fr, false), 11) << "the first line fits, the second begins after its break";
  fr.rc = {0, 0, 400 * 15, 200 * 15};
  EXPECT_EQ(e->FormatRange(fr, false), len);
  EXPECT_EQ(e->FormatRange(fr, true), len);
  // The big run is drawn big: dark pixels reach far below the small text's height.
  int lowest = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 400; ++x)
      if ((page.Canvas()->Pixels(x, y) & 0xFF) < 0x80) lowest = std::max(lowest, y);
  EXPECT_GT(lowest, 30);
  // From the middle on, the range starts a line there.
  fr.cpMin = 11;
  EXPECT_EQ(e->FormatRange(fr, false), len);
}

TEST(RichEdit, AStreamTheEditWritesIsReadByTheOfficeSuite) {
  TempFolder dir;
  auto e = Edit();
  e->SetText("普通 粗体 italic");
  e->SetSelStart(3);
  e->SetSelLength(2);
  TFontStyles bold;
  bold.Include(fsBold);
  e->SelAttributes()->SetStyle(bold);
  e->SetSelStart(6);
  e->SetSelLength(6);
  TFontStyles it;
  it.Include(fsItalic);
  e->SelAttributes()->SetStyle(it);
  e->Lines()->SaveToFile(dir.Path() + "doc.rtf");
  const String html = ConvertWithOffice(dir, dir.Path() + "doc.rtf", "html", ".html");
  ASSERT_FALSE(html.empty());
  EXPECT_NE(html.find("普通"), String::npos);
  auto marked = [&](const String& tag, const String& text) {
    const std::size_t at = html.find(text);
    if (at == String::npos) return false;
    const std::size_t open = html.rfind("<" + tag + ">", at), close = html.rfind("</" + tag + ">", at);
    return open != String::npos && (close == String::npos || close < open);
  };
  EXPECT_TRUE(marked("b", "粗体")) << html;
  EXPECT_TRUE(marked("i", "italic")) << html;
  EXPECT_FALSE(marked("b", "普通")) << html;
}

}  // namespace
