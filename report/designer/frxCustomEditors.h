#pragma once
// The context-menu commands every visible object has (shift, visibility, printing) and those
// of text objects (display format, clearing, the Boolean options, stretching), as component
// editors the editors of concrete classes build on. A command goes to every selected object
// of the kind whose Restrictions lack rfDontModify.
#include "report/frxDsgnIntf.h"

#include <vector>

class TfrxFormat;

// One check entry of a context menu: a property set to On when the entry is checked, to Off
// when not; the entry shows checked while the property holds On.
struct TfrxMenuEntry {
  const char* CaptionKey;
  int Tag;
  const char* Property;
  int On = 1;
  int Off = 0;
};

// Appends the entries with their check marks from Object; entries whose property the object
// lacks are left out. A caption key "-" makes a separator.
void AppendMenuEntries(TfrxComponentEditor* Editor, TObject* Object, const std::vector<TfrxMenuEntry>& Entries);
// The entry of that tag, nullptr when none.
const TfrxMenuEntry* EntryOfTag(const std::vector<TfrxMenuEntry>& Entries, int Tag);
// Sets the entry's property on the object by the check state.
void ApplyMenuEntry(TObject* Object, const TfrxMenuEntry& Entry, bool Checked);
// The designer's selection, or the edited object alone without a designer.
std::vector<TObject*> SelectionOf(TfrxComponentEditor* Editor);
bool IsRestricted(const TObject* Object);

class TfrxViewEditor : public TfrxComponentEditor {
public:
  using TfrxComponentEditor::TfrxComponentEditor;
  void BuildMenu() override;
  // True when at least one selected view took the command.
  bool RunMenuItem(int Tag, bool Checked) override;
  static const std::vector<TfrxMenuEntry>& Entries();
};

class TfrxCustomMemoEditor : public TfrxViewEditor {
public:
  using TfrxViewEditor::TfrxViewEditor;
  void BuildMenu() override;
  bool RunMenuItem(int Tag, bool Checked) override;
};

// The display-format dialog on Format; true with Format changed when confirmed. The designer
// library fills it in (the format dialog); until then nothing is confirmed.
extern bool (*EditDisplayFormatHook)(TComponent* Owner, TfrxFormat* Format);
