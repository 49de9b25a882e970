// The older engine's globals, locale and object model: constants before any report, texts by
// number, views' defaults and script properties, name resolution, the factory and registries.
#include "FrTestSupport.h"

#include "report_legacy/FR_Intrp.h"
#include "report_legacy/FR_Pars.h"
#include "report_legacy/FR_Utils.h"

#include "core/StringList.h"
#include "core/Streams.h"
#include "gui/Canvas.h"
#include "gui/Forms.h"
#include "gui/Menus.h"
#include "gui/Pictures.h"

namespace {

using frtest::TEngineTest;

class FrGlobals : public TEngineTest {};

TEST_F(FrGlobals, ConstantsParserAndTextsExistBeforeAnyReport) {
  TfrParser* p = Globals->Parser.get();
  EXPECT_EQ(p->Evaluate("clRed").AsInteger(), 255);
  EXPECT_EQ(p->Evaluate("clBtnFace").AsInteger(), static_cast<int>(0xFF00000F));
  EXPECT_EQ(p->Evaluate("mb_IconWarning + fsBold").AsInteger(), 50);
  EXPECT_EQ(VarToStr(Globals->ScriptConstants->Variable("CRLF")), "\r\n");
  EXPECT_TRUE(VarIsNull(Globals->ScriptConstants->Variable("Null")));
  EXPECT_TRUE(Globals->ScriptConstants->Sorted());
  EXPECT_TRUE(Globals->ScriptVariables->Sorted());

  ASSERT_EQ(Globals->BandKindNames.size(), 23u);
  EXPECT_EQ(Globals->BandKindNames[0], "报表标题");
  EXPECT_EQ(Globals->BandKindNames[22], "无");
  EXPECT_EQ(Globals->BooleanFormats[1], "否;是");
  EXPECT_EQ(Globals->TimeFormats[3], "h:nn");
  EXPECT_EQ(frState().DefaultCharset, 1);
  EXPECT_EQ(LocaleText(55345), "不支持的FRF格式");
  EXPECT_EQ(LocaleText(55349), "");  // a number the table does not hold
  EXPECT_EQ(LocaleText(-5), "");

  EXPECT_EQ(Globals->DialogForm()->Name(), "DialogForm");
  EXPECT_EQ(Globals->DialogForm()->Left(), -100);
  EXPECT_EQ(Globals->CheckerBitmap->Canvas()->Pixels(0, 0), 0xFFFFFF);
  EXPECT_EQ(Globals->CheckerBitmap->Canvas()->Pixels(1, 0), 0xC0C0C0);
  EXPECT_EQ(Globals->CheckerBitmap->Canvas()->Pixels(7, 7), 0xFFFFFF);
}

TEST_F(FrGlobals, TheLocaleHookComesFirstAndEmptyAnswersFallBack) {
  LocaleInstance()->SetOnLocalize(TfrLocalizeEvent::Lambda([](int id, String& text) {
    if (id == 55206) text = "Error";
  }));
  EXPECT_EQ(LocaleText(55206), "Error");
  EXPECT_EQ(LocaleText(55207), "预览");
  EXPECT_EQ(LocaleInstance()->LoadBitmap("NO_SUCH_BITMAP"), nullptr);
}

// The compressor of prepared-report files: off when the globals come to life, and both
// directions of this class leave every stream as it is, wherever the streams stand.
TEST_F(FrGlobals, TheCompressorIsOffAndLeavesEveryStreamAsItIs) {
  ASSERT_NE(Globals->Compressor, nullptr);
  EXPECT_FALSE(Globals->Compressor->Enabled);
  struct Case {
    const char* what;
    String source;
    Int64 sourceAt;
    String destination;
    Int64 destinationAt;
  } cases[] = {
      {"both empty", "", 0, "", 0},
      {"a page into an empty stream", String("\x19\x00\x01page", 7), 0, "", 0},
      {"from the middle of the source", "abcdef", 3, "", 0},
      {"into a stream that holds bytes", "abc", 0, "kept", 2},
      {"into a stream standing at its end", "abc", 1, "kept", 4},
  };
  for (const auto& c : cases) {
    for (bool decompress : {false, true}) {
      TStringStream source(c.source), destination(c.destination);
      source.SetPosition(c.sourceAt);
      destination.SetPosition(c.destinationAt);
      if (decompress) Globals->Compressor->DeCompress(&source, &destination);
      else Globals->Compressor->Compress(&source, &destination);
      const String what = String(c.what) + (decompress ? ", DeCompress" : ", Compress");
      EXPECT_EQ(destination.DataString(), c.destination) << what;
      EXPECT_EQ(destination.Position(), c.destinationAt) << what;
      EXPECT_EQ(source.DataString(), c.source) << what;
      EXPECT_EQ(source.Position(), c.sourceAt) << what;
    }
  }
}

// Every set of globals has its own compressor, off again; a real method takes the global
// one's place and is what callers of the global reach.
TEST_F(FrGlobals, ACompressorOfItsOwnTakesTheGlobalPlace) {
  Globals->Compressor->Enabled = true;
  Globals.reset();
  Globals = std::make_unique<TfrGlobals>();
  EXPECT_FALSE(Globals->Compressor->Enabled) << "the flag of earlier globals is gone";

  // Stands in for a real method: reverses the bytes from the source's position.
  class TReversing : public TfrCompressor {
  public:
    void Compress(TStream* Source, TStream* Destination) override {
      String b(static_cast<std::size_t>(Source->Size() - Source->Position()), '\0');
      Source->ReadBuffer(b.data(), static_cast<Int64>(b.size()));
      Destination->WriteBuffer(String(b.rbegin(), b.rend()).data(), static_cast<Int64>(b.size()));
    }
    void DeCompress(TStream* Source, TStream* Destination) override { Compress(Source, Destination); }
  };
  Globals->Compressor = std::make_unique<TReversing>();
  Globals->Compressor->Enabled = true;
  TfrCompressor* global = TfrGlobals::Instance()->Compressor.get();
  TStringStream page("page"), packed, unpacked;
  global->Compress(&page, &packed);
  EXPECT_EQ(packed.DataString(), "egap");
  packed.SetPosition(0);
  global->DeCompress(&packed, &unpacked);
  EXPECT_EQ(unpacked.DataString(), "page");
  EXPECT_TRUE(TfrGlobals::Instance()->Compressor->Enabled);
}

class FrObjects : public TEngineTest {};

TEST_F(FrObjects, ViewsHaveTheirDefaults) {
  TfrMemoView memo;
  EXPECT_EQ(memo.TypeCode, 0);
  EXPECT_EQ(memo.Flags, 3);
  EXPECT_EQ(memo.NamePrefix, "Memo");
  EXPECT_EQ(memo.FillColor, clNone);
  EXPECT_EQ(memo.FormatCode, '.' + 0x200);
  EXPECT_EQ(memo.Visible, 0xFFFF);
  EXPECT_EQ(memo.GapX, 2);
  EXPECT_EQ(memo.LineSpacing, 2);
  EXPECT_EQ(memo.HighlightFillColor, 0xFFFFFF);
  TfrBandView band;
  EXPECT_EQ(band.TypeCode, 2);
  EXPECT_EQ(band.Flags, 48);
  EXPECT_EQ(band.FormatCode, 0);
  EXPECT_EQ(band.ColumnWidth, 200);
  TfrLineView line;
  EXPECT_EQ(line.FrameTyp, 4);
  EXPECT_EQ(line.FillColor, 0xFFFFFF);
  TfrControl control;
  EXPECT_EQ(control.FillColor, static_cast<TColor>(0xFF00000F));
  TfrPictureView picture;  // defines the blob type names for expressions
  EXPECT_EQ(picture.Flags, 5);
  EXPECT_EQ(Globals->Parser->Evaluate("btJPG").AsInteger(), 1);
}

TEST_F(FrObjects, ScriptPropertiesSetAndGetByName) {
  TfrMemoView memo;
  memo.SetScriptProp("Stretched", Variant(false));
  EXPECT_EQ(memo.Flags, 2);  // only bit 1 cleared, WordWrap kept
  memo.SetScriptProp("stretched", Variant(true));
  EXPECT_EQ(memo.Flags, 3);
  memo.SetScriptProp("HIDEZEROS", Variant(1));
  EXPECT_EQ(memo.Flags, 3 | 64);
  EXPECT_EQ(memo.GetScriptProp("DataField").AsString(), "");  // empty Memo
  memo.SetScriptProp("Memo", Variant("a\r\nb"));
  EXPECT_EQ(memo.Memo.Count(), 2);
  EXPECT_EQ(memo.GetScriptProp("DataField").AsString(), "a");
  EXPECT_EQ(memo.GetScriptProp("Lines.Count").AsInteger(), 2);
  EXPECT_TRUE(VarIsEmpty(memo.GetScriptProp("NoSuchThing")));
  TfrMemoView before;
  memo.SetScriptProp("NoSuchThing", Variant(5));  // changes nothing
  EXPECT_EQ(memo.Left, before.Left);
  memo.SetScriptProp("Font.Style", Variant(3));
  EXPECT_EQ(memo.GetScriptProp("FONT.STYLE").AsInteger(), 3);
  memo.SetScriptProp("FrameWidth", Variant(0.5));
  EXPECT_DOUBLE_EQ(memo.GetScriptProp("FrameWidth").AsDouble(), 0.5);
  memo.SetScriptProp("Visible", Variant(false));
  EXPECT_FALSE(memo.GetScriptProp("Visible").AsBoolean());
  memo.CallScriptMethod("Show", Variant(), Variant(), Variant());
  EXPECT_TRUE(memo.IsVisible());

  // List methods on the memo's lines; arguments of ADD, DELETE and INDEXOF are expressions.
  memo.CallScriptMethod("LINES.ADD", Variant("'x' + 'y'"), Variant(), Variant());
  EXPECT_EQ(memo.Memo.Strings(2), "xy");
  EXPECT_EQ(memo.CallScriptMethod("Lines.IndexOf", Variant("'xy'"), Variant(), Variant()).AsInteger(), 2);
  memo.CallScriptMethod("SetIndexProperty", Variant("Lines"), Variant(0), Variant("z"));
  EXPECT_EQ(memo.CallScriptMethod("GetIndexProperty", Variant("LINES"), Variant(0), Variant()).AsString(), "z");
  memo.CallScriptMethod("Memo.Delete", Variant("1"), Variant(), Variant());
  EXPECT_EQ(memo.Memo.Count(), 2);
  memo.CallScriptMethod("memo.clear", Variant(), Variant(), Variant());
  EXPECT_EQ(memo.Memo.Count(), 0);

  TfrBandView band;
  band.SetScriptProp("Condition", Variant("[Qry.Kind]"));
  EXPECT_EQ(band.FormatText, "[Qry.Kind]");
  band.SetScriptProp("RepeatHeader", Variant(true));
  EXPECT_EQ(band.Flags, 48 | 64);
  TfrPictureView picture;
  picture.SetScriptProp("KeepAspect", Variant(false));
  EXPECT_EQ(picture.Flags, 1);
  // A number a script makes up is not taken for a picture.
  picture.SetScriptProp("Picture", Variant(static_cast<Int64>(12345)));
  EXPECT_TRUE(picture.Picture->Graphic() == nullptr || picture.Picture->Graphic()->Empty());
}

TEST_F(FrObjects, ScriptPropertyListsFollowTheClassAndBandType) {
  auto names = [](TfrObject& o) {
    EnsureScriptProps(&o);
    String r;
    for (const auto& p : o.ScriptProps()) r += p->Name + ",";
    return r;
  };
  TfrLineView line;
  EXPECT_EQ(names(line),
            "Name,Left,Top,Width,Height,Flags,FrameTyp,FrameWidth,FrameColor,FrameStyle,FillColor,Tag,BandAlign,"
            "Visible,Memo,Memo.Count,Restrictions,Stretched,");
  TfrControl control;
  EXPECT_EQ(names(control), "Name,Left,Top,Width,Height,Visible,Restrictions,");
  TfrBandView footer;
  footer.SetBandType(btPageFooter);
  EXPECT_EQ(names(footer),
            "Name,Left,Top,Width,Height,Flags,Visible,OnBeforePrint,Memo.Count,Restrictions,OnFirstPage,OnLastPage,EOF,");
  TfrBandView data;
  data.SetBandType(btMasterData);
  EXPECT_EQ(names(data),
            "Name,Left,Top,Width,Height,Flags,Visible,OnBeforePrint,Memo.Count,Restrictions,ChildBand,"
            "PrintChildIfInvisible,Stretched,FormNewPage,PrintIfSubsetEmpty,Breaked,Columns,ColumnWidth,ColumnGap,"
            "DataSource,EOF,");
  TfrPropRec* style = FindScriptProp(&line, "framestyle");
  ASSERT_NE(style, nullptr);
  EXPECT_EQ(style->Kind, frkind::Enumeration);
  ASSERT_EQ(style->EnumNames.size(), 6u);
  EXPECT_EQ(style->EnumNames[5], "psDouble");
  EXPECT_EQ(style->EnumValues[5].AsInteger(), 5);
  EXPECT_EQ(FindScriptProp(&line, "Name")->Kind, 257);
  EXPECT_EQ(FindScriptProp(&line, "Tag")->Kind, 320);
}

TEST_F(FrObjects, NamesResolveToPagesObjectsAndTheCurrentView) {
  TfrReport report(nullptr);
  frState().CurrentReport = &report;
  report.Pages()->Add();
  TfrPage* second = report.Pages()->Add();
  auto* memo = new TfrMemoView;
  memo->Name = "PageX";
  second->AddObject(memo);
  auto* current = new TfrMemoView;
  current->Name = "Memo9";
  second->AddObject(current);
  frState().CurrentView = current;

  String prop;
  EXPECT_EQ(ResolveScriptName("PAGE2.Visible", prop), second);
  EXPECT_EQ(prop, "Visible");
  EXPECT_EQ(ResolveScriptName("PageX.Left", prop), memo);  // a letter after PAGE: an object
  EXPECT_EQ(prop, "Left");
  EXPECT_EQ(ResolveScriptName("Width", prop), current);
  EXPECT_EQ(ResolveScriptName("Font.Size", prop), current);  // the view's own dotted property
  EXPECT_EQ(prop, "Font.Size");
  EXPECT_EQ(ResolveScriptName("PAGE7.Visible", prop), nullptr);
  EXPECT_EQ(ResolveScriptName("Nobody.Left", prop), nullptr);

  // Unique names skip those the report already has.
  auto* fresh = new TfrMemoView;
  second->AddObject(fresh);
  auto* taken = new TfrMemoView;
  taken->Name = "Memo1";
  second->AddObject(taken);
  fresh->MakeUniqueName();
  EXPECT_EQ(fresh->Name, "Memo2");
  frState().CurrentReport = nullptr;
}

TEST_F(FrObjects, TheFactoryMakesKnownTypesAndNamesEveryMissingClass) {
  const int before = frState().ObjectCounter;
  std::unique_ptr<TfrView> memo(CreateViewByType(0, ""));
  ASSERT_NE(dynamic_cast<TfrMemoView*>(memo.get()), nullptr);
  EXPECT_EQ(memo->ObjectNumber, before);
  for (int code : {1, 2, 3, 4}) {
    std::unique_ptr<TfrView> v(CreateViewByType(code, ""));
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->TypeCode, code);
  }
  for (int code : {5, 6, 7, 8, 9, 11, 200}) EXPECT_EQ(CreateViewByType(code, ""), nullptr) << code;

  EXPECT_THROW(CreateViewByType(10, "TfrOleView"), EClassNotFound);
  try {
    CreateViewByType(10, "TfrChartView");
    FAIL();
  } catch (const EClassNotFound& e) {
    EXPECT_EQ(e.Message(), "TfrOleView\rTfrChartView\r");
  }
  EXPECT_TRUE(frState().ErrorFlag);

  // The registry takes any number of add-ins, each class once.
  ClearAddInObjects();
  for (int i = 0; i < 70; ++i)
    RegisterAddInObject("TAddIn" + IntToStr(i), [] { return new TfrControl; }, nullptr, "hint");
  RegisterAddInObject("TAddIn3", [] { return new TfrControl; }, nullptr, "again");
  EXPECT_EQ(AddInObjects().size(), 70u);
  std::unique_ptr<TfrView> addIn(CreateViewByType(10, "TAddIn66"));
  ASSERT_NE(dynamic_cast<TfrControl*>(addIn.get()), nullptr);
  EXPECT_EQ(addIn->AddInClassName, "TAddIn66");
  ClearAddInObjects();
}

class TCountLibrary : public TfrFunctionLibrary {
public:
  TCountLibrary() {
    FunctionNames->Add("TWICE");
    AddFunctionDesc("TWICE", "Math", "TWICE(<X>)/Doubles");
  }
  void CallFunction(int, const Variant& p1, const Variant&, const Variant&, Variant& Val) override {
    Val = Variant(p1.AsInteger() * 2);
  }
};

TEST_F(FrObjects, FunctionLibrariesRegisterOnceAndLeaveWithTheirDescriptions) {
  // The standard and database libraries are there from the start.
  const std::size_t builtIn = FunctionLibraries().size();
  const std::size_t builtInDescriptions = Globals->FunctionDescriptions.size();
  for (int i = 0; i < 70; ++i) RegisterFunctionLibrary("TLib" + IntToStr(i), [] { return new TCountLibrary; });
  RegisterFunctionLibrary("TLib1", [] { return new TCountLibrary; });
  EXPECT_EQ(FunctionLibraries().size(), builtIn + 70);
  // A function described once is not described again by the next library.
  EXPECT_EQ(Globals->FunctionDescriptions.size(), builtInDescriptions + 1);
  Variant v;
  EXPECT_TRUE(FunctionLibraries()[builtIn + 5].second->OnFunction("TWICE", Variant(4), Variant(), Variant(), v));
  EXPECT_EQ(v.AsInteger(), 8);
  EXPECT_FALSE(FunctionLibraries()[builtIn + 5].second->OnFunction("THRICE", Variant(4), Variant(), Variant(), v));
  for (int i = 0; i < 70; ++i) UnregisterFunctionLibrary("TLib" + IntToStr(i));
  EXPECT_EQ(FunctionLibraries().size(), builtIn);
  EXPECT_EQ(Globals->FunctionDescriptions.size(), builtInDescriptions);
}

TEST_F(FrObjects, PopupTogglesApplyToTheSelectionUnlessProtected) {
  TfrReport report(nullptr);
  TfrPage* page = report.Pages()->Add();
  auto* a = new TfrMemoView;
  auto* b = new TfrMemoView;
  auto* locked = new TfrMemoView;
  locked->Restrictions = 8;
  for (TfrMemoView* m : {a, b, locked}) {
    m->IsSelected = true;
    page->AddObject(m);
  }
  TPopupMenu menu(nullptr);
  a->FillPopupMenu(&menu);
  // Format, font and clear items, the separator, then Stretched.
  ASSERT_GE(menu.Items()->Count(), 6);
  TMenuItem* stretched = menu.Items()->Items(4);
  EXPECT_TRUE(stretched->Checked());
  stretched->Click();
  EXPECT_EQ(a->Flags & 1, 0);
  EXPECT_EQ(b->Flags & 1, 0);
  EXPECT_EQ(locked->Flags & 1, 1);
}

}  // namespace
