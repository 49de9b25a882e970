// The filter row's condition language: what typed conditions parse into, the messages of
// malformed ones, operand conversion, a column filter keeping no half-parsed condition, and
// the registry of dataset features.
#include "GridTestUtil.h"
#include "core/FormatSettings.h"
#include "core/StringList.h"
#include "data/ADODB.h"
#include "grid/DBGridEhFilterExpr.h"
#include "grid/DBGridEh.h"

#include <gtest/gtest.h>

namespace {

// The values of an operand as texts ("1|2|3"), "null" for Null.
String ValuesOf(const Variant& V) {
  if (VarIsNull(V)) return "null";
  if (!VarIsArray(V)) return VarToStr(V);
  String r;
  for (int i = VarArrayLowBound(V, 1); i <= VarArrayHighBound(V, 1); ++i)
    r += (r.empty() ? "" : "|") + VarToStr(V.GetElement({i}));
  return r;
}

TEST(FilterExpression, ConditionsParseIntoOperatorsAndOperands) {
  struct TCase {
    const char* Text;
    TSTFilterExpressionTypeEh Type;
    TSTFilterOperatorEh Op1;
    const char* Operand1;
    TSTFilterOperatorEh Relation;
    TSTFilterOperatorEh Op2;
    const char* Operand2;
  };
  const TCase cases[] = {
      {"abc", fetText, foLike, "abc", foNon, foNon, "null"},
      {"5", fetNumber, foEqual, "5", foNon, foNon, "null"},
      {"1,2,3", fetNumber, foIn, "1|2|3", foNon, foNon, "null"},
      {"=null", fetText, foNull, "null", foNon, foNon, "null"},
      {"<>null", fetNumber, foNotNull, "null", foNon, foNon, "null"},
      {"!=NULL", fetText, foNotNull, "null", foNon, foNon, "null"},
      {">1 and <5", fetNumber, foGreaterThan, "1", foAND, foLessThan, "5"},
      {">=2 | <= 3", fetNumber, foGreaterOrEqual, "2", foOR, foLessOrEqual, "3"},
      {"~a b", fetText, foLike, "a b", foNon, foNon, "null"},
      {"not like x%", fetText, foNotLike, "x%", foNon, foNon, "null"},
      {"!in (1, 2)", fetNumber, foNotIn, "1|2", foNon, foNon, "null"},
      {"in ('a,b', 'c')", fetText, foIn, "a,b|c", foNon, foNon, "null"},
      {"= 'x or y'", fetText, foEqual, "x or y", foNon, foNon, "null"},
      {">1 or in (2,3)", fetNumber, foGreaterThan, "1", foOR, foIn, "2|3"},
      {"  ", fetText, foNon, "null", foNon, foNon, "null"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Text);
    TSTFilterExpressionEh e;
    e.ExpressionType = c.Type;
    bool second = ParseSTFilterExpressionEh(c.Text, e);
    EXPECT_EQ(second, c.Op2 != foNon);
    EXPECT_EQ(e.Operator1, c.Op1);
    EXPECT_EQ(ValuesOf(e.Operand1), c.Operand1);
    EXPECT_EQ(e.Relation, c.Relation);
    EXPECT_EQ(e.Operator2, c.Op2);
    EXPECT_EQ(ValuesOf(e.Operand2), c.Operand2);
    EXPECT_EQ(e.ExpressionType, c.Type) << "the type the caller set stays";
  }
}

TEST(FilterExpression, NumbersAreConvertedWithTheDecimalSeparatorAndACommaEndsNoList) {
  TSTFilterExpressionEh e;
  e.ExpressionType = fetNumber;
  ParseSTFilterExpressionEh(">1.5", e);
  EXPECT_EQ(VarType(e.Operand1), varDouble);
  EXPECT_DOUBLE_EQ(e.Operand1.AsDouble(), 1.5);
  TFormatSettings saved = FormatSettings();
  FormatSettings().DecimalSeparator = ',';
  ParseSTFilterExpressionEh("1,5", e);
  EXPECT_EQ(e.Operator1, foEqual);
  EXPECT_DOUBLE_EQ(e.Operand1.AsDouble(), 1.5);
  ParseSTFilterExpressionEh("in (1,5)", e);
  EXPECT_EQ(ValuesOf(e.Operand1), "1|5") << "inside an in-list commas always separate";
  e.ExpressionType = fetText;
  ParseSTFilterExpressionEh("1,5", e);
  EXPECT_EQ(e.Operator1, foIn) << "texts still list";
  FormatSettings() = saved;
  e.ExpressionType = fetDateTime;
  ParseSTFilterExpressionEh(">=2024-03-05", e);
  EXPECT_EQ(VarType(e.Operand1), varDate);
  EXPECT_DOUBLE_EQ(e.Operand1.AsDouble(), EncodeDate(2024, 3, 5));
  e.ExpressionType = fetNumber;
  EXPECT_THROW(ParseSTFilterExpressionEh(">x", e), EConvertError);
}

TEST(FilterExpression, MalformedConditionsNameTheirFaultAndTheWholeText) {
  struct TCase {
    const char* Text;
    TSTFilterExpressionTypeEh Type;
    const char* Message;
  };
  const TCase cases[] = {
      {"null", fetText, "Unexpected expression after operator: null"},
      {"not null", fetText, "Unexpected expression after operator: not null"},
      {">1 <5", fetNumber, "Unexpected AND or OR: >1 <5"},
      {"in (1,2", fetNumber, "')' expected: in (1,2"},
      {"in 1,2", fetNumber, "'(' expected: in 1,2"},
      {"='abc", fetText, "Quote is absent: ='abc"},
      {">null", fetNumber, "Unexpected expression before Null: >null"},
      {"(abc", fetText, "Error in expression: (abc"},
      {"= 'a' 'b'", fetText, "Incorrect expression: = 'a' 'b'"},
      // The second condition is checked as the first.
      {">1 or in (2", fetNumber, "')' expected: >1 or in (2"},
      {">1 and in (2) x", fetNumber, "Incorrect expression: >1 and in (2) x"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Text);
    TSTFilterExpressionEh e;
    e.ExpressionType = c.Type;
    try {
      ParseSTFilterExpressionEh(c.Text, e);
      ADD_FAILURE() << "no error";
    } catch (const EConvertError&) {
      ADD_FAILURE() << "a conversion error";
    } catch (const Exception& x) {
      EXPECT_EQ(String(x.what()), c.Message);
    }
  }
}

TEST(FilterExpression, TheSqlSpellingsAndTheMarkerAreData) {
  const std::pair<TSTFilterOperatorEh, const char*> cases[] = {
      {foLike, "LIKE"}, {foNotLike, "NOT LIKE"}, {foNotIn, "NOT IN"}, {foNull, "IS NULL"},
      {foNotNull, "IS NOT NULL"}, {foOR, "OR"}, {foValue, ""}};
  for (auto [op, text] : cases) EXPECT_EQ(STFilterOperatorSqlText(op), text);
  EXPECT_STREQ(SSTFilterSqlMarkerEh, "/*FILTER*/");
}

// A column's typed condition: written back in the filter row's spelling; a text that fails
// keeps no condition but stays as typed.
class ColumnFilter : public ::testing::Test {
protected:
  void SetUp() override {
    DS = gridtest::MakeAmounts(&Owner, {{Variant("A"), gridtest::V(1), Variant(1)}});
    Source = new TDataSource(&Owner);
    Source->SetDataSet(DS);
    Grid = new TDBGridEh(&Owner);
    Grid->SetDataSource(Source);
    DS->Open();
  }
  TComponent Owner{nullptr};
  TMemDataSet* DS = nullptr;
  TDataSource* Source = nullptr;
  TDBGridEh* Grid = nullptr;
};

TEST_F(ColumnFilter, ConditionsAreWrittenBackAndAFailedTextLeavesNone) {
  TColumnEh* qty = Grid->Columns()->AddColumn();
  qty->SetFieldName("Qty");
  TSTColumnFilterEh* f = qty->STFilter();
  const std::pair<const char*, const char*> cases[] = {
      {"=null", "=Null"}, {"!=NULL", "<>Null"}, {"5", "= 5"}, {">1 and <5", "> 1 AND < 5"}};
  for (auto [typed, written] : cases) {
    f->SetExpressionText(typed);
    EXPECT_EQ(f->ExpressionText(), written) << typed;
  }
  EXPECT_THROW(f->SetExpressionText(">x"), EConvertError);
  EXPECT_EQ(f->Expression().Operator1, foNon) << "no half-parsed condition";
  EXPECT_EQ(f->ExpressionText(), ">x") << "the typed text stays in its cell";
  EXPECT_THROW(f->SetExpressionText(">1 and <"), Exception);
  EXPECT_EQ(f->Expression().Operator1, foNon);
  EXPECT_EQ(f->Expression().Relation, foNon);
}

// ================================================================ dataset features

class TNamedFeatures : public TDatasetFeaturesEh {
public:
  explicit TNamedFeatures(const char* AName) : Name(AName) {}
  String Name;
};

TEST(DatasetFeatures, TheNearestRegisteredAncestorServesAndADuplicateIsRefused) {
  auto name = [](TDataSet* DS) {
    auto* f = dynamic_cast<TNamedFeatures*>(DatasetFeaturesFor(DS));
    return f ? f->Name : String("none");
  };
  TComponent owner(nullptr);
  auto* query = new TADOQuery(&owner);
  auto* mem = new TMemDataSet(&owner);
  EXPECT_EQ(name(query), "none");
  RegisterDatasetFeaturesEh(TDataSet::StaticClass(), new TNamedFeatures("dataset"));
  EXPECT_EQ(name(query), "dataset") << "an ancestor's features serve";
  EXPECT_EQ(name(mem), "dataset");
  RegisterDatasetFeaturesEh(TADOQuery::StaticClass(), new TNamedFeatures("query"));
  EXPECT_EQ(name(query), "query") << "the nearest class wins";
  EXPECT_EQ(name(mem), "dataset");
  EXPECT_THROW(RegisterDatasetFeaturesEh(TADOQuery::StaticClass(), new TNamedFeatures("again")), EStringListError);
  EXPECT_EQ(name(query), "query") << "the first registration stays";
  EXPECT_EQ(DatasetClassDistanceEh(TADOQuery::StaticClass(), "tdataset"), DatasetClassDistanceEh(TADOQuery::StaticClass(), "TDataSet"));
  EXPECT_EQ(DatasetClassDistanceEh(TMemDataSet::StaticClass(), "TADOQuery"), INT_MAX);
  UnregisterDatasetFeaturesEh(TADOQuery::StaticClass());
  UnregisterDatasetFeaturesEh(TDataSet::StaticClass());
  EXPECT_EQ(name(query), "none");
}

}  // namespace
