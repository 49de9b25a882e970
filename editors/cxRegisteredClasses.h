#pragma once
// A list of classes with descriptions, kept in registration order or sorted by description:
// the editor library lists its editor property classes in one (by description, sorted).
// A description may carry more after a "|"; only the text before it sorts and shows.
// Declares TcxRegisteredClasses.
#include "core/System.h"

#include <vector>

class TcxRegisteredClasses : public TObject {
public:
  // RegisterWithStreaming: every class registered here is also registered with the layout
  // reader's class registry, so layouts find it by name.
  explicit TcxRegisteredClasses(bool ARegisterWithStreaming = false);
  ~TcxRegisteredClasses() override;

  int Count() const { return static_cast<int>(FEntries.size()); }
  TClass Items(int Index) const;
  const String& Descriptions(int Index) const;  // the whole text
  // The text of entry Index up to its first "|". EListError for a bad index.
  String DescriptionAt(int Index) const;
  int IndexOfClass(TClass AClass) const;  // -1 when not registered

  // A class already registered keeps its first entry and description.
  void RegisterEntry(TClass AClass, const String& Description);
  void Clear();

  bool KeepSorted() const { return FKeepSorted; }
  // Turning it on sorts at once; turning it off keeps the order, later entries are appended.
  void SetKeepSorted(bool Value);
  bool RegisterWithStreaming() const { return FRegisterWithStreaming; }

  // Compares two entries' descriptions without regard to case; negative, 0 or positive.
  virtual int CompareEntries(int Index1, int Index2) const;
  // Sorts the entries by CompareEntries.
  virtual void SortEntries();

private:
  struct TEntry {
    String Description;
    TClass Class;
  };
  std::vector<TEntry> FEntries;
  bool FRegisterWithStreaming;
  bool FKeepSorted = false;
};
