#pragma once
// What the two lists of unconfirmed records share: their query shown on one statement in a
// grid built from their column set, refreshed, exported, printed and its columns kept.
#include "core/System.h"

class TADOQuery;
class TCustomForm;
class TDBGridEh;
class TPrintDBGridEh;

struct TUnconfirmedList {
  TCustomForm* Window;
  TADOQuery* Query;
  TDBGridEh* Grid;
  TPrintDBGridEh* Printer;
  const char* Statement;  // the rows still "未确认"
  const char* ColumnSet;

  // The query on the statement, the columns built.
  void Show() const;
  // The statement again; the columns stay.
  void Reread() const;
  // The query closed and opened on its statement as it stands, the columns built again.
  void Reopen() const;
  void Export() const;
  void Print() const;
  void ChooseColumns() const;
  void SaveColumns() const;
};
