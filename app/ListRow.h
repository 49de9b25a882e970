#pragma once
// A list's current row kept across a change that may fail.
#include "core/System.h"

class TDataSet;

// When the scope ends without Keep(), the list's query stands again on the row it stood on
// when the scope began: a failed save cancels the row it appended, which leaves the query on
// its last row, and a refused edit must not move the user either. Keep() once the change has
// stored its row and the list is to stand on it. A list that is closed, empty or has lost that
// row is left where it is.
class TListRowScope {
public:
  explicit TListRowScope(TDataSet* List);
  ~TListRowScope();
  TListRowScope(const TListRowScope&) = delete;
  TListRowScope& operator=(const TListRowScope&) = delete;

  void Keep() { FList = nullptr; }

private:
  TDataSet* FList;
  String FRow;
};

// Opens List again when it is closed (a restore closes every query), on its statement and on
// the record whose KeyField is Key when there is one; an open list is left as it is.
void ReopenListOn(TDataSet* List, const char* KeyField, const String& Key);
// The KeyField of List's current record; '' when it has none.
String CurrentKeyOf(TDataSet* List, const char* KeyField);
