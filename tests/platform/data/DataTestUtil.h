#pragma once
// Shared fixtures of the dataset tests: a small customer table, an event recorder and a data
// link that records what it is told.
#include "data/DB.h"
#include "data/MemDataSet.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <memory>
#include <string>
#include <vector>

namespace datatest {

// Code, Name, Qty, Amount, Day, Flag. Rows are given as {code, name, qty, amount}; Day is
// 2024-01-(row number) and Flag is true on odd rows.
inline TMemDataSet* MakeTable(TComponent* owner, const std::vector<std::vector<Variant>>& rows) {
  auto* ds = new TMemDataSet(owner);
  ds->FieldDefs()->Add("Code", ftString, 10);
  ds->FieldDefs()->Add("Name", ftWideString, 30);
  ds->FieldDefs()->Add("Qty", ftInteger);
  ds->FieldDefs()->Add("Amount", ftFloat);
  ds->FieldDefs()->Add("Day", ftDate);
  ds->FieldDefs()->Add("Flag", ftBoolean);
  int n = 0;
  for (const auto& r : rows) {
    ++n;
    std::vector<Variant> v = r;
    v.resize(4, Null());
    v.push_back(Variant::FromDate(EncodeDate(2024, 1, static_cast<Word>(n))));
    v.push_back(Variant(n % 2 == 1));
    ds->AddRow(v);
  }
  return ds;
}

// Rows C01..Cnn named "Name nn", Qty = n, Amount = n * 1.5.
inline TMemDataSet* MakeNumbered(TComponent* owner, int count) {
  std::vector<std::vector<Variant>> rows;
  for (int i = 1; i <= count; ++i)
    rows.push_back({Variant(Format("C%.2d", {i})), Variant(Format("Name %.2d", {i})), Variant(i), Variant(i * 1.5)});
  return MakeTable(owner, rows);
}

// The codes of all rows in the current order; the position is restored.
inline std::vector<String> Codes(TDataSet* ds) {
  std::vector<String> codes;
  TDataSet::TBookmark b = ds->GetBookmark();
  ds->DisableControls();
  ds->First();
  while (!ds->Eof()) {
    codes.push_back(ds->FieldByName("Code")->AsString());
    ds->Next();
  }
  if (!b.empty()) ds->GotoBookmark(b);
  ds->EnableControls();
  return codes;
}

inline String Join(const std::vector<String>& items) {
  String s;
  for (const String& i : items) s += (s.empty() ? "" : ",") + i;
  return s;
}

// Records the dataset's events by name.
struct TEventLog {
  std::vector<String> Entries;
  String Text() const { return Join(Entries); }
  void Clear() { Entries.clear(); }

  void Attach(TDataSet* ds) {
    auto rec = [this](const char* name) {
      return TDataSetNotifyEvent::Lambda([this, name](TDataSet*) { Entries.push_back(name); });
    };
    ds->SetBeforeOpen(rec("BeforeOpen"));
    ds->SetAfterOpen(rec("AfterOpen"));
    ds->SetBeforeClose(rec("BeforeClose"));
    ds->SetAfterClose(rec("AfterClose"));
    ds->SetBeforeInsert(rec("BeforeInsert"));
    ds->SetAfterInsert(rec("AfterInsert"));
    ds->SetBeforeEdit(rec("BeforeEdit"));
    ds->SetAfterEdit(rec("AfterEdit"));
    ds->SetBeforePost(rec("BeforePost"));
    ds->SetAfterPost(rec("AfterPost"));
    ds->SetBeforeCancel(rec("BeforeCancel"));
    ds->SetAfterCancel(rec("AfterCancel"));
    ds->SetBeforeDelete(rec("BeforeDelete"));
    ds->SetAfterDelete(rec("AfterDelete"));
    ds->SetBeforeScroll(rec("BeforeScroll"));
    ds->SetAfterScroll(rec("AfterScroll"));
    ds->SetOnNewRecord(rec("OnNewRecord"));
  }
};

// A data link that writes down every notification it gets.
class TRecordingLink : public TDataLink {
public:
  std::vector<String> Log;
  String Text() const { return Join(Log); }
  void Clear() { Log.clear(); }
  std::vector<int> Scrolls() const {
    std::vector<int> d;
    for (const String& e : Log)
      if (StartsStr("scrolled:", e)) d.push_back(StrToInt(e.substr(9)));
    return d;
  }

  void DataEvent(TDataEvent event, NativeInt info) override {
    if (event == deDisabledStateChange) Log.push_back("disabled:" + IntToStr(info));
    TDataLink::DataEvent(event, info);
  }

protected:
  void ActiveChanged() override { Log.push_back(Active() ? "active" : "inactive"); }
  void DataSetChanged() override { Log.push_back("changed"); }
  void DataSetScrolled(int distance) override { Log.push_back("scrolled:" + IntToStr(distance)); }
  void EditingChanged() override { Log.push_back(Editing() ? "editing" : "browsing"); }
  void LayoutChanged() override { Log.push_back("layout"); }
  void RecordChanged(TField* field) override { Log.push_back(field ? "record:" + field->FieldName() : "record"); }
  void UpdateData() override { Log.push_back("update"); }
  void CheckBrowseMode() override { Log.push_back("check"); }
};

}  // namespace datatest
