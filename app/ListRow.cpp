#include "app/ListRow.h"

#include "data/DB.h"

TListRowScope::TListRowScope(TDataSet* List) : FList(List) {
  if (FList && FList->Active() && !FList->IsEmpty()) FRow = FList->Bookmark();
}

TListRowScope::~TListRowScope() {
  if (!FList || FRow.empty() || !FList->Active() || FList->State() != dsBrowse) return;
  // Runs while a failure is on its way: a row that cannot be reached keeps the list where it is.
  try {
    if (FList->Bookmark() != FRow && FList->BookmarkValid(FRow)) FList->GotoBookmark(FRow);
  } catch (...) {
  }
}

void ReopenListOn(TDataSet* List, const char* KeyField, const String& Key) {
  if (List->Active()) return;
  List->Open();
  if (!Key.empty()) List->Locate(KeyField, Key, {});
}

String CurrentKeyOf(TDataSet* List, const char* KeyField) {
  return List->Active() && !List->IsEmpty() ? List->FieldByName(KeyField)->AsString() : String();
}
