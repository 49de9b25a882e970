#pragma once
// Shared helpers of the grid tests: small in-memory tables, a temporary folder for database
// files (TempFolder), and shorthands for amounts.
#include "core/Currency.h"
#include "data/DB.h"
#include "data/MemDataSet.h"
#include "core/SysUtils.h"
#include "TempFolder.h"
#include "core/Variant.h"

#include <memory>
#include <vector>

namespace gridtest {

// Code (text), Amount (float), Qty (integer), Flag (text); a missing value is Null.
inline TMemDataSet* MakeAmounts(TComponent* Owner, const std::vector<std::vector<Variant>>& Rows) {
  auto* ds = new TMemDataSet(Owner);
  ds->FieldDefs()->Add("Code", ftString, 10);
  ds->FieldDefs()->Add("Amount", ftFloat);
  ds->FieldDefs()->Add("Qty", ftInteger);
  ds->FieldDefs()->Add("Flag", ftString, 5);
  for (auto r : Rows) {
    r.resize(4, Null());
    ds->AddRow(r);
  }
  return ds;
}

// Amount as a Variant, Null for a missing one.
inline Variant V(double d) { return Variant(d); }
inline Variant N() { return Null(); }

// An amount in ten-thousandths as Currency from its decimal text ("1.5").
inline Currency C(const char* Text) { return StrToCurr(Text); }

// The code of the current record.
inline String CodeOf(TDataSet* DS) { return DS->FieldByName("Code")->AsString(); }

}  // namespace gridtest
