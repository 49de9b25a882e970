// The .fr3 format: what a report writes, that what it writes reads back the same, how each
// kind of attribute is read, and what a damaged or hostile file does to a report.
#include "TempFolder.h"
#include "TestViews.h"

#include "core/ClassBuilder.h"
#include "core/Filer.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "gui/MessageBox.h"
#include "report/frxClass.h"
#include "report/frxRes.h"
#include "report/frxVariables.h"
#include "report/frxXMLSerializer.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A root that writes the components it owns, as a data module does.
class TFr3Holder : public TComponent {
  KELM_CLASS(TFr3Holder, TComponent)
public:
  using TComponent::TComponent;
  void GetChildren(const TGetChildProc& proc, TComponent*) override {
    for (int i = 0; i < ComponentCount(); ++i)
      if (!Components(i)->HasParent()) proc(Components(i));
  }
};

}  // namespace

KELM_PUBLISH(TFr3Holder) {}

namespace {

String SaveText(TfrxReport& r, bool SaveDefaultValues = false) {
  TMemoryStream s;
  r.SaveToStream(&s, true, SaveDefaultValues);
  String text(static_cast<std::size_t>(s.Size()), '\0');
  s.SetPosition(0);
  s.ReadBuffer(text.data(), s.Size());
  return text;
}

void LoadText(TfrxReport& r, const String& Text) {
  TMemoryStream s;
  s.WriteBuffer(Text.data(), static_cast<Int64>(Text.size()));
  s.SetPosition(0);
  r.LoadFromStream(&s);
}

const char* const kHeader = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n";

// A report that reports its load errors silently, so tests read them from Errors.
struct TSilentReport : TfrxReport {
  explicit TSilentReport(TComponent* AOwner = nullptr) : TfrxReport(AOwner) {
    EngineOptions()->SetNewSilentMode(simSilent);
  }
};

String Fr3(const String& ReportAttributes, const String& Children) {
  return String(kHeader) + "<TfrxReport" + ReportAttributes + ">\r\n" + Children + "</TfrxReport>\r\n";
}

// ---------------------------------------------------------------- writing

TEST(Fr3Format, ANewReportIsOneElementWithItsStatedOptionsAndThreeEmptyCollections) {
  TfrxReport r(nullptr);
  String expected = String(kHeader) +
                    "<TfrxReport Version=\"3.23.7\" DotMatrixReport=\"False\" IniFile=\"\\Software\\Zude Vizerav\"" +
                    " PreviewOptions.Buttons=\"4095\" PreviewOptions.Zoom=\"1\" PrintOptions.Printer=\"预设\"" +
                    " ReportOptions.CreateDate=\"" + FloatToStr(r.ReportOptions()->CreateDate()) + "\"" +
                    " ReportOptions.Description.Text=\"\"" + " ReportOptions.LastChange=\"" +
                    FloatToStr(r.ReportOptions()->LastChange()) + "\"" +
                    " ScriptLanguage=\"PascalScript\" ScriptText.Text=\"begin&#13;&#10;&#13;&#10;end.\"" +
                    " PropData=\"0844617461736574730100095661726961626C65730100055374796C650100\"/>\r\n";
  EXPECT_EQ(SaveText(r), expected);
}

TEST(Fr3Format, FloatsUseAPointWhateverTheLocaleAndReadEitherSeparator) {
  TfrxReport r(nullptr);
  auto* v = new TTestView(&r);
  v->SetName("View1");
  v->SetLeft(1.5);
  FormatSettings().DecimalSeparator = ',';
  TScopeExit reset([] { ResetFormatSettings(); });
  String text = SaveText(r);
  EXPECT_NE(text.find(" Left=\"1.5\""), String::npos) << text;

  TSilentReport back;
  LoadText(back, text);
  ASSERT_EQ(back.ObjectCount(), 1);
  EXPECT_EQ(back.Objects(0)->Left(), 1.5);
}

TEST(Fr3Format, ADataSetItemIsAnAttributeTextInTheListFormAndLoadsBack) {
  TComponent holder(nullptr);
  auto* ds = new TfrxDBDataset(&holder);
  ds->SetName("Customers1");
  ds->SetUserName("Customers");
  auto* r = new TfrxReport(&holder);
  r->DataSets()->AddDataSet(ds);
  String text = SaveText(*r);

  // The list form: list, item list, long string of the attribute text, two ends.
  String attrs = " DataSet=\"Customers1\" DataSetName=\"Customers\"";
  String hex = "084461746173657473" "0101" "0C" + IntToHex(static_cast<int>(attrs.size()), 2) + "000000";
  String item;
  for (unsigned char c : attrs) item += IntToHex(c, 2);
  EXPECT_NE(text.find(hex + item + "0000"), String::npos) << text;

  auto* back = new TSilentReport(&holder);
  LoadText(*back, text);
  ASSERT_EQ(back->DataSets()->Count(), 1);
  EXPECT_EQ(back->DataSets()->Items(0)->DataSet(), ds);
  EXPECT_EQ(back->DataSets()->Items(0)->DataSetName(), "Customers");
  EXPECT_EQ(back->Errors()->Count(), 0) << back->Errors()->Text();
}

// A tree with everything the format carries: nested objects, fonts that inherit and fonts of
// their own, lists, enumerations, sets, a frame, texts with markup characters and Chinese, a
// reference to a data set of the data module, variables and styles.
TEST(Fr3Format, ATreeSavedLoadedAndSavedAgainIsTheSameTextWithItsReferencesResolved) {
  TComponent holder(nullptr);
  auto* ds = new TfrxDBDataset(&holder);
  ds->SetName("frxDBDataset5");
  ds->SetUserName("G");
  auto* r = new TSilentReport(&holder);
  r->DataSets()->AddDataSet(ds);
  r->SetDataSet(ds);
  r->ReportOptions()->SetAuthor("张三 & <Co>");
  r->ScriptText()->SetText("begin\r\n  ShowMessage('\"hi\"');\r\nend.");
  r->Variables()->SetVariables(" 分类", Null());
  r->Variables()->SetVariables("Rate", "1.5");
  TfrxStyleItem* style = r->Styles()->AppendItem();
  style->SetName("Title");
  style->Font()->SetStyle(TFontStyles{fsBold});
  style->Frame()->SetTyp(TfrxFrameTypes{ftLeft, ftTop});

  auto* band = new TTestView(r);
  band->SetName("Band1");
  band->SetBounds(0, 18.89765, 718.1107, 37.7953);
  band->Font()->SetName("宋体");
  auto* memo = new TTestView(band);
  memo->SetName("Memo1");
  memo->SetBounds(10, 0, 94.48825, 18.9);
  memo->SetAlign(baWidth);
  memo->SetDataSet(ds);
  memo->Frame()->SetTyp(TfrxFrameTypes{ftLeft, ftRight, ftTop, ftBottom});
  memo->Lines()->SetText("一\r\n\"two\"\r\n");
  memo->SetObjectText(u"[G.\"GoodsName\"] <b>合计</b>\r\n");
  memo->SetOnBeforePrint("Memo1OnBeforePrint");
  memo->SetRestrictions(TfrxRestrictions{rfDontMove, rfDontSize});
  memo->SetTag(7);
  auto* plain = new TTestView(band);
  plain->SetName("Memo2");
  plain->SetStyle("Title");

  String first = SaveText(*r);
  EXPECT_NE(first.find("Frame.Typ=\"15\""), String::npos);  // sets as bit masks
  EXPECT_NE(first.find("Align=\"baWidth\""), String::npos);
  EXPECT_NE(first.find("Font.Name=\"宋体\""), String::npos);
  EXPECT_EQ(first.find("<TfrxReport Name"), String::npos);  // the root has no name

  auto* back = new TSilentReport(&holder);
  LoadText(*back, first);
  EXPECT_EQ(back->Errors()->Count(), 0) << back->Errors()->Text();
  EXPECT_EQ(SaveText(*back), first);

  auto* memo2 = dynamic_cast<TTestView*>(back->FindObject("memo1"));
  ASSERT_NE(memo2, nullptr);
  EXPECT_EQ(memo2->Parent(), back->FindObject("Band1"));
  EXPECT_EQ(memo2->DataSet(), ds);
  EXPECT_EQ(memo2->ObjectText(), u"[G.\"GoodsName\"] <b>合计</b>");  // one line end dropped
  EXPECT_EQ(memo2->Lines()->CommaText(), "一,\"\"\"two\"\"\"");
  EXPECT_EQ(memo2->Font()->Name(), "宋体");  // inherited from the band again
  EXPECT_TRUE(memo2->ParentFont());
  EXPECT_EQ(memo2->Tag(), 7);
  EXPECT_EQ(back->DataSet(), ds);
  EXPECT_EQ(back->ReportOptions()->Author(), "张三 & <Co>");
  EXPECT_EQ(back->Variables()->GetVariables("rate").AsString(), "1.5");
  ASSERT_EQ(back->Styles()->Count(), 1);
  EXPECT_EQ(back->Styles()->ItemAt(0)->Frame()->Typ(), (TfrxFrameTypes{ftLeft, ftTop}));
}

TEST(Fr3Format, CollectionsInThePlatformsFormReadWithTheirHighBytesDecoded) {
  // Variables as a form's stream once held them: the platform's collection value, the name's
  // GBK bytes stored as byte 1 and the byte less 128.
  String hex = "095661726961626C6573" "0E" "01" "044E616D65" "06" "04" "01370156" "00" "00";
  TSilentReport r;
  LoadText(r, Fr3(" PropData=\"" + hex + "\"", ""));
  ASSERT_EQ(r.Variables()->Count(), 1);
  EXPECT_EQ(r.Variables()->ItemAt(0)->Name(), "分");
  EXPECT_EQ(DecodeItemString("a\x01"), "a\x01");  // a 1 at the very end stays
}

// ---------------------------------------------------------------- reading attributes

struct TAttributeCase {
  const char* Attributes;
  const char* Expect;   // what the view holds afterwards, as "Left|Top|Tag|DataSet|Lines"
  bool ErrorLine;       // whether Errors names Memo1
};

String Describe(TTestView* v) {
  return FloatToStr(v->Left()) + "|" + FloatToStr(v->Top()) + "|" + IntToStr(v->Tag()) + "|" +
         (v->DataSet() ? v->DataSet()->Name() : String("-")) + "|" + v->Lines()->CommaText();
}

TEST(Fr3Format, AttributesOfEachKindAndTheirFailures) {
  const TAttributeCase cases[] = {
      {" l=\"10\"", "10|0|0|-|", false},
      {" Left=\"1,5\" Top=\"2.25\"", "1.5|2.25|0|-|", false},
      {" Left=\"1\"Top=\"2\"", "1|2|0|-|", false},  // no blank between them
      {" Left=\"1\"  Top=\"2\"", "1|2|0|-|", false},
      {" Tag=\"x\"", "0|0|0|-|", true},
      {" Tag=\"3\" Left=\"nan\" Top=\"4\"", "0|4|3|-|", true},  // the rest goes on
      {" Left=\"inf\"", "0|0|0|-|", true},
      {" DataSet=\"Customers1\"", "0|0|0|Customers1|", false},
      {" DataSet=\"Nobody\"", "0|0|0|-|", true},
      {" DataSet.UserName=\"x\"", "0|0|0|-|", false},  // a reference is not a sub-object
      {" DataSet=\"Customers1\" DataSet.UserName=\"x\"", "0|0|0|Customers1|", false},
      {" DataSetName=\"NoSuchData\"", "0|0|0|-|", true},
      {" Lines.Text=\"a&#13;&#10;b\"", "0|0|0|-|a,b", false},
      {" Align=\"4\"", "0|0|0|-|", false},
      {" Align=\"baSideways\"", "0|0|0|-|", true},
      {" Frame.Typ=\"banana\"", "0|0|0|-|", true},
      {" NoSuchProperty=\"1\" Font.NoSuch.Deeper=\"1\"", "0|0|0|-|", false},
  };
  TComponent holder(nullptr);
  auto* ds = new TfrxDBDataset(&holder);
  ds->SetName("Customers1");
  ds->SetUserName("Customers");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Attributes);
    auto* r = new TSilentReport(&holder);
    LoadText(*r, Fr3("", String("  <TTestView Name=\"Memo1\"") + c.Attributes + "/>\r\n"));
    auto* v = dynamic_cast<TTestView*>(r->FindObject("Memo1"));
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(Describe(v), c.Expect);
    bool named = r->Errors()->Count() > 0 && StartsStr("Memo1.", r->Errors()->Strings(0));
    EXPECT_EQ(named, c.ErrorLine) << r->Errors()->Text();
    delete r;
  }
  // The enumeration that a name or a number gives.
  auto* r = new TSilentReport(&holder);
  LoadText(*r, Fr3("", "  <TTestView Name=\"A\" Align=\"baClient\"/>\r\n  <TTestView Name=\"B\" Align=\"3\"/>\r\n"));
  EXPECT_EQ(dynamic_cast<TTestView*>(r->FindObject("A"))->Align(), baClient);
  EXPECT_EQ(dynamic_cast<TTestView*>(r->FindObject("B"))->Align(), baCenter);
}

TEST(Fr3Format, TextsAreUtf8AndOlderGbkValuesStillRead) {
  String gbkName = Utf8ToGbk("宋体");
  TSilentReport r;
  LoadText(r, Fr3(" ReportOptions.Author=\"" + Utf8ToGbk("李四") + "\"",
                  "  <TTestView Name=\"M\" ParentFont=\"False\" Font.Name=\"" + gbkName +
                      "\" u=\"&#60;合计&#62;\"/>\r\n"));
  EXPECT_EQ(r.ReportOptions()->Author(), "李四");
  auto* v = dynamic_cast<TTestView*>(r.FindObject("M"));
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->Font()->Name(), "宋体");
  EXPECT_EQ(v->ObjectText(), u"<合计>");
}

TEST(Fr3Format, OnlyReportObjectsAreMadeFromAFile) {
  const char* const cases[] = {"TfrxFoo", "TADOConnection", "TfrxReport", "TStringList"};
  for (const char* cls : cases) {
    SCOPED_TRACE(cls);
    TSilentReport r;
    LoadText(r, Fr3("", String("  <TTestView Name=\"A\"/>\r\n  <") + cls +
                            " Name=\"X\">\r\n    <TTestView Name=\"Inside\"/>\r\n  </" + cls +
                            ">\r\n  <TTestView Name=\"B\"/>\r\n"));
    ASSERT_EQ(r.Errors()->Count(), 1);
    EXPECT_EQ(r.Errors()->Strings(0), String("不明的类别 ") + cls);
    EXPECT_NE(r.FindObject("A"), nullptr);
    EXPECT_NE(r.FindObject("B"), nullptr);
    EXPECT_EQ(r.FindObject("X"), nullptr);
    EXPECT_EQ(r.FindObject("Inside"), nullptr);  // the subtree goes with it
    EXPECT_EQ(r.ComponentCount(), 2);
  }
  // A paste of anything but a report object is refused as an unknown class.
  TfrxReport r(nullptr);
  TfrxXMLSerializer s(nullptr);
  EXPECT_THROW(s.ObjectFromText(&r, "TADOConnection Name=\"X\""), EClassNotFound);
  EXPECT_EQ(s.ObjectFromText(&r, "  "), nullptr);
  TfrxComponent* pasted = s.ObjectFromText(&r, "TTestView Name=\"P1\" Left=\"3\"");
  ASSERT_NE(pasted, nullptr);
  EXPECT_EQ(pasted->Parent(), &r);
  EXPECT_EQ(pasted->Left(), 3);
  EXPECT_FALSE(pasted->IsLoading());
}

TEST(Fr3Format, ADuplicateNameIsAnErrorLineAndTheObjectStaysUnnamed) {
  TSilentReport r;
  LoadText(r, Fr3("", "  <TTestView Name=\"Memo1\"/>\r\n  <TTestView Name=\"MEMO1\" Left=\"5\"/>\r\n"));
  ASSERT_EQ(r.ObjectCount(), 2);
  EXPECT_EQ(r.Objects(1)->Name(), "");
  EXPECT_EQ(r.Objects(1)->Left(), 5);
  ASSERT_EQ(r.Errors()->Count(), 1);
  EXPECT_EQ(r.Errors()->Strings(0), "TTestView.Name: Duplicate name");
}

// ---------------------------------------------------------------- what a file may change

TEST(Fr3Format, AFileChangesTheContentAndOnlyFiveOptions) {
  TSilentReport r;
  r.SetIniFile("C:\\mine.ini");
  r.EngineOptions()->SetMaxMemSize(33);
  r.PreviewOptions()->SetZoom(2);
  LoadText(r, Fr3(" Version=\"2.0\" ShowProgress=\"False\" OldStyleProgress=\"True\" IniFile=\"other.ini\""
                  " EngineOptions.DoublePass=\"True\" EngineOptions.MaxMemSize=\"99\""
                  " PreviewOptions.OutlineVisible=\"True\" PreviewOptions.OutlineWidth=\"200\""
                  " PreviewOptions.Zoom=\"3\" ScriptLanguage=\"JScript\"",
                  ""));
  EXPECT_EQ(r.Version(), "3.23.7");
  EXPECT_TRUE(r.ShowProgress());
  EXPECT_FALSE(r.OldStyleProgress());
  EXPECT_EQ(r.IniFile(), "C:\\mine.ini");
  EXPECT_TRUE(r.EngineOptions()->DoublePass());
  EXPECT_EQ(r.EngineOptions()->MaxMemSize(), 33);
  EXPECT_TRUE(r.PreviewOptions()->OutlineVisible());
  EXPECT_EQ(r.PreviewOptions()->OutlineWidth(), 200);
  EXPECT_EQ(r.PreviewOptions()->Zoom(), 2.0);
  EXPECT_EQ(r.ScriptLanguage(), "JScript");
  EXPECT_EQ(r.EngineOptions()->NewSilentMode(), simSilent);  // the report's own, kept
}

TEST(Fr3Format, APasswordIsStoredTransformedAndARefusedOneEmptiesTheReport) {
  TfrxReport r(nullptr);
  r.ReportOptions()->SetPassword("abc");
  new TTestView(&r);
  String text = SaveText(r);
  EXPECT_NE(text.find("ReportOptions.Password=\"WXY\""), String::npos) << text;
  EXPECT_EQ(r.ReportOptions()->Password(), "abc");  // kept in plain afterwards

  struct TCase {
    bool Answer;
    const char* Typed;
    int Objects;
  };
  for (TCase c : {TCase{false, "", 0}, TCase{true, "abd", 0}, TCase{true, "abc", 1}}) {
    SCOPED_TRACE(c.Typed);
    int asked = 0;
    SetPasswordPrompt([&](String& typed) {
      ++asked;
      typed = c.Typed;
      return c.Answer;
    });
    TSilentReport back;
    LoadText(back, text);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(back.ObjectCount(), c.Objects);
    EXPECT_EQ(back.ReportOptions()->Password(), c.Objects ? "abc" : "");
    if (c.Objects) {
      // Accepted once, it is not asked again until the report is cleared.
      EXPECT_TRUE(back.ReportOptions()->CheckPassword());
      EXPECT_EQ(asked, 1);
    }
  }
  SetPasswordPrompt(nullptr);
  TSilentReport back;  // no password dialog in the program yet: the question is cancelled
  LoadText(back, text);
  EXPECT_EQ(back.ObjectCount(), 0);
}

// ---------------------------------------------------------------- files that cannot be read

TEST(Fr3Format, MissingDamagedAndHostileFiles) {
  TempFolder dir;
  String nested = String(kHeader) + "<TfrxReport>";
  for (int i = 0; i < 100000; ++i) nested += "<TTestView>";
  struct TCase {
    const char* Name;
    String Content;
  };
  const TCase bad[] = {
      {"lt.fr3", String(kHeader) + "<TfrxReport Name=\"a<b\"/>"},
      {"cut.fr3", String(kHeader) + "<TfrxReport>\r\n  <TTestView Name=\"M\" Left=\"1"},
      {"noheader.fr3", "<TfrxReport/>"},
      {"nested.fr3", nested},
  };
  for (const TCase& c : bad) {
    SCOPED_TRACE(c.Name);
    dir.Write(c.Name, c.Content);
    TSilentReport r;
    new TTestView(&r);
    r.DataSets()->Add();
    r.PrintOptions()->SetCopies(3);
    try {
      r.LoadFromFile(dir / c.Name);
      ADD_FAILURE() << "a damaged file must not load silently";
    } catch (const EfrxFormatError& e) {
      EXPECT_NE(e.Message().find(c.Name), String::npos) << e.Message();
      EXPECT_NE(e.Message().find("Invalid file format"), String::npos) << e.Message();
    }
    EXPECT_EQ(r.FileName(), "");
    EXPECT_EQ(r.ObjectCount(), 0);
    EXPECT_EQ(r.DataSets()->Count(), 0);
    EXPECT_EQ(r.PrintOptions()->Copies(), 1);
    ASSERT_EQ(r.Errors()->Count(), 1);
    EXPECT_NE(r.Errors()->Strings(0).find(c.Name), String::npos);
  }

  // Bad PropData: reported, and what came before it stays.
  const char* const propData[] = {
      "0844617461736574730101",            // a list that ends early
      "08446174617365747301010CFFFFFF7F",  // a length far beyond the data
      "ZZ",                                // not hexadecimal
  };
  for (const char* hex : propData) {
    SCOPED_TRACE(hex);
    TSilentReport r;
    LoadText(r, Fr3(String(" ScriptLanguage=\"JScript\" PropData=\"") + hex + "\"", "  <TTestView Name=\"M\"/>\r\n"));
    EXPECT_EQ(r.ScriptLanguage(), "JScript");
    EXPECT_EQ(r.ObjectCount(), 1);
    ASSERT_EQ(r.Errors()->Count(), 1);
    EXPECT_TRUE(StartsStr("TfrxReport.PropData: ", r.Errors()->Strings(0))) << r.Errors()->Strings(0);
  }

  // A missing file: False, an empty report, nothing said.
  TSilentReport r;
  new TTestView(&r);
  EXPECT_FALSE(r.LoadFromFile(dir / "none.fr3"));
  EXPECT_EQ(r.ObjectCount(), 0);
  EXPECT_EQ(r.Errors()->Count(), 0);
}

TEST(Fr3Format, LoadErrorsAreReportedOnceByTheSilentMode) {
  String text = Fr3("", "  <TfrxFoo/>\r\n  <TfrxBar/>\r\n");
  std::vector<String> shown;
  SetMessageBoxHook([&](const String& t, const String&, int) {
    shown.push_back(t);
    return IDOK;
  });
  TScopeExit unhook([] { SetMessageBoxHook(nullptr); });
  TfrxReport boxes(nullptr);
  LoadText(boxes, text);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "发生以下错误:\r\n不明的类别 TfrxBar\r\n不明的类别 TfrxFoo\r\n");

  TfrxReport rethrow(nullptr);
  rethrow.EngineOptions()->SetNewSilentMode(simReThrow);
  EXPECT_THROW(LoadText(rethrow, text), Exception);
  TSilentReport silent;
  LoadText(silent, text);
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_EQ(silent.Errors()->Count(), 2);
}

TEST(Fr3Format, SaveToFileAndLoadFromFileRoundTrip) {
  TempFolder dir;
  TfrxReport r(nullptr);
  auto* v = new TTestView(&r);
  v->SetName("Memo1");
  v->SetObjectText(u"第 [Page#] 页");
  r.SaveToFile(dir / "a.fr3");
  TSilentReport back;
  EXPECT_TRUE(back.LoadFromFile(dir / "a.fr3"));
  EXPECT_EQ(back.FileName(), dir / "a.fr3");
  auto* m = dynamic_cast<TTestView*>(back.FindObject("Memo1"));
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->ObjectText(), u"第 [Page#] 页");
}

// ---------------------------------------------------------------- the layout's carrier

TEST(Fr3Format, StoredPagesBecomePagesWhenEveryClassIsKnownAndWriteBackAsText) {
  const char* const kLayout =
      "object Holder: TFr3Holder\n"
      "  object frxDBDataset5: TfrxDBDataset\n"
      "    UserName = 'G'\n"
      "  end\n"
      "  object frx_a: TfrxReport\n"
      "    StoredPages = (\n"
      "      '<TTestView Name=\"Page1\" Left=\"0\" Top=\"0\" Width=\"100\" Height=\"50\">'\n"
      "      '  <TTestView Name=\"Memo1\" Left=\"1\" Top=\"2\" Width=\"3\" Height=\"4\" DataSet=\"frxDBDataset5\" "
      "DataSetName=\"G\" Text=\"货品\"/>'\n"
      "      '</TTestView>')\n"
      "  end\n"
      "  object frx_b: TfrxReport\n"
      "    StoredPages = (\n"
      "      '<TfrxReportPageNotYet Name=\"Page1\">'\n"
      "      '</TfrxReportPageNotYet>')\n"
      "  end\n"
      "end\n";
  std::unique_ptr<TComponent> root(ReadComponentFromText(nullptr, kLayout, "holder.txt"));
  auto* a = dynamic_cast<TfrxReport*>(root->FindComponent("frx_a"));
  auto* b = dynamic_cast<TfrxReport*>(root->FindComponent("frx_b"));
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  // Known classes: read into objects, references resolved against the holder.
  EXPECT_EQ(a->StoredPages()->Count(), 0);
  auto* memo = dynamic_cast<TTestView*>(a->FindObject("Memo1"));
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(memo->DataSet(), root->FindComponent("frxDBDataset5"));
  EXPECT_EQ(memo->ObjectText(), u"货品");
  EXPECT_EQ(a->Errors()->Count(), 0) << a->Errors()->Text();
  // A class not yet in the program: the text stays whole.
  EXPECT_EQ(b->ObjectCount(), 0);
  EXPECT_EQ(b->StoredPages()->Count(), 2);

  String text = WriteComponentToText(root.get());
  EXPECT_NE(text.find("'<TTestView Name=\"Page1\" Left=\"0\" Top=\"0\" Width=\"100\" Height=\"50\"' +"), String::npos)
      << text;
  EXPECT_NE(text.find("Text=\"货品\"/>'"), String::npos);
  EXPECT_NE(text.find("'<TfrxReportPageNotYet Name=\"Page1\">'"), String::npos);
  std::unique_ptr<TComponent> again(ReadComponentFromText(nullptr, text, "again.txt"));
  EXPECT_EQ(WriteComponentToText(again.get()), text);
}

}  // namespace
