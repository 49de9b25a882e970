// A report of the older engine saved in the newer engine's XML format: the document frame,
// escaping, page offsets, scripts rewritten as procedures, property data, each view's element,
// and the document read back by the newer engine's XML reader.
#include "FrTestSupport.h"

#include "report_legacy/FR_Utils.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxShapes.h"
#include "report/frxXML.h"

#include "core/StringList.h"
#include "core/Streams.h"
#include "gui/GraphicsObjects.h"
#include "gui/Pictures.h"

namespace {

using frtest::TEngineTest;

class FrExport : public TEngineTest {
protected:
  void SetUp() override {
    TEngineTest::SetUp();
    Report = std::make_unique<TfrReport>(nullptr);
    Page = Report->Pages()->Add();
    Page->Name = "Page1";
    frState().CurrentReport = Report.get();
  }

  String Export() {
    TMemoryStream m;
    ExportAsNewFormat(Report.get(), &m);
    return String(static_cast<const char*>(m.Memory()), static_cast<std::size_t>(m.Size()));
  }

  // The document as the newer engine's reader takes it.
  std::unique_ptr<TfrxXMLDocument> Read(const String& text) {
    auto doc = std::make_unique<TfrxXMLDocument>();
    TStringStream s(text);
    doc->ReadFromStream(&s, false);
    return doc;
  }

  TfrMemoView* AddMemo(const String& name, int left, const String& text) {
    auto* m = new TfrMemoView;
    m->Name = name;
    m->SetViewBounds(left, 30, 120, 20);
    m->Memo.SetText(text);
    Page->AddObject(m);
    return m;
  }

  std::unique_ptr<TfrReport> Report;
  TfrPage* Page = nullptr;
};

std::vector<String> Lines(const String& text) {
  std::vector<String> r;
  std::size_t p = 0;
  for (std::size_t e; (e = text.find("\r\n", p)) != String::npos; p = e + 2) r.push_back(text.substr(p, e - p));
  if (p < text.size()) r.push_back(text.substr(p));
  return r;
}

TEST_F(FrExport, AnEmptyReportIsTheFrameWithOneEmptyPageElementPerPage) {
  TfrPage* second = Report->Pages()->Add();
  second->Name = "Page2";
  const std::vector<String> lines = Lines(Export());
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "<?xml version=\"1.0\" encoding=\"utf-8\"?>");
  EXPECT_EQ(lines[1].substr(0, 45), "<TfrxReport ScriptLanguage=\"PascalScript\" Scr");
  EXPECT_EQ(lines[1].back(), '>');
  EXPECT_EQ(lines[2].substr(0, 30), "<TfrxReportPage Name=\"Page1\" O");
  EXPECT_EQ(lines[2].substr(lines[2].size() - 2), "/>");
  EXPECT_EQ(lines[3].substr(0, 28), "<TfrxReportPage Name=\"Page2\"");
  EXPECT_EQ(lines[4], "</TfrxReport>");
  auto doc = Read(Export());
  TfrxXMLItem* root = doc->Root();
  ASSERT_EQ(root->ChildCount(), 2);
  EXPECT_EQ(root->ChildAt(0)->Name(), "TfrxReportPage");
  EXPECT_EQ(root->ChildAt(0)->AttrValue("Orientation"), "poPortrait");
  EXPECT_EQ(root->ChildAt(0)->AttrValue("PaperSize"), IntToStr(Page->Size));
}

TEST_F(FrExport, TextsAreEscapedAndReadBackAsTheyWere) {
  TfrMemoView* m = AddMemo("Memo1", 40, "Smith & Sons\r\n<合同> \"A\"");
  m->FrameTyp = 4 | 8;  // left and top
  m->FrameWidth = 1.5f;
  const String text = Export();
  EXPECT_NE(text.find("Memo.text=\"Smith &amp; Sons&#13;&#10;&#60;合同&#62; &#34;A&#34;\""), String::npos);
  EXPECT_NE(text.find("Frame.Typ=\"5\""), String::npos);  // left 1 + top 4
  EXPECT_NE(text.find("Frame.Width=\"1.5\""), String::npos);
  auto doc = Read(text);
  TfrxXMLItem* page = doc->Root()->ChildAt(0);
  ASSERT_EQ(page->ChildCount(), 1);
  TfrxXMLItem* memo = page->ChildAt(0);
  EXPECT_EQ(memo->Name(), "TfrxMemoView");
  EXPECT_EQ(memo->AttrValue("Name"), "Memo1");
  EXPECT_EQ(memo->AttrValue("Memo.text"), "Smith & Sons\r\n<合同> \"A\"");
  EXPECT_EQ(memo->AttrValue("Font.Name"), "Arial");
  EXPECT_EQ(memo->AttrValue("Font.Height"), "-13");
}

TEST_F(FrExport, ObjectsMoveByTheLeftMarginAndCrossBandsAreLeftOut) {
  Page->LeftMargin = 38;
  AddMemo("Memo1", 100, "x");
  auto* title = new TfrBandView;
  title->Name = "ReportTitle1";
  title->SetBandType(btReportTitle);
  title->SetViewBounds(0, 10, 700, 40);
  title->Flags = frband::OnFirstPage;
  Page->AddObject(title);
  auto* cross = new TfrBandView;
  cross->Name = "CrossData1";
  cross->SetBandType(btCrossData);
  Page->AddObject(cross);
  auto* group = new TfrBandView;
  group->Name = "GroupHeader1";
  group->SetBandType(btGroupHeader);
  group->FormatText = "[Qry.\"Kind\"]";
  group->Flags = 1 | 16;
  Page->AddObject(group);
  auto doc = Read(Export());
  TfrxXMLItem* page = doc->Root()->ChildAt(0);
  EXPECT_EQ(page->AttrValue("LeftMargin"), "11");  // 38 pixels
  ASSERT_EQ(page->ChildCount(), 3);
  EXPECT_EQ(page->ChildAt(0)->AttrValue("Left"), "62");
  EXPECT_EQ(page->ChildAt(1)->Name(), "TfrxReportTitle");
  EXPECT_EQ(page->ChildAt(1)->AttrValue("PrintOnLastPage"), "False");
  EXPECT_EQ(page->ChildAt(2)->Name(), "TfrxGroupHeader");
  EXPECT_EQ(page->ChildAt(2)->AttrValue("Condition"), "[Qry.\"Kind\"]");
  EXPECT_EQ(page->ChildAt(2)->AttrValue("Stretched"), "True");
  // The object's own Left is as it was.
  EXPECT_EQ(Page->Object(0)->Left, 100);
}

TEST_F(FrExport, ScriptsBecomeProceduresOfTheirObjects) {
  TfrMemoView* plain = AddMemo("Memo1", 10, "a");
  plain->EventScript.SetText("Memo1.Visible := False");
  TfrMemoView* block = AddMemo("Memo2", 10, "b");
  block->EventScript.SetText("begin\r\n    a := 1;\r\n    b := 2;\r\nend");
  auto doc = Read(Export());
  const String script = doc->Root()->AttrValue("ScriptText.text");
  const String expected =
      "procedure Memo1OnBeforePrint(Sender: TfrxComponent);\r\n"
      "begin\r\n"
      "  with Memo1, Engine do\r\n"
      "  begin\r\n"
      "Memo1.Visible := False\r\n"
      "  end\r\n"
      "end;\r\n"
      "\r\n"
      "procedure Memo2OnBeforePrint(Sender: TfrxComponent);\r\n"
      "begin\r\n"
      "  with Memo2, Engine do\r\n"
      "  begin\r\n"
      "    a := 1;\r\n"
      "    b := 2;\r\n"
      "  end\r\n"
      "end;\r\n"
      "\r\n"
      "begin\r\n"
      "\r\n"
      "end.";
  EXPECT_EQ(script, expected);
  TfrxXMLItem* memo = doc->Root()->ChildAt(0)->ChildAt(0);
  EXPECT_EQ(memo->AttrValue("OnBeforePrint"), "Memo1OnBeforePrint");
}

TEST_F(FrExport, TextObjectAttributesFollowTheirFlagsHighlightAndFormat) {
  TfrMemoView* m = AddMemo("Memo1", 10, "[Sum]");
  m->Flags = frmemo::Stretched | frmemo::Suppress;  // no word wrap
  m->Alignment = 2 | 8 | 4;
  m->HighlightCondition = "Value > 100";
  m->HighlightFontStyle = 2;  // bold, in the stream's numbering
  m->HighlightFontColor = clRed;
  m->FormatCode = 0x01010000 + ',' + 2 * 256;
  m->BandAlign = 7;
  m->Restrictions = 2 | 32;
  auto doc = Read(Export());
  TfrxXMLItem* x = doc->Root()->ChildAt(0)->ChildAt(0);
  struct Attr {
    const char* Name;
    const char* Value;
  };
  const Attr attrs[] = {
      {"StretchMode", "smMaxHeight"}, {"WordWrap", "False"},         {"SuppressRepeated", "True"},
      {"HAlign", "2"},                {"VAlign", "2"},               {"Rotation", "90"},
      {"Highlight.Condition", "Value > 100"},                         {"Highlight.Font.Style", "1"},
      {"Highlight.Font.Color", "255"}, {"DisplayFormat.Kind", "fkNumeric"},
      {"DisplayFormat.DecimalSeparator", ","},                        {"DisplayFormat.FormatStr", "%2.2f"},
      {"Align", "4"},                 {"Restrictions", "5"},         {"Color", "536870911"},
  };
  for (const Attr& a : attrs) EXPECT_EQ(x->AttrValue(a.Name), a.Value) << a.Name;
  EXPECT_EQ(x->AttrValue("AutoWidth"), "");
}

TEST_F(FrExport, PropertyDataListsVariablesInTheComponentStreamForm) {
  Report->Dictionary()->Variables->SetVariable(" Total", Variant("2+3"));
  auto doc = Read(Export());
  const String hex = doc->Root()->AttrValue("Propdata");
  const String bytes = HexToStr(hex);
  const String expected = String("\x08" "Datasets\x0E\x00", 11) + String("\x09" "Variables\x0E", 11) +
                          String("\x01\x04" "Name\x06\x06 Total\x05" "Value\x06\x03" "2+3\x00", 26) +
                          String("\x00", 1);
  EXPECT_EQ(bytes, expected);
}

TEST_F(FrExport, SavingInTheNewFormatWritesTheXmlDocumentAlone) {
  AddMemo("Memo1", 10, "x");
  Report->SaveInNewFormat = true;
  TMemoryStream m;
  Report->SaveToStream(&m);
  const String text(static_cast<const char*>(m.Memory()), static_cast<std::size_t>(m.Size()));
  EXPECT_EQ(text.substr(0, 5), "<?xml");
  EXPECT_EQ(text.substr(text.size() - 15), "</TfrxReport>\r\n");
  EXPECT_EQ(text, Export());
  Report->SaveInNewFormat = false;
  TMemoryStream binary;
  Report->SaveToStream(&binary);
  EXPECT_EQ(static_cast<const Byte*>(binary.Memory())[0], frCurrentVersion);
}

TEST(FrExportUtils, EscapingHexAndPasswords) {
  EXPECT_EQ(EscapeXml("a\"b<c>d&e\r\nf"), "a&#34;b&#60;c&#62;d&amp;e&#13;&#10;f");
  TMemoryStream m;
  const unsigned char bytes[] = {0x00, 0x0F, 0xA5, 0xFF};
  m.WriteBuffer(bytes, 4);
  EXPECT_EQ(StreamToHex(&m), "000FA5FF");
  EXPECT_EQ(UnshiftPassword("KLM"), "ABC");
}

}  // namespace

namespace {

TEST_F(FrExport, SubReportsPicturesLinesAndDialogPagesHaveTheirElements) {
  auto* sub = new TfrSubReportView;
  sub->Name = "SubReport1";
  sub->TargetPage = 1;
  Page->AddObject(sub);
  auto* pic = new TfrPictureView;
  pic->Name = "Picture1";
  pic->Flags = 2;  // centred, not stretched, no aspect
  TBitmap bmp;
  bmp.SetSize(2, 2);
  pic->Picture->SetGraphic(&bmp);
  Page->AddObject(pic);
  auto* line = new TfrLineView;
  line->Name = "Line1";
  line->Flags = 0;
  Page->AddObject(line);
  TfrPage* dialog = Report->Pages()->Add();
  dialog->Name = "Dialog1";
  dialog->Type = 1;
  dialog->Caption = "选择 & 确认";
  dialog->PageScript->SetText("begin end");
  auto doc = Read(Export());
  TfrxXMLItem* page = doc->Root()->ChildAt(0);
  ASSERT_EQ(page->ChildCount(), 3);
  EXPECT_EQ(page->ChildAt(0)->Name(), "TfrxSubreport");
  EXPECT_EQ(page->ChildAt(0)->AttrValue("Page"), "Page2");
  TfrxXMLItem* p = page->ChildAt(1);
  EXPECT_EQ(p->Name(), "TfrxPictureView");
  EXPECT_EQ(p->AttrValue("Stretched"), "False");
  EXPECT_EQ(p->AttrValue("Center"), "True");
  EXPECT_EQ(p->AttrValue("KeepAspectRatio"), "False");
  const String data = HexToStr(p->AttrValue("Picture.Propdata"));
  EXPECT_EQ(data.substr(0, 8), String("\x07TBitmap"));
  EXPECT_EQ(data.substr(8, 2), "BM");
  EXPECT_EQ(page->ChildAt(2)->Name(), "TfrxLineView");
  EXPECT_EQ(page->ChildAt(2)->AttrValue("Stretched"), "False");
  TfrxXMLItem* d = doc->Root()->ChildAt(1);
  EXPECT_EQ(d->Name(), "TfrxDialogPage");
  EXPECT_EQ(d->AttrValue("Caption"), "选择 & 确认");
  EXPECT_EQ(d->AttrValue("Width"), "380");
  EXPECT_EQ(d->AttrValue("OnActivate"), "Dialog1OnBeforePrint");
}

}  // namespace

// ---------------------------------------------------------------- read by the newer engine

namespace {

TEST_F(FrExport, TheNewerEngineLoadsTheExportWithItsObjectsAndTexts) {
  Report->InfoName = "合同清单";
  Report->InfoAuthor = "王工";
  Page->LeftMargin = 38;
  auto* title = new TfrBandView;
  title->Name = "ReportTitle1";
  title->SetBandType(btReportTitle);
  title->SetViewBounds(0, 20, 700, 40);
  title->Flags = frband::Stretched | frband::OnFirstPage | frband::OnLastPage;
  title->Memo.SetText("ReportTitle1.Visible := True");
  Page->AddObject(title);
  auto* group = new TfrBandView;
  group->Name = "GroupHeader1";
  group->SetBandType(btGroupHeader);
  group->SetViewBounds(0, 80, 700, 20);
  group->FormatText = "[Kind]";
  group->Flags = frband::OnFirstPage | frband::OnLastPage;
  Page->AddObject(group);
  auto* line = new TfrLineView;
  line->Name = "Line1";
  line->SetViewBounds(100, 30, 300, 0);
  line->FrameTyp = 8;
  Page->AddObject(line);
  auto* pic = new TfrPictureView;
  pic->Name = "Picture1";
  pic->SetViewBounds(438, 30, 60, 20);
  pic->Flags = 1 | 2;  // stretched, centred, aspect not kept
  Page->AddObject(pic);
  auto* sub = new TfrSubReportView;
  sub->Name = "SubReport1";
  sub->SetViewBounds(138, 82, 200, 16);
  sub->TargetPage = 1;
  Page->AddObject(sub);
  auto* memo = new TfrMemoView;
  memo->Name = "Memo1";
  memo->SetViewBounds(138, 30, 200, 36);
  memo->Memo.SetText("合同 & 金额\r\n[Qry.\"Amount\"]");
  memo->Alignment = 2;
  Page->AddObject(memo);
  TfrPage* second = Report->Pages()->Add();
  second->Name = "Page2";

  TMemoryStream m;
  ExportAsNewFormat(Report.get(), &m);
  m.SetPosition(0);
  TfrxReport back(nullptr);
  back.EngineOptions()->SetNewSilentMode(simSilent);
  back.LoadFromStream(&m);
  EXPECT_EQ(back.Errors()->Count(), 0) << back.Errors()->Text();
  ASSERT_EQ(back.CountPages(), 2);
  EXPECT_EQ(back.ReportOptions()->Name(), "合同清单");
  EXPECT_EQ(back.ReportOptions()->Author(), "王工");
  EXPECT_NE(back.ScriptText()->Text().find("procedure ReportTitle1OnBeforePrint(Sender: TfrxComponent);"),
            String::npos);

  auto* t = dynamic_cast<TfrxReportTitle*>(back.FindObject("ReportTitle1"));
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->Top(), 20);
  EXPECT_EQ(t->Height(), 40);
  EXPECT_TRUE(t->Stretched());
  auto* g = dynamic_cast<TfrxGroupHeader*>(back.FindObject("GroupHeader1"));
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->Condition(), "[Kind]");
  auto* l = dynamic_cast<TfrxLineView*>(back.FindObject("Line1"));
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(l->Left(), 100 - 38);  // objects move by the page's left margin
  EXPECT_EQ(l->Width(), 300);
  auto* p = dynamic_cast<TfrxPictureView*>(back.FindObject("Picture1"));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Left(), 400);
  EXPECT_TRUE(p->Stretched());
  EXPECT_TRUE(p->Center());
  EXPECT_FALSE(p->KeepAspectRatio());
  auto* text = dynamic_cast<TfrxMemoView*>(back.FindObject("Memo1"));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->Left(), 100);
  EXPECT_EQ(text->Text(), "合同 & 金额\r\n[Qry.\"Amount\"]");
  EXPECT_EQ(text->HAlign(), haCenter);
  auto* s = dynamic_cast<TfrxSubreport*>(back.FindObject("SubReport1"));
  ASSERT_NE(s, nullptr);
  ASSERT_NE(s->Page(), nullptr);
  EXPECT_EQ(s->Page()->Name(), "Page2");
}

}  // namespace
