#pragma once
// A grid over a SQLite table with every kind of value the exporters treat apart: integers (one
// beyond what a spreadsheet's compact integer holds), floats with a null, currency, dates,
// Chinese text, Booleans and a key-list column, with a sum and a count footer; and readers
// of the spreadsheet records the exporter writes.
#include "grid/DBGridEhImpExp.h"
#include "data/ADODB.h"
#include "core/StrUtils.h"
#include "FileQuery.h"
#include "TempFolder.h"

#include <gtest/gtest.h>
#include <cstring>
#include <map>

namespace exporttest {

const char* const kScript = R"(
CREATE TABLE t_list (id INTEGER, amount DOUBLE, money CURRENCY, signed DATETIME, name TEXT(50), done BIT, state TEXT(2));
INSERT INTO t_list VALUES (42, 1.5, 10.25, #2024-01-02#, '合同名称', 1, 'A');
INSERT INTO t_list VALUES (null, null, 0, null, 'a"b', 0, 'B');
INSERT INTO t_list VALUES (1073741824, 2.25, 5, #2024-03-04#, '项目{A}\x', 0, 'A');
)";

// One BIFF record.
struct TXlsRecord {
  int Type = 0;
  String Body;
  int Word(std::size_t At) const { return static_cast<unsigned char>(Body[At]) | static_cast<unsigned char>(Body[At + 1]) << 8; }
  int Row() const { return Word(0); }
  int Col() const { return Word(2); }
  int FormatIndex() const { return Word(4); }
  double Number() const {
    double d;
    std::memcpy(&d, Body.data() + 6, 8);
    return d;
  }
  int32_t RK() const {
    int32_t v;
    std::memcpy(&v, Body.data() + 6, 4);
    return v;
  }
  // A label's text back in UTF-8.
  String Label() const { return GbkToUtf8(Body.substr(8)); }
};

inline std::vector<TXlsRecord> ReadXls(const String& Bytes) {
  std::vector<TXlsRecord> r;
  for (std::size_t p = 0; p + 4 <= Bytes.size();) {
    TXlsRecord rec;
    rec.Type = static_cast<unsigned char>(Bytes[p]) | static_cast<unsigned char>(Bytes[p + 1]) << 8;
    std::size_t len = static_cast<unsigned char>(Bytes[p + 2]) | static_cast<unsigned char>(Bytes[p + 3]) << 8;
    rec.Body = Bytes.substr(p + 4, len);
    r.push_back(rec);
    p += 4 + len;
  }
  return r;
}

// The cell records by row and column.
inline std::map<std::pair<int, int>, TXlsRecord> XlsCells(const std::vector<TXlsRecord>& Records) {
  std::map<std::pair<int, int>, TXlsRecord> cells;
  for (const auto& r : Records)
    if (r.Type == 0x0204 || r.Type == 0x0203 || r.Type == 0x027E || r.Type == 0x0201) cells[{r.Row(), r.Col()}] = r;
  return cells;
}

inline std::pair<int, int> P(int Row, int Col) { return {Row, Col}; }

inline std::vector<String> Split(const String& S, const String& Sep) {
  std::vector<String> r;
  std::size_t p = 0;
  for (std::size_t q; (q = S.find(Sep, p)) != String::npos; p = q + Sep.size()) r.push_back(S.substr(p, q - p));
  r.push_back(S.substr(p));
  return r;
}

inline String Hex(const String& Bytes) {
  String r;
  for (unsigned char c : Bytes) r += Format("%.2X ", {int(c)});
  if (!r.empty()) r.pop_back();
  return r;
}

}  // namespace exporttest

class ExportFixture : public ::testing::Test {
protected:
  TComponent Owner{nullptr};
  TempFolder Dir;
  TADOQuery* Query = nullptr;
  TDataSource* Source = nullptr;
  TDBGridEh* Grid = nullptr;
  TColumnEh *Id = nullptr, *Amount = nullptr, *Money = nullptr, *Signed = nullptr, *Name = nullptr, *Done = nullptr,
            *State = nullptr;

  void SetUp() override {
    String file = Dir / "list.db";
    CreateDatabaseFromScript(file, exporttest::kScript);
    Query = FileQuery(&Owner, file, "select * from t_list");
    Query->Connection()->Open();
    Source = new TDataSource(&Owner);
    Source->SetDataSet(Query);
    Grid = new TDBGridEh(&Owner);
    Grid->SetDataSource(Source);
    Grid->SetFooterRowCount(1);
    Id = AddColumn("id", "编号");
    Amount = AddColumn("amount", "金额|数值");
    Money = AddColumn("money", "金额|货币");
    Signed = AddColumn("signed", "签订日期");
    Name = AddColumn("name", "合同名称");
    Done = AddColumn("done", "完成");
    State = AddColumn("state", "状态");
    State->KeyList()->SetText("A\r\nB\r\n");
    State->PickList()->SetText("启用\r\n停用\r\n");
    Amount->Footer()->SetValueType(fvtSum);
    Name->Footer()->SetValueType(fvtCount);
    Query->Open();
  }
  TColumnEh* AddColumn(const String& FieldName, const String& Caption) {
    TColumnEh* c = Grid->Columns()->AddColumn();
    c->SetFieldName(FieldName);
    c->Title()->SetCaption(Caption);
    return c;
  }
  template <class T> String Export(bool All = true) {
    TStringStream s;
    ExportDBGridEhToStream(NewExporter<T>, Grid, &s, All);
    return s.DataString();
  }
  String Bm(int RecNo) {
    Query->SetRecNo(RecNo);
    return Query->Bookmark();
  }
  // A block from column index Left of record Top to column Right of record Bottom.
  void SelectBlock(int Left, int Top, int Right, int Bottom) {
    Grid->Selection()->CellRange()->ExtendTo(Left, Bm(Top), false);
    Grid->Selection()->CellRange()->ExtendTo(Right, Bm(Bottom), true);
    Grid->Selection()->ChangeKind(gstRectangle);
  }
};
