#include "report/designer/frxCustomEditors.h"

#include "core/TypInfo.h"
#include "gui/Menus.h"
#include "report/frxClass.h"
#include "report/frxClassBases.h"
#include "report/frxDMPClass.h"
#include "report/frxMemoView.h"
#include "report/frxRes.h"
#include "report/frxView.h"

bool (*EditDisplayFormatHook)(TComponent* Owner, TfrxFormat* Format) = nullptr;

void AppendMenuEntries(TfrxComponentEditor* Editor, TObject* Object, const std::vector<TfrxMenuEntry>& Entries) {
  for (const TfrxMenuEntry& e : Entries) {
    if (String(e.CaptionKey) == "-") {
      Editor->AppendMenuItem("-", e.Tag, false);
      continue;
    }
    bool checked = false;
    if (e.Property) {
      if (!GetPropInfo(Object, e.Property)) continue;
      checked = GetOrdProp(Object, e.Property) == e.On;
    }
    Editor->AppendMenuItem(ReportResources()->TextOf(e.CaptionKey), e.Tag, checked);
  }
}

const TfrxMenuEntry* EntryOfTag(const std::vector<TfrxMenuEntry>& Entries, int Tag) {
  for (const TfrxMenuEntry& e : Entries)
    if (e.Tag == Tag && e.Property) return &e;
  return nullptr;
}

void ApplyMenuEntry(TObject* Object, const TfrxMenuEntry& Entry, bool Checked) {
  if (GetPropInfo(Object, Entry.Property)) SetOrdProp(Object, Entry.Property, Checked ? Entry.On : Entry.Off);
}

std::vector<TObject*> SelectionOf(TfrxComponentEditor* Editor) {
  if (Editor->Designer()) {
    const auto& selected = Editor->Designer()->SelectedObjects();
    return std::vector<TObject*>(selected.begin(), selected.end());
  }
  return {Editor->Component()};
}

bool IsRestricted(const TObject* Object) {
  auto* c = dynamic_cast<const TfrxComponent*>(Object);
  return c && c->Restrictions().Contains(rfDontModify);
}

// ---------------------------------------------------------------- views

const std::vector<TfrxMenuEntry>& TfrxViewEditor::Entries() {
  static const std::vector<TfrxMenuEntry> entries = {
      {"mvShift", 50, "ShiftMode", smAlways, smDontShift},
      {"mvShiftOver", 51, "ShiftMode", smWhenOverlapped, smDontShift},
      {"mvVisible", 52, "Visible"},
      {"mvPrintable", 53, "Printable"},
  };
  return entries;
}

void TfrxViewEditor::BuildMenu() { AppendMenuEntries(this, Component(), Entries()); }

bool TfrxViewEditor::RunMenuItem(int Tag, bool Checked) {
  const TfrxMenuEntry* entry = EntryOfTag(Entries(), Tag);
  if (!entry) return false;
  bool changed = false;
  for (TObject* o : SelectionOf(this))
    if (dynamic_cast<TfrxView*>(o) && !IsRestricted(o)) {
      ApplyMenuEntry(o, *entry, Checked);
      changed = true;
    }
  return changed;
}

// ---------------------------------------------------------------- text objects

namespace {

std::vector<TfrxMenuEntry> MemoEntries(const TObject* Object) {
  std::vector<TfrxMenuEntry> entries = {
      {"mvFormat", 1, nullptr},           {"mvClear", 2, nullptr},
      {"-", -1, nullptr},                 {"mvAutoWidth", 3, "AutoWidth"},
      {"mvWWrap", 4, "WordWrap"},         {"mvSuppress", 5, "SuppressRepeated"},
      {"mvHideZ", 6, "HideZeros"},        {"mvExpr", 7, "AllowExpressions"},
  };
  // Dot-matrix text has no markup.
  if (!dynamic_cast<const TfrxDMPMemoView*>(Object)) entries.push_back({"mvHTML", 8, "AllowHTMLTags"});
  entries.push_back({"-", -1, nullptr});
  entries.push_back({"mvStretch", 40, "StretchMode", smActualHeight, smDontStretch});
  entries.push_back({"mvStretchToMax", 41, "StretchMode", smMaxHeight, smDontStretch});
  return entries;
}

}  // namespace

void TfrxCustomMemoEditor::BuildMenu() {
  AppendMenuEntries(this, Component(), MemoEntries(Component()));
  TfrxViewEditor::BuildMenu();
}

bool TfrxCustomMemoEditor::RunMenuItem(int Tag, bool Checked) {
  bool changed = TfrxViewEditor::RunMenuItem(Tag, Checked);
  auto* edited = dynamic_cast<TfrxCustomMemoView*>(Component());
  TfrxFormat chosen;
  if (Tag == 1) {
    if (!edited) return changed;
    chosen.Assign(edited->DisplayFormat());
    if (!EditDisplayFormatHook || !EditDisplayFormatHook(Designer(), &chosen)) return changed;
  }
  const std::vector<TfrxMenuEntry> entries = MemoEntries(Component());
  const TfrxMenuEntry* entry = EntryOfTag(entries, Tag);
  for (TObject* o : SelectionOf(this)) {
    auto* memo = dynamic_cast<TfrxCustomMemoView*>(o);
    if (!memo || IsRestricted(o)) continue;
    if (Tag == 1) memo->SetDisplayFormat(&chosen);
    else if (Tag == 2) memo->Memo()->Clear();
    else if (entry) ApplyMenuEntry(o, *entry, Checked);
    changed = true;
  }
  return changed;
}
