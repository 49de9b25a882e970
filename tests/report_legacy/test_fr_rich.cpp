// The rich-text object of the older engine: its record and the .frf file, expressions inside
// formatted text, heights, stretching and splitting over pages in a run, drawing, the newer
// XML format, and the editor dialog driven with real keys and mouse.
#include "FrTestSupport.h"

#include "report_legacy/FR_ClassPrepared.h"
#include "report_legacy/FR_Rich.h"
#include "report_legacy/FR_Utils.h"

#include "GuiTestUtil.h"

#include "core/StrUtils.h"
#include "core/Streams.h"
#include "gui/Buttons.h"
#include "gui/Canvas.h"
#include "gui/ComboBox.h"
#include "gui/Dialogs.h"
#include "gui/ExtCtrls.h"
#include "gui/Pictures.h"
#include "gui/RichEdit.h"
#include "gui/StdCtrls.h"
#include "gui/Timers.h"
#include "gui/Window.h"

#include "../common/TempFolder.h"

#include <QDir>
#include <QInputMethodEvent>

#include <memory>

namespace {

using frtest::TEngineTest;

const char* const kBoldRtf = "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 plain {\\b [1+1] bold}\\par}";

TRichCharFormat FormatAt(TCustomRichEdit* E, int I) {
  TRichDocument d = E->Document();
  return d.Formats[d.CharFormat[static_cast<std::size_t>(I)]];
}

String Lines(int From, int To) {
  String s;
  for (int i = From; i <= To; ++i) s += "line " + IntToStr(i) + (i < To ? "\\par " : "");
  return "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 " + s + "\\par}";
}

class FrRich : public TEngineTest {
protected:
  void SetUp() override {
    TEngineTest::SetUp();
    Owner = std::make_unique<TComponent>(nullptr);
    Report = new TfrReport(Owner.get());
    Report->SetName("frReport");
    Page = Report->Pages()->Add();
    Page->Name = "Page1";
    frState().CurrentReport = Report;
    RegisterRichView();  // other cases empty the add-in registry
  }

  TfrRichView* Rich(int left, int top, int width, int height, const String& rtf) {
    auto* v = new TfrRichView;
    v->Name = "Rich" + IntToStr(++FNames);
    v->SetViewBounds(left, top, width, height);
    v->RichEdit->SetRtfText(rtf);
    Page->AddObject(v);
    return v;
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

  // The rich objects of every prepared page, page by page.
  std::vector<std::vector<String>> PreparedTexts() {
    std::vector<std::vector<String>> out;
    TfrEMFPages* pages = Report->PreparedPages();
    for (int i = 0; i < pages->Count(); ++i) {
      pages->ObjectsToPage(i);
      std::vector<String> texts;
      for (const auto& v : pages->PageInfo(i).PageObject->Objects)
        if (auto* r = dynamic_cast<TfrRichView*>(v.get())) texts.push_back(r->RichEdit->Text());
      out.push_back(texts);
    }
    return out;
  }

  std::unique_ptr<TComponent> Owner;
  TfrReport* Report = nullptr;
  TfrPage* Page = nullptr;
  int FNames = 0;
};

TEST_F(FrRich, TheRecordHoldsTheTextBetweenItsFlagAndItsEndPosition) {
  // An empty text: the flag 0 and an end five bytes on, nothing between.
  TfrRichView empty;
  TMemoryStream s;
  empty.WriteToStream(&s);
  const Int64 size = s.Size();
  s.SetPosition(size - 5);
  EXPECT_EQ(frstream::ReadByte(&s), 0);
  EXPECT_EQ(frstream::ReadInt(&s), size);

  // A bold text and a second record behind it: each reads back whole.
  TfrRichView a, b;
  a.RichEdit->SetRtfText(kBoldRtf);
  a.Flags |= frmemo::TextOnly;
  b.RichEdit->SetRtfText(Lines(1, 2));
  TMemoryStream two;
  a.WriteToStream(&two);
  b.WriteToStream(&two);
  two.SetPosition(0);
  TfrRichView ra, rb;
  ra.ReadFromStream(&two);
  rb.ReadFromStream(&two);
  EXPECT_EQ(two.Position(), two.Size());
  EXPECT_EQ(ra.RichEdit->Text(), "plain [1+1] bold");
  EXPECT_FALSE(FormatAt(ra.RichEdit, 0).Bold);
  EXPECT_TRUE(FormatAt(ra.RichEdit, 6).Bold);
  EXPECT_EQ(FormatAt(ra.RichEdit, 0).Name, "Arial");
  EXPECT_TRUE(ra.Flags & frmemo::TextOnly);
  EXPECT_EQ(rb.RichEdit->Text(), "line 1\r\nline 2");

  // An end position outside the stream is refused instead of read from.
  TMemoryStream bad;
  TfrRichView c;
  c.WriteToStream(&bad);
  bad.SetPosition(bad.Size() - 4);
  frstream::WriteInt(&bad, 1 << 20);
  bad.SetPosition(0);
  TfrRichView rc;
  EXPECT_THROW(rc.ReadFromStream(&bad), EReadError);
}

TEST_F(FrRich, AReportFileKeepsTheRichObjectAndItsFormatting) {
  TempFolder dir;
  Band(btMasterData, "MasterData1", 40, 40, "1");
  TfrRichView* v = Rich(20, 40, 300, 30, kBoldRtf);
  v->GapX = 3;
  Report->SaveToFile(dir.Path() + "rich.frf");
  TfrReport back(Owner.get());
  back.LoadFromFile(dir.Path() + "rich.frf");
  TfrPage* p = back.Pages()->Page(0);
  TfrRichView* r = nullptr;
  for (int i = 0; i < p->ObjectCount(); ++i)
    if (auto* x = dynamic_cast<TfrRichView*>(p->Object(i))) r = x;
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->AddInClassName, "TfrRichView");
  EXPECT_EQ(r->GapX, 3);
  EXPECT_EQ(r->RichEdit->Text(), "plain [1+1] bold");
  EXPECT_TRUE(FormatAt(r->RichEdit, 8).Bold);
  // The add-in is registered under its name with the hint naming its locale text.
  bool listed = false;
  for (const TfrAddInObjectInfo& a : AddInObjects()) listed = listed || (a.ClassName == "TfrRichView" && a.ButtonHint == "55223");
  EXPECT_TRUE(listed);
}

TEST_F(FrRich, ExpressionsInsideTheTextTakeTheirValuesAndKeepTheirFormat) {
  TfrRichView* v = Rich(0, 0, 300, 40, kBoldRtf);
  struct Case {
    bool textOnly;
    const char* text;
  };
  for (const Case c : {Case{false, "plain 2 bold"}, Case{true, "plain [1+1] bold"}}) {
    v->Flags = c.textOnly ? (v->Flags | frmemo::TextOnly) : (v->Flags & ~frmemo::TextOnly);
    TMemoryStream s;
    v->EmitPrepared(&s);
    s.SetPosition(0);
    EXPECT_EQ(frstream::ReadByte(&s), 10);
    EXPECT_EQ(frstream::ReadCountedString(&s), "TfrRichView");
    TfrRichView out;
    out.PreparedForm = true;
    out.ReadFromStream(&s);
    EXPECT_EQ(out.RichEdit->Text(), c.text);
    EXPECT_TRUE(FormatAt(out.RichEdit, 6).Bold) << "the value takes the bracket's format";
    // The object's own text is never changed by a run.
    EXPECT_EQ(v->RichEdit->Text(), "plain [1+1] bold");
  }
}

TEST_F(FrRich, HeightsGrowWithTheTextAndEndForAnyText) {
  struct Case {
    String rtf;
    int gapY;
  };
  TfrRichView* v = Rich(0, 0, 300, 40, "");
  // An empty text needs the least height there is: 8 and the gaps.
  for (int gap : {0, 1, 5}) {
    v->GapY = gap;
    v->RichEdit->Clear();
    EXPECT_EQ(v->CalcHeight(), 8 + 2 * gap);
  }
  v->GapY = 1;
  int previous = 0;
  for (int lines : {1, 2, 5, 20}) {
    v->RichEdit->SetRtfText(Lines(1, lines));
    const int h = v->CalcHeight();
    EXPECT_GT(h, previous) << lines;
    previous = h;
  }
  // Twenty lines of 10-point text are between 12 and 20 pixels each.
  EXPECT_GT(previous, 20 * 12);
  EXPECT_LT(previous, 20 * 20 + 2);
  // A text taller than the search's limit and a single unbreakable word wider than the object
  // both end.
  v->RichEdit->SetRtfText("{\\rtf1\\fs20 " + String(3000, 'W') + "\\par}");
  EXPECT_GT(v->CalcHeight(), 10);
  // An invisible object needs nothing.
  v->EventScript.SetText(v->Name + ".Visible := False");
  EXPECT_EQ(v->CalcHeight(), 0);
}

TEST_F(FrRich, AStretchedTextSplitOverPagesPrintsEveryLineOnce) {
  TfrBandView* band = Band(btMasterData, "MasterData1", 40, 20, "1");
  band->Flags |= frband::Stretched;
  TfrRichView* v = Rich(20, 40, 400, 20, Lines(1, 150));
  v->Flags |= frmemo::Stretched;
  ASSERT_TRUE(Report->PrepareReport()) << frState().ErrorText;
  auto pages = PreparedTexts();
  ASSERT_GE(pages.size(), 2u);
  // Each part ends with its last paragraph's break, so the parts joined give the text.
  String all;
  for (const auto& page : pages)
    for (const String& t : page) all += t;
  String expected;
  for (int i = 1; i <= 150; ++i) expected += (i > 1 ? "\r\n" : "") + ("line " + IntToStr(i));
  EXPECT_EQ(all, expected);
  // Each page holds a part: the first ends where the second starts.
  EXPECT_EQ(pages[0].size(), 1u);
  EXPECT_EQ(pages[0][0].rfind("line 1\r\n", 0), 0u);
  EXPECT_EQ(pages[1][0].find("line 1\r\n"), String::npos);
}

TEST_F(FrRich, DrawingPutsTheFormattedTextIntoTheObject) {
  TfrRichView* v = Rich(10, 10, 200, 60, "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs40\\b WWWW\\par}");
  v->FrameTyp = 0;
  TBitmap bmp;
  bmp.SetSize(240, 100);
  bmp.Canvas()->Brush()->SetColor(clWhite);
  bmp.Canvas()->FillRect({0, 0, 240, 100});
  for (int mode : {0, 1}) {
    frState().EngineMode = mode;
    bmp.Canvas()->FillRect({0, 0, 240, 100});
    v->DrawOnCanvas(bmp.Canvas());
    int dark = 0, outside = 0;
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 240; ++x) {
        const bool d = (bmp.Canvas()->Pixels(x, y) & 0xFF) < 0x60;
        if (!d) continue;
        if (x >= 10 && x < 210 && y >= 10 && y < 70) ++dark;
        else ++outside;
      }
    EXPECT_GT(dark, 100) << "mode " << mode;
    // The designer's own frame may mark the object's edge; a run draws nothing outside it.
    if (mode == 1) EXPECT_EQ(outside, 0);
  }
  QDir().mkpath("screenshots");
  bmp.SaveToPngFile("screenshots/legacy_rich_view.png");
}

TEST_F(FrRich, TheNewerFormatCarriesTheTextAsABinaryProperty) {
  TfrRichView* v = Rich(0, 0, 100, 20, kBoldRtf);
  v->Flags |= frmemo::Stretched | frmemo::TextOnly;
  TMemoryStream s;
  v->WriteNewFormatXml(&s);
  String xml(static_cast<std::size_t>(s.Size()), '\0');
  s.SetPosition(0);
  s.ReadBuffer(xml.data(), s.Size());
  EXPECT_EQ(xml.rfind("<TfrxRichView", 0), 0u) << xml;
  const std::size_t at = xml.find(" Propdata=\"");
  ASSERT_NE(at, String::npos);
  const std::size_t from = at + 11, to = xml.find('"', from);
  const String hex = xml.substr(from, to - from);
  String bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  ASSERT_GT(bytes.size(), 14u);
  EXPECT_EQ(bytes.substr(0, 9), String("\x08RichEdit"));
  EXPECT_EQ(bytes[9], 10);
  const std::uint32_t len = static_cast<unsigned char>(bytes[10]) | static_cast<unsigned char>(bytes[11]) << 8 |
                            static_cast<unsigned char>(bytes[12]) << 16 | static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[13])) << 24;
  EXPECT_EQ(len, bytes.size() - 14);
  TRichDocument doc;
  ASSERT_TRUE(RtfToDocument(bytes.substr(14), doc));
  EXPECT_EQ(Utf32ToUtf8(doc.Text), "plain [1+1] bold");
  EXPECT_NE(xml.find(" StretchMode=\"smMaxHeight\""), String::npos);
  EXPECT_NE(xml.find(" AllowExpressions=\"False\""), String::npos);
  EXPECT_LT(xml.find(" Propdata="), xml.find(" StretchMode="));
}

// ---------------------------------------------------------------- the editor

class FrRichForm : public FrRich {
protected:
  void SetUp() override {
    FrRich::SetUp();
    Form = RichForm();
    Form->SetBounds(100, 100, 600, 400);
    Form->Show();
    Application->ProcessMessages();
    Edit = Form->RichEdit1;
    Edit->Clear();
    Edit->SetFocus();
    Application->ProcessMessages();
  }
  void TearDown() override {
    Form->Hide();
    Edit->Clear();
    FrRich::TearDown();
  }
  // Typed as an input method commits it: one character message per character.
  void Type(const char* text) {
    QInputMethodEvent e;
    e.setCommitString(QString::fromUtf8(text));
    QApplication::sendEvent(guitest::WidgetOf(Edit), &e);
    Application->ProcessMessages();
  }
  void ClickButton(TControl* b) { guitest::Click(b, {b->Width() / 2, b->Height() / 2}); }

  TfrRichForm* Form = nullptr;
  TRichEdit* Edit = nullptr;
};

TEST_F(FrRichForm, ToolButtonsFormatTheSelectionAndFollowIt) {
  Type("hello world");
  ASSERT_EQ(Edit->Text(), "hello world");
  Edit->SetSelStart(6);
  Edit->SetSelLength(5);
  ClickButton(Form->BoldButton);
  EXPECT_TRUE(Form->BoldButton->Down());
  EXPECT_TRUE(FormatAt(Edit, 6).Bold);
  EXPECT_FALSE(FormatAt(Edit, 0).Bold);
  ClickButton(Form->CenterAlign);
  EXPECT_EQ(Edit->Paragraph()->Alignment(), taCenter);
  Form->FontSize->SetText("16");
  Form->FontSizeChange(Form->FontSize);
  EXPECT_EQ(FormatAt(Edit, 7).HalfPoints, 32);
  // A face picked in the font box goes to the selection only.
  ASSERT_GT(Form->FontName->Items()->Count(), 1);
  int other = 0;
  while (other < Form->FontName->Items()->Count() &&
         (Form->FontName->Items()->Strings(other).empty() || Form->FontName->Items()->Strings(other) == FormatAt(Edit, 0).Name))
    ++other;
  ASSERT_LT(other, Form->FontName->Items()->Count());
  const String face = Form->FontName->Items()->Strings(other);
  Form->FontName->SetItemIndex(other);
  Form->FontNameChange(Form->FontName);
  EXPECT_EQ(FormatAt(Edit, 6).Name, face);
  EXPECT_NE(FormatAt(Edit, 0).Name, face);
  Edit->Undo();
  // Moving into plain text shows plain buttons; back into the word shows bold again.
  Edit->SetSelStart(1);
  Edit->SetSelLength(2);
  Application->ProcessMessages();
  EXPECT_FALSE(Form->BoldButton->Down());
  EXPECT_TRUE(Form->CenterAlign->Down());
  Edit->SetSelStart(7);
  Edit->SetSelLength(1);
  Application->ProcessMessages();
  EXPECT_TRUE(Form->BoldButton->Down());
  EXPECT_EQ(Form->FontSize->Text(), "16");
  // Undo takes the size back.
  ClickButton(Form->UndoButton);
  EXPECT_EQ(FormatAt(Edit, 7).HalfPoints, FormatAt(Edit, 0).HalfPoints);
  QDir().mkpath("screenshots");
  GrabToPng(Form, "screenshots/legacy_rich_form.png");
}

TEST_F(FrRichForm, DraggingTheRulerMarkersSetsTheIndents) {
  Type("indented paragraph");
  TControl* first = Form->FirstInd;
  const int half = first->Width() / 2;
  guitest::Press(first, {half, 3});
  guitest::Move(first, {half + 40, 3}, Qt::LeftButton);
  const int dropped = first->Left();
  EXPECT_GT(dropped, 30) << "the marker follows the mouse";
  guitest::Release(first, {half, 3});
  Application->ProcessMessages();
  EXPECT_EQ(Edit->Paragraph()->FirstIndent(), static_cast<int>(std::lround((dropped + half - 6) * 3.0 / 4)));
  // The marker stands where the indent says.
  EXPECT_EQ(first->Left(), static_cast<int>(std::lround(Edit->Paragraph()->FirstIndent() * 4.0 / 3)) + 2);
  TControl* right = Form->RightInd;
  const int before = Edit->Paragraph()->RightIndent();
  guitest::Press(right, {right->Width() / 2, 3});
  guitest::Move(right, {right->Width() / 2 - 60, 3}, Qt::LeftButton);
  guitest::Release(right, {right->Width() / 2 - 60, 3});
  Application->ProcessMessages();
  EXPECT_GT(Edit->Paragraph()->RightIndent(), before + 30);
}

TEST_F(FrRichForm, RichTextFilesOpenAndSaveThroughTheDialogs) {
  TempFolder dir;
  dir.Write("in.rtf", kBoldRtf);
  std::vector<TDialogKind> asked;
  SetDialogHook([&](TDialogRequest& r) {
    asked.push_back(r.Kind);
    r.Value = r.Kind == dkOpenFile ? dir.Path() + "in.rtf" : dir.Path() + "out.txt";
    r.Result = 1;
    return true;
  });
  ClickButton(Form->OpenButton);
  EXPECT_EQ(Edit->Text(), "plain [1+1] bold");
  Edit->SetSelStart(8);
  Application->ProcessMessages();
  EXPECT_TRUE(Form->BoldButton->Down());
  ClickButton(Form->SaveButton);
  SetDialogHook(nullptr);
  ASSERT_EQ(asked.size(), 2u);
  // Saved as rich text whatever the filter.
  const String saved = dir.Read("out.txt");
  EXPECT_EQ(saved.rfind("{\\rtf1", 0), 0u);
  TRichDocument doc;
  ASSERT_TRUE(RtfToDocument(saved, doc));
  EXPECT_TRUE(doc.Formats[doc.CharFormat[8]].Bold);
}

TEST_F(FrRichForm, TheObjectsEditorTakesTheEditedTextOnlyOnOk) {
  TfrRichView* v = Rich(0, 0, 100, 20, kBoldRtf);
  Form->Hide();
  for (bool ok : {false, true}) {
    TTimer timer(nullptr);
    timer.SetInterval(10);
    timer.SetOnTimer(TNotifyEvent::Lambda([&](TObject*) {
      timer.SetEnabled(false);
      EXPECT_EQ(Edit->Text(), v->RichEdit->Text());
      Edit->SetSelStart(0);
      Edit->SetSelLength(5);
      Edit->SetSelText("edited");
      ClickButton(ok ? static_cast<TControl*>(Form->OkBtn) : Form->CancBtn);
    }));
    v->OpenEditor();
    EXPECT_EQ(v->RichEdit->Text(), ok ? "edited [1+1] bold" : "plain [1+1] bold");
    EXPECT_EQ(Edit->Text(), "") << "the dialog's text is cleared";
  }
  EXPECT_TRUE(FormatAt(v->RichEdit, 9).Bold);
}

}  // namespace
