// Fields: text conversions and their errors, display and edit text, field events, lookup and
// calculated fields, persistent fields in code and in layouts.
#include "core/ClassBuilder.h"
#include "DataTestUtil.h"
#include "core/Filer.h"

#include <gtest/gtest.h>

#include <functional>

using namespace datatest;

namespace {

// One column of every type the schema uses, one row of Nulls.
TMemDataSet* MakeTypes(TComponent* owner) {
  auto* ds = new TMemDataSet(owner);
  struct Def { const char* name; TFieldType type; int size; };
  const Def defs[] = {
      {"S", ftString, 20}, {"W", ftWideString, 20}, {"I", ftInteger, 0}, {"Sm", ftSmallint, 0},
      {"Wd", ftWord, 0},   {"L", ftLargeint, 0},    {"F", ftFloat, 0},   {"Cur", ftCurrency, 0},
      {"B", ftBCD, 4},     {"Bo", ftBoolean, 0},    {"D", ftDate, 0},    {"T", ftTime, 0},
      {"DT", ftDateTime, 0}, {"M", ftMemo, 0},      {"Bl", ftBlob, 0},   {"A", ftAutoInc, 0},
  };
  for (const Def& d : defs) ds->FieldDefs()->Add(d.name, d.type, d.size);
  ds->AddRow({});
  return ds;
}

class FieldTest : public ::testing::Test {
protected:
  TComponent Owner{nullptr};
  TMemDataSet* DS = nullptr;
  void SetUp() override {
    DS = MakeTypes(&Owner);
    DS->Open();
    DS->Edit();
  }
  TField* F(const char* name) { return DS->FieldByName(name); }
};

TEST_F(FieldTest, DefaultFieldsHaveTheClassOfTheirType) {
  struct Case { const char* field; const char* cls; TFieldType type; TAlignment align; };
  const Case cases[] = {
      {"S", "TStringField", ftString, taLeftJustify},       {"W", "TWideStringField", ftWideString, taLeftJustify},
      {"I", "TIntegerField", ftInteger, taRightJustify},    {"Sm", "TSmallintField", ftSmallint, taRightJustify},
      {"Wd", "TWordField", ftWord, taRightJustify},         {"L", "TLargeintField", ftLargeint, taRightJustify},
      {"F", "TFloatField", ftFloat, taRightJustify},        {"Cur", "TCurrencyField", ftCurrency, taRightJustify},
      {"B", "TBCDField", ftBCD, taRightJustify},            {"Bo", "TBooleanField", ftBoolean, taLeftJustify},
      {"D", "TDateField", ftDate, taLeftJustify},           {"T", "TTimeField", ftTime, taLeftJustify},
      {"DT", "TDateTimeField", ftDateTime, taLeftJustify},  {"M", "TMemoField", ftMemo, taLeftJustify},
      {"Bl", "TBlobField", ftBlob, taLeftJustify},          {"A", "TAutoIncField", ftAutoInc, taRightJustify},
  };
  ASSERT_EQ(DS->FieldCount(), static_cast<int>(std::size(cases)));
  for (int i = 0; i < DS->FieldCount(); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.field);
    TField* f = DS->Fields()->Fields(i);
    EXPECT_EQ(f->FieldName(), c.field);
    EXPECT_EQ(f->ClassName(), c.cls);
    EXPECT_EQ(f->DataType(), c.type);
    EXPECT_EQ(static_cast<int>(f->DataType()), static_cast<int>(c.type));
    EXPECT_EQ(f->Alignment(), c.align);
    EXPECT_EQ(f->FieldNo(), i + 1);
    EXPECT_EQ(f->Index(), i);
    EXPECT_EQ(f->IsBlob(), String(c.field) == "M" || String(c.field) == "Bl");
    EXPECT_TRUE(f->IsNull());
  }
  EXPECT_EQ(F("S")->Size(), 20);
  EXPECT_EQ(F("B")->Size(), 4);
  EXPECT_EQ(F("S")->DisplayWidth(), 20);
  EXPECT_EQ(F("Bo")->DisplayWidth(), 5);
  EXPECT_EQ(F("D")->DisplayWidth(), 10);
}

TEST_F(FieldTest, TextAssignmentConvertsOrRaisesThePlatformErrors) {
  struct Case { const char* field; const char* text; const char* asString; const char* error; };
  const Case cases[] = {
      {"S", "abc", "abc", ""},
      {"I", " 12", "12", ""},
      {"I", "$1F", "31", ""},
      {"I", "abc", "", "EConvertError:'abc' 不是有效的整数值"},
      {"I", "12 ", "", "EConvertError:'12 ' 不是有效的整数值"},
      {"I", "3000000000", "",
       "EDatabaseError:3000000000 is not a valid value for field 'I'. The allowed range is -2147483648 to 2147483647"},
      {"Sm", "40000", "",
       "EDatabaseError:40000 is not a valid value for field 'Sm'. The allowed range is -32768 to 32767"},
      {"Wd", "-1", "", "EDatabaseError:-1 is not a valid value for field 'Wd'. The allowed range is 0 to 65535"},
      {"L", "9000000000", "9000000000", ""},
      {"F", "1.5e3", "1500", ""},
      {"F", "-0.25", "-0.25", ""},
      {"F", "1,5", "", "EConvertError:'1,5' 不是有效的数值"},
      {"Cur", "2.5", "2.5", ""},
      {"B", "12.34567", "12.3457", ""},
      {"B", "12.34565", "12.3456", ""},
      {"B", "abc", "", "EConvertError:'abc' 不是有效的数值"},
      {"Bo", "t", "True", ""},
      {"Bo", "FALSE", "False", ""},
      {"Bo", "maybe", "", "EConvertError:'maybe' 不是有效的布尔值"},
      {"D", "2024-01-05", "2024-01-05", ""},
      {"D", "2024-13-45", "", "EConvertError:'2024-13-45' 不是有效的日期"},
      {"T", "13:30", "13:30:00", ""},
      {"DT", "2024-01-05 13:30", "2024-01-05 13:30:00", ""},
      {"DT", "2024-01-05", "2024-01-05", ""},
      {"M", "line1\r\nline2", "line1\r\nline2", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(String(c.field) + " <- '" + c.text + "'");
    TField* f = F(c.field);
    f->SetAsString("");  // start from Null (an empty text for string fields)
    String before = f->AsString();
    if (*c.error) {
      try {
        f->SetText(c.text);
        ADD_FAILURE() << "no error";
      } catch (const Exception& e) {
        EXPECT_EQ(String(e.ClassName()) + ":" + e.Message(), c.error);
      }
      EXPECT_EQ(f->AsString(), before);  // a refused text changes nothing
    } else {
      f->SetText(c.text);
      EXPECT_EQ(f->AsString(), c.asString);
    }
  }
}

TEST_F(FieldTest, EmptyTextClearsValuesButNotStrings) {
  for (const char* name : {"I", "F", "B", "Bo", "D", "DT", "M", "Bl"}) {
    SCOPED_TRACE(name);
    F(name)->SetAsVariant(Variant(1));
    EXPECT_FALSE(F(name)->IsNull());
    F(name)->SetAsString("");
    EXPECT_TRUE(F(name)->IsNull());
    EXPECT_EQ(F(name)->Text(), name == String("M") ? "(Memo)" : name == String("Bl") ? "(Blob)" : "");
  }
  F("S")->SetAsString("");
  EXPECT_FALSE(F("S")->IsNull());
  F("S")->Clear();
  EXPECT_TRUE(F("S")->IsNull());
}

TEST_F(FieldTest, ReadingAsAnotherTypeConvertsOrRaises) {
  F("S")->SetAsString("abc");
  try {
    F("S")->AsInteger();
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'abc' 不是有效的整数值");
  }
  F("S")->SetAsString("42");
  EXPECT_EQ(F("S")->AsInteger(), 42);
  EXPECT_DOUBLE_EQ(F("S")->AsFloat(), 42.0);
  F("F")->SetAsFloat(2.5);
  EXPECT_EQ(F("F")->AsInteger(), 2);  // half to even
  F("F")->SetAsFloat(3.5);
  EXPECT_EQ(F("F")->AsInteger(), 4);
  F("B")->SetAsFloat(0.123449);
  EXPECT_EQ(F("B")->AsCurrency(), Currency::FromRaw(1234));
  F("I")->SetAsFloat(7.5);
  EXPECT_EQ(F("I")->AsInteger(), 8);
  F("D")->SetAsDateTime(EncodeDate(2024, 3, 1));
  EXPECT_DOUBLE_EQ(F("D")->AsFloat(), EncodeDate(2024, 3, 1));
  try {
    F("D")->AsInteger();
    FAIL() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Cannot access field 'D' as type Integer");
  }
  F("S")->SetAsBoolean(true);
  EXPECT_EQ(F("S")->AsString(), "T");
  EXPECT_TRUE(F("S")->AsBoolean());

  // Values come back as the variant type of the field.
  struct Case { const char* field; Variant value; TVarType type; };
  const Case cases[] = {
      {"S", "x", varString},  {"I", 5, varInteger},     {"Sm", 5, varInteger},  {"L", 5, varInt64},
      {"F", 1.5, varDouble},  {"B", 1.5, varCurrency},  {"Bo", true, varBoolean},
      {"D", Variant::FromDate(45000), varDate}, {"DT", 45000.5, varDate},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    F(c.field)->SetValue(c.value);
    EXPECT_EQ(VarType(F(c.field)->Value()), c.type);
  }
  F("I")->SetValue(Null());
  EXPECT_TRUE(VarIsNull(F("I")->Value()));
  EXPECT_EQ(F("I")->AsInteger(), 0);
}

TEST_F(FieldTest, DisplayAndEditTextFollowTheFormats) {
  struct Case {
    const char* name;
    const char* field;
    std::function<void(TField*)> setup;
    Variant value;
    const char* display;
    const char* edit;
  };
  auto num = [](const char* display, const char* edit) {
    return [=](TField* f) {
      static_cast<TNumericField*>(f)->SetDisplayFormat(display);
      static_cast<TNumericField*>(f)->SetEditFormat(edit);
    };
  };
  auto none = [](TField*) {};
  const Case cases[] = {
      {"float picture", "F", num("0.00", ""), 3.14159, "3.14", "3.14159"},
      {"float both", "F", num("#,##0.00", "0.0"), 1234.567, "1,234.57", "1234.6"},
      {"float rounds half away", "F", num("0.00", ""), 0.125, "0.13", "0.125"},
      {"float currency", "F", [](TField* f) { static_cast<TFloatField*>(f)->SetCurrency(true); }, 1234.5,
       "¥1,234.50", "1234.5"},
      {"currency field", "Cur", none, 3, "¥3.00", "3"},
      {"float general", "F", none, 1.0 / 3, "0.333333333333333", "0.333333333333333"},
      {"float null", "F", num("0.00", ""), Null(), "", ""},
      {"integer picture", "I", num("#,##0", ""), 1234567, "1,234,567", "1234567"},
      {"bcd currency", "B", [](TField* f) { static_cast<TBCDField*>(f)->SetCurrency(true); }, 1234.5, "¥1,234.50",
       "1234.5"},
      {"bcd picture", "B", num("0.0000", ""), 2.5, "2.5000", "2.5"},
      {"date picture", "D", [](TField* f) { static_cast<TDateTimeField*>(f)->SetDisplayFormat("yyyy'年'm'月'd'日'"); },
       Variant::FromDate(EncodeDate(2024, 1, 5)), "2024年1月5日", "2024-01-05"},
      {"datetime c", "DT", none, Variant::FromDate(EncodeDate(2024, 1, 5) + EncodeTime(13, 30, 0, 0)),
       "2024-01-05 13:30:00", "2024-01-05 13:30:00"},
      {"time", "T", none, Variant::FromDate(EncodeTime(9, 5, 7, 0)), "9:05:07", "9:05:07"},
      {"boolean values", "Bo", [](TField* f) { static_cast<TBooleanField*>(f)->SetDisplayValues("是;否"); }, false,
       "否", "否"},
      {"memo with text", "M", none, "notes", "(MEMO)", "(MEMO)"},
      {"memo empty", "M", none, Null(), "(Memo)", "(Memo)"},
      {"blob", "Bl", none, "\x01\x02", "(BLOB)", "(BLOB)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TMemDataSet* ds = MakeTypes(&Owner);  // fresh fields for every case
    ds->Open();
    ds->Edit();
    TField* f = ds->FieldByName(c.field);
    c.setup(f);
    f->SetValue(c.value);
    EXPECT_EQ(f->DisplayText(), c.display);
    EXPECT_EQ(f->Text(), c.edit);
  }
  static_cast<TBooleanField*>(F("Bo"))->SetDisplayValues("是;否");
  F("Bo")->SetText("是");
  EXPECT_TRUE(F("Bo")->AsBoolean());
  F("Bo")->SetText("否");
  EXPECT_FALSE(F("Bo")->AsBoolean());
  EXPECT_EQ(F("Bo")->AsString(), "否");
}

TEST_F(FieldTest, FieldEventsValidateChangeAndTranslateText) {
  TField* qty = F("I");
  std::vector<String> log;
  qty->SetOnValidate(TFieldNotifyEvent::Lambda([&](TField* f) {
    log.push_back("validate " + f->AsString());  // the new value is visible here
    if (f->AsInteger() < 0) throw EDatabaseError("must not be negative");
  }));
  qty->SetOnChange(TFieldNotifyEvent::Lambda([&](TField* f) { log.push_back("change " + f->AsString()); }));
  qty->SetAsInteger(5);
  EXPECT_THROW(qty->SetAsInteger(-1), EDatabaseError);
  EXPECT_EQ(qty->AsInteger(), 5);
  EXPECT_EQ(Join(log), "validate 5,change 5,validate -1");

  TField* name = F("S");
  name->SetOnGetText(TFieldGetTextEvent::Lambda([](TField* f, String& text, bool displayText) {
    text = (displayText ? "<" : "[") + f->AsString() + (displayText ? ">" : "]");
  }));
  name->SetOnSetText(TFieldSetTextEvent::Lambda([](TField* f, const String& text) { f->SetAsString(UpperCase(text)); }));
  name->SetText("abc");
  EXPECT_EQ(name->AsString(), "ABC");
  EXPECT_EQ(name->DisplayText(), "<ABC>");
  EXPECT_EQ(name->Text(), "[ABC]");

  name->SetReadOnly(true);
  try {
    name->SetAsString("x");
    FAIL() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Field 'S' cannot be modified");
  }
}

TEST_F(FieldTest, OldValueStaysUntilPostAndBlobsGoThroughStreams) {
  F("I")->SetAsInteger(1);
  DS->Post();
  DS->Edit();
  F("I")->SetAsInteger(2);
  EXPECT_EQ(F("I")->OldValue().AsInteger(), 1);
  EXPECT_EQ(F("I")->NewValue().AsInteger(), 2);
  EXPECT_EQ(F("I")->Value().AsInteger(), 2);

  String bytes("\x00\x01\xFFzz", 5);
  TBytesStream in(TBytes(bytes.begin(), bytes.end()));
  auto* blob = static_cast<TBlobField*>(F("Bl"));
  blob->LoadFromStream(&in);
  EXPECT_EQ(blob->BlobSize(), 5);
  TMemoryStream out;
  blob->SaveToStream(&out);
  EXPECT_EQ(out.Size(), 5);
  EXPECT_EQ(String(static_cast<const char*>(out.Memory()), 5), bytes);
  {
    std::unique_ptr<TStream> s(DS->CreateBlobStream(F("M"), bmWrite));
    s->WriteBuffer("memo text", 9);
  }
  DS->Post();
  EXPECT_EQ(F("M")->AsString(), "memo text");
  EXPECT_EQ(static_cast<TBlobField*>(F("Bl"))->AsBytes(), TBytes(bytes.begin(), bytes.end()));
  std::unique_ptr<TStream> r(DS->CreateBlobStream(F("M"), bmRead));
  EXPECT_EQ(r->Size(), 9);
  EXPECT_THROW(DS->CreateBlobStream(F("M"), bmWrite), EDatabaseError);  // not editing
}

// ---------------------------------------------------------------- lookup and calculated fields

class LookupTest : public ::testing::Test {
protected:
  TComponent Owner{nullptr};
  TMemDataSet* Cust = nullptr;
  TMemDataSet* Orders = nullptr;
  TField *OrderNo, *CustCode, *Qty, *Price, *CustName, *Total;
  int CalcCalls = 0;

  template <class T> T* AddField(const char* name, TFieldKind kind = fkData) {
    auto* f = new T(&Owner);
    f->SetFieldName(name);
    f->SetFieldKind(kind);
    f->SetDataSet(Orders);
    return f;
  }

  void SetUp() override {
    Cust = new TMemDataSet(&Owner);
    Cust->FieldDefs()->Add("Code", ftString, 10);
    Cust->FieldDefs()->Add("Name", ftWideString, 30);
    Cust->AddRow({Variant("K1"), Variant("甲公司")});
    Cust->AddRow({Variant("K2"), Variant("乙公司")});
    Cust->Open();

    Orders = new TMemDataSet(&Owner);
    Orders->FieldDefs()->Add("OrderNo", ftInteger);
    Orders->FieldDefs()->Add("CustCode", ftString, 10);
    Orders->FieldDefs()->Add("Qty", ftInteger);
    Orders->FieldDefs()->Add("Price", ftFloat);
    Orders->FieldDefs()->Add("Extra", ftString, 5);
    Orders->AddRow({Variant(1), Variant("K2"), Variant(2), Variant(1.5)});
    Orders->AddRow({Variant(2), Variant("K1"), Variant(10), Variant(3.0)});
    Orders->AddRow({Variant(3), Null(), Variant(1), Variant(9.0)});

    OrderNo = AddField<TIntegerField>("OrderNo");
    CustCode = AddField<TStringField>("CustCode");
    CustName = AddField<TWideStringField>("CustName", fkLookup);
    CustName->SetKeyFields("CustCode");
    CustName->SetLookupDataSet(Cust);
    CustName->SetLookupKeyFields("Code");
    CustName->SetLookupResultField("Name");
    Qty = AddField<TIntegerField>("Qty");
    Price = AddField<TFloatField>("Price");
    Total = AddField<TFloatField>("Total", fkCalculated);
    Orders->SetOnCalcFields(TDataSetNotifyEvent::Lambda([this](TDataSet* ds) {
      ++CalcCalls;
      EXPECT_EQ(ds->State(), dsCalcFields);
      Total->SetAsFloat(Qty->AsInteger() * Price->AsFloat());
    }));
    Orders->Open();
  }
};

TEST_F(LookupTest, OnlyPersistentFieldsExistInTheirOrder) {
  std::vector<String> names;
  for (TField* f : *Orders->Fields()) names.push_back(f->FieldName() + ":" + EnumName(f->FieldKind()));
  EXPECT_EQ(Join(names),
            "OrderNo:fkData,CustCode:fkData,CustName:fkLookup,Qty:fkData,Price:fkData,Total:fkCalculated");
  EXPECT_EQ(Orders->FindField("Extra"), nullptr);
  EXPECT_FALSE(Orders->DefaultFields());
  EXPECT_EQ(CustName->FieldNo(), 0);
  EXPECT_FALSE(Total->CanModify());
}

TEST_F(LookupTest, LookupAndCalculatedValuesFollowEachRecord) {
  struct Row { const char* name; double total; };
  const Row rows[] = {{"乙公司", 3.0}, {"甲公司", 30.0}, {"", 9.0}};
  int i = 0;
  for (Orders->First(); !Orders->Eof(); Orders->Next(), ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(CustName->AsString(), rows[i].name);
    EXPECT_EQ(CustName->IsNull(), *rows[i].name == 0);
    EXPECT_DOUBLE_EQ(Total->AsFloat(), rows[i].total);
  }
  // A calculated field of another row, through Lookup.
  EXPECT_DOUBLE_EQ(Orders->Lookup("OrderNo", 2, "Total").AsDouble(), 30.0);
  EXPECT_EQ(VarToStr(Orders->Lookup("OrderNo", 1, "CustName")), "乙公司");
  try {
    Total->SetAsFloat(1);
    FAIL() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Dataset not in edit or insert mode");
  }
  // Repainting the same record does not run OnCalcFields again.
  Total->AsFloat();
  int calls = CalcCalls;
  for (int k = 0; k < 5; ++k) Total->AsFloat();
  EXPECT_EQ(CalcCalls, calls);
}

TEST_F(LookupTest, EditsRecalculateAtOnceAndSortingUsesCalculatedValues) {
  Orders->First();
  Orders->Edit();
  CustCode->SetAsString("K1");
  EXPECT_EQ(CustName->AsString(), "甲公司");
  Qty->SetAsInteger(4);
  EXPECT_DOUBLE_EQ(Total->AsFloat(), 6.0);
  Orders->Post();
  EXPECT_DOUBLE_EQ(Total->AsFloat(), 6.0);

  Orders->SetSort("Total DESC");
  EXPECT_EQ(OrderNo->AsInteger(), 1);  // the current record stays
  Orders->First();
  std::vector<int> order;
  for (; !Orders->Eof(); Orders->Next()) order.push_back(OrderNo->AsInteger());
  EXPECT_EQ(order, (std::vector<int>{2, 3, 1}));
  EXPECT_TRUE(Orders->Locate("CustName", "甲公司", {}));
  EXPECT_EQ(OrderNo->AsInteger(), 2);

  Cust->Close();  // no lookup data: no lookup value once the records are read again
  Orders->Resync();
  EXPECT_TRUE(CustName->IsNull());
}

TEST_F(LookupTest, PersistentFieldsSurviveCloseAndBindByName) {
  CustName->SetDisplayLabel("客户");
  Orders->Close();
  EXPECT_EQ(Orders->FieldCount(), 6);
  EXPECT_EQ(CustName->DisplayLabel(), "客户");
  Orders->Open();
  EXPECT_EQ(CustName->AsString(), "乙公司");

  // Index is writable and reorders the list.
  Total->SetIndex(0);
  EXPECT_EQ(Orders->Fields()->Fields(0), Total);
  EXPECT_EQ(OrderNo->Index(), 1);

  Orders->Close();
  auto* bad = new TStringField(&Owner);
  bad->SetFieldName("Nope");
  bad->SetDataSet(Orders);
  try {
    Orders->Open();
    FAIL() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Field 'Nope' not found");
  }
  EXPECT_FALSE(Orders->Active());
  delete bad;
  Orders->Open();
  EXPECT_TRUE(Orders->Active());
  EXPECT_THROW(Total->SetFieldName("Other"), EDatabaseError);  // not while open
}

TEST(DefaultFields, AreMadeAtOpenAndFreedAtClose) {
  TComponent owner(nullptr);
  TMemDataSet* ds = MakeNumbered(&owner, 2);
  EXPECT_EQ(ds->FieldCount(), 0);
  ds->Open();
  EXPECT_TRUE(ds->DefaultFields());
  EXPECT_EQ(ds->FieldCount(), 6);
  TStringList names;
  ds->GetFieldNames(&names);
  EXPECT_EQ(names.CommaText(), "Code,Name,Qty,Amount,Day,Flag");
  ds->Close();
  EXPECT_EQ(ds->FieldCount(), 0);
  ds->GetFieldNames(&names);  // the definitions still name them
  EXPECT_EQ(names.Count(), 6);
}

// ---------------------------------------------------------------- layouts

// A root that writes its own components, the way a data module does.
class TTestModule : public TComponent {
  KELM_CLASS(TTestModule, TComponent)
public:
  using TComponent::TComponent;
  void GetChildren(const TGetChildProc& proc, TComponent* root) override {
    for (int i = 0; i < ComponentCount(); ++i)
      if (!Components(i)->HasParent()) proc(Components(i));
  }
};
KELM_PUBLISH(TTestModule) {}

const char* const kModuleText =
    "object Mod1: TTestModule\n"
    "  object Qry_Cust: TMemDataSet\n"
    "    FieldDefs = <\n"
    "      item\n"
    "        Name = 'CustCode'\n"
    "        DataType = ftString\n"
    "        Size = 10\n"
    "      end\n"
    "      item\n"
    "        Name = 'CustName'\n"
    "        DataType = ftWideString\n"
    "        Size = 50\n"
    "      end\n"
    "      item\n"
    "        Name = 'Money'\n"
    "        DataType = ftBCD\n"
    "      end>\n"
    "    Sort = 'CustCode DESC'\n"
    "    Active = True\n"
    "    object Qry_CustCustName: TWideStringField\n"
    "      DisplayLabel = '客户名称'\n"
    "      FieldName = 'CustName'\n"
    "      Size = 50\n"
    "    end\n"
    "    object Qry_CustCustCode: TStringField\n"
    "      FieldName = 'CustCode'\n"
    "      Required = True\n"
    "      Size = 10\n"
    "    end\n"
    "  end\n"
    "  object Ds_Cust: TDataSource\n"
    "    DataSet = Qry_Cust\n"
    "  end\n"
    "end\n";

TEST(LayoutFields, DeclaredFieldsBindByNameKeepOrderAndPropertiesAndWriteBack) {
  std::unique_ptr<TComponent> root(ReadComponentFromText(nullptr, kModuleText, "module.txt"));
  ASSERT_NE(root, nullptr);
  auto* qry = dynamic_cast<TMemDataSet*>(root->FindComponent("Qry_Cust"));
  auto* src = dynamic_cast<TDataSource*>(root->FindComponent("Ds_Cust"));
  ASSERT_NE(qry, nullptr);
  ASSERT_NE(src, nullptr);
  EXPECT_EQ(src->DataSet(), qry);
  EXPECT_TRUE(qry->Active());  // opened once loading finished
  EXPECT_EQ(qry->Sort(), "CustCode DESC");
  ASSERT_EQ(qry->FieldCount(), 2);
  TField* name = qry->Fields()->Fields(0);
  EXPECT_EQ(name, root->FindComponent("Qry_CustCustName"));
  EXPECT_EQ(name->Owner(), root.get());
  EXPECT_EQ(name->ClassName(), "TWideStringField");
  EXPECT_EQ(name->DisplayLabel(), "客户名称");
  EXPECT_EQ(name->Size(), 50);
  EXPECT_TRUE(qry->FieldByName("custcode")->Required());
  EXPECT_EQ(qry->FindField("Money"), nullptr);
  EXPECT_EQ(qry->FieldDefs()->Count(), 3);

  qry->AppendRecord({Variant("张三"), Variant("A1")});
  EXPECT_EQ(qry->FieldByName("CustCode")->AsString(), "A1");

  String text = WriteComponentToText(root.get());
  std::size_t dataset = text.find("object Qry_Cust: TMemDataSet");
  std::size_t field = text.find("object Qry_CustCustName: TWideStringField");
  std::size_t source = text.find("object Ds_Cust: TDataSource");
  ASSERT_NE(dataset, String::npos) << text;
  ASSERT_NE(field, String::npos) << text;
  EXPECT_LT(dataset, field);
  EXPECT_LT(field, source);  // written inside the dataset
  EXPECT_NE(text.find("DisplayLabel = '客户名称'"), String::npos) << text;
  EXPECT_EQ(text.find("object Qry_CustCustName", field + 1), String::npos);  // once only

  // The layout written reads back to the same fields.
  root.reset();
  std::unique_ptr<TComponent> again(ReadComponentFromText(nullptr, text, "again.txt"));
  auto* qry2 = dynamic_cast<TMemDataSet*>(again->FindComponent("Qry_Cust"));
  ASSERT_NE(qry2, nullptr);
  ASSERT_EQ(qry2->FieldCount(), 2);
  EXPECT_EQ(qry2->Fields()->Fields(1)->FieldName(), "CustCode");
}

TEST(LayoutFields, FieldPropertiesArePublished) {
  struct Case { TClass cls; const char* prop; const char* type; };
  const Case cases[] = {
      {TStringField::StaticClass(), "Size", "Integer"},
      {TFloatField::StaticClass(), "DisplayFormat", "String"},
      {TFloatField::StaticClass(), "Currency", "Boolean"},
      {TField::StaticClass(), "FieldKind", "TFieldKind"},
      {TField::StaticClass(), "LookupDataSet", "TDataSet"},
      {TField::StaticClass(), "OnGetText", "TFieldGetTextEvent"},
      {TBooleanField::StaticClass(), "DisplayValues", "String"},
      {TDataSet::StaticClass(), "AfterScroll", "TDataSetNotifyEvent"},
      {TDataSet::StaticClass(), "OnFilterRecord", "TFilterRecordEvent"},
      {TDataSource::StaticClass(), "DataSet", "TDataSet"},
      {TMemDataSet::StaticClass(), "MasterSource", "TDataSource"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(String(c.cls->Name()) + "." + c.prop);
    const TPropInfo* p = GetPropInfo(c.cls, c.prop);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->TypeName, c.type);
  }
}

}  // namespace

// One grouping of the field types serves every caller that treats fields by kind.
TEST(FieldTypeGroups, EachTypeBelongsToOneGroup) {
  struct Case {
    TFieldType Type;
    TFieldTypeGroup Group;
  };
  const Case cases[] = {
      {ftString, TFieldTypeGroup::Text},       {ftFixedChar, TFieldTypeGroup::Text},
      {ftWideString, TFieldTypeGroup::Text},   {ftMemo, TFieldTypeGroup::Text},
      {ftFmtMemo, TFieldTypeGroup::Text},      {ftGuid, TFieldTypeGroup::Text},
      {ftOraClob, TFieldTypeGroup::Text},      {ftSmallint, TFieldTypeGroup::Integer},
      {ftInteger, TFieldTypeGroup::Integer},   {ftWord, TFieldTypeGroup::Integer},
      {ftAutoInc, TFieldTypeGroup::Integer},   {ftLargeint, TFieldTypeGroup::Integer},
      {ftFloat, TFieldTypeGroup::Float},       {ftCurrency, TFieldTypeGroup::Float},
      {ftBCD, TFieldTypeGroup::Float},         {ftFMTBcd, TFieldTypeGroup::Float},
      {ftBoolean, TFieldTypeGroup::Boolean},   {ftDate, TFieldTypeGroup::DateTime},
      {ftTime, TFieldTypeGroup::DateTime},     {ftDateTime, TFieldTypeGroup::DateTime},
      {ftTimeStamp, TFieldTypeGroup::DateTime}, {ftBlob, TFieldTypeGroup::Binary},
      {ftGraphic, TFieldTypeGroup::Binary},    {ftBytes, TFieldTypeGroup::Binary},
      {ftVarBytes, TFieldTypeGroup::Binary},   {ftOraBlob, TFieldTypeGroup::Binary},
      {ftUnknown, TFieldTypeGroup::Other},     {ftVariant, TFieldTypeGroup::Other},
      {ftDataSet, TFieldTypeGroup::Other},
  };
  for (const Case& c : cases) {
    String name = EnumName(c.Type);
    EXPECT_EQ(FieldTypeGroup(c.Type), c.Group) << name;
    EXPECT_EQ(IsNumericFieldType(c.Type), c.Group == TFieldTypeGroup::Integer || c.Group == TFieldTypeGroup::Float)
        << name;
  }
}
