// What a column's cells show for the current record (text, check state, image) and how an
// edit, a pick or a step goes back into the field.
#include "grid/DBGridEh.h"

#include "core/StrUtils.h"
#include "core/SysUtils.h"

namespace {

bool HasItems(const std::unique_ptr<TStringList>& List) { return List && List->Count() > 0; }

// The text before the first ";" of a list of values.
String FirstOfList(const String& List) {
  std::size_t p = List.find(';');
  return p == String::npos ? List : List.substr(0, p);
}

}  // namespace

// ================================================================ free helpers

String FormatFieldValue(TField* Field, const String& Format) {
  if (Format.empty()) return Field->DisplayText();
  if (Field->IsNull()) return String();
  // Exact amounts are formatted from their exact value.
  if (auto* bcd = dynamic_cast<TBCDField*>(Field)) return FormatCurr(Format, bcd->AsCurrency());
  if (dynamic_cast<TNumericField*>(Field)) return FormatFloat(Format, Field->AsFloat());
  if (dynamic_cast<TDateTimeField*>(Field)) return FormatDateTime(Format, Field->AsDateTime());
  return String();
}

bool LookupValueFound(TField* Field) {
  TDataSet* list = Field->LookupDataSet();
  return list && list->Active() && !Field->IsNull();
}

bool ValueInList(const String& List, const String& Value) {
  for (const String& part : SplitFieldNames(List))
    if (AnsiSameText(part, Value)) return true;
  return false;
}

bool AllFieldsModifiable(const std::vector<TField*>& Fields) {
  for (TField* f : Fields)
    if (!f || !f->CanModify()) return false;
  return true;
}

// ================================================================ the column's view of a cell

TColumnEhKind TColumnEh::ColumnKind() const {
  if (Checkboxes()) return ckCheckbox;
  TField* f = Field();
  if (f && f->FieldKind() == fkLookup) return ckLookup;
  bool picks = HasItems(FPickList), keys = HasItems(FKeyList);
  if (picks && !keys) return ckPickList;
  if (FImageList && !FShowImageAndText) return ckImage;
  if (keys && picks) return ckKeyList;
  return ckText;
}

String TColumnEh::CellText() const {
  TField* f = Field();
  if (!f || ColumnKind() == ckImage) return String();
  if (HasItems(FKeyList)) {
    int pos = FKeyList->IndexOf(f->Text());
    TStrings* picks = PickList();
    if (pos >= 0 && pos < picks->Count()) return picks->Strings(pos);
    if (FNotInKeyListIndex >= 0 && FNotInKeyListIndex < picks->Count()) return picks->Strings(FNotInKeyListIndex);
    return String();
  }
  TCustomDBGridEh* g = Grid();
  if (g && g->DrawMemoText() && f->DataType() == ftMemo) return f->AsString();
  return FormatFieldValue(f, FDisplayFormat);
}

TCheckBoxState TColumnEh::CellCheckState() const {
  TField* f = Field();
  if (!f) return cbUnchecked;
  if (f->IsNull()) return cbGrayed;
  if (f->DataType() == ftBoolean) return f->AsBoolean() ? cbChecked : cbUnchecked;
  String t = f->Text();
  int n = FKeyList ? FKeyList->Count() : 0;
  if (n > 0 && ValueInList(FKeyList->Strings(0), t)) return cbChecked;
  if (n < 2) return cbGrayed;
  return ValueInList(FKeyList->Strings(1), t) ? cbUnchecked : cbGrayed;
}

void TColumnEh::SetCellCheckState(TCheckBoxState Value) { WriteCheckState(Value); }

void TColumnEh::WriteCheckState(TCheckBoxState Value) {
  TField* f = Field();
  if (!f) return;
  if (Value == cbGrayed) {
    WriteValue(String(), Null(), false);
    return;
  }
  if (f->DataType() == ftBoolean) {
    WriteValue(String(), Variant(Value == cbChecked), false);
    return;
  }
  int n = FKeyList ? FKeyList->Count() : 0;
  String text;
  if (Value == cbChecked && n > 0) text = FKeyList->Strings(0);
  else if (Value != cbChecked && n > 1) text = FKeyList->Strings(1);
  text = FirstOfList(text);
  WriteValue(text, Variant(text), true);
}

int TColumnEh::CellImageIndex() const {
  TField* f = Field();
  if (!f) return -1;
  int r = -1;
  if (HasItems(FKeyList)) r = FKeyList->IndexOf(f->Text());
  else if (HasItems(FPickList)) r = FPickList->IndexOf(f->Text());
  else if (IsNumericFieldType(f->DataType())) r = f->AsInteger();
  return r == -1 ? FNotInKeyListIndex : r;
}

void TColumnEh::FillCellParams(TColCellParamsEh* Params) const {
  Params->SetRow(-1);
  Params->SetCol(-1);
  Params->SetState(TGridDrawState());
  Params->SetFont(Font());
  Params->SetBackground(Color());
  Params->SetAlignment(Alignment());
  Params->SetImageIndex(CellImageIndex());
  Params->SetText(CellText());
  Params->SetCheckboxState(CellCheckState());
  Params->SetReadOnly(ReadOnly());
}

void TColumnEh::FireGetCellParams(bool EditMode, TColCellParamsEh* Params) {
  if (FOnGetCellParams) FOnGetCellParams(this, EditMode, Params);
}

// ================================================================ editing

std::vector<TField*> TColumnEh::LookupKeyFieldList() const {
  std::vector<TField*> keys;
  TField* f = Field();
  if (f && f->DataSet() && !f->KeyFields().empty()) f->DataSet()->GetFieldList(keys, f->KeyFields());
  return keys;
}

namespace {

// The checks shared by editing and stepping; MemoAsText lets a memo shown as text be edited.
bool EditableNow(TColumnEh* Column, bool MemoAsText) {
  TCustomDBGridEh* g = Column->Grid();
  bool r = true;
  if (g) r = !g->ReadOnly() && g->DataLink()->Active() && !g->DataLink()->ReadOnly();
  r = r && !Column->ReadOnly();
  TField* f = Column->Field();
  if (!f) return false;
  TField* editField = f;
  if (f->FieldKind() == fkLookup) {
    r = r && !f->KeyFields().empty();
    std::vector<TField*> keys;
    if (f->DataSet() && !f->KeyFields().empty()) f->DataSet()->GetFieldList(keys, f->KeyFields());
    editField = keys.empty() ? nullptr : keys.front();
    r = r && AllFieldsModifiable(keys);
  }
  if (!r || !editField) return false;
  bool blobOk = !editField->IsBlob() || editField->OnSetText().Assigned() ||
                (MemoAsText && g && g->DrawMemoText() && editField->DataType() == ftMemo);
  return editField->CanModify() && blobOk && (!g || g->OperationsAllowEdit());
}

// Puts the dataset into edit state through the grid's link; true when it is editing.
bool StartEdit(TCustomDBGridEh* Grid) {
  TGridDataLinkEh* link = Grid->DataLink();
  link->Edit();
  if (!link->Editing()) return false;
  link->MarkModified();
  return true;
}

}  // namespace

bool TColumnEh::IsEditable(bool TryEdit) {
  bool r = EditableNow(this, true);
  TCustomDBGridEh* g = Grid();
  if (TryEdit && r && g) r = StartEdit(g);
  return r;
}

bool TColumnEh::IsEditableForStep() {
  bool r = EditableNow(this, false);
  TCustomDBGridEh* g = Grid();
  if (r && g) r = StartEdit(g);
  return r;
}

void TColumnEh::WriteValue(const String& Text, const Variant& Value, bool UseText) {
  TCustomDBGridEh* g = Grid();
  if (!g) return;
  String text = Text;
  Variant value = Value;
  bool useText = UseText;
  if (OnUpdateData) {
    bool handled = false;
    OnUpdateData(this, text, value, useText, handled);
    if (handled) return;
  }
  TField* f = Field();
  if (!f) return;
  if (useText) {
    if (g->DrawMemoText() && f->DataType() == ftMemo) f->SetAsString(text);
    else f->SetText(text);
  } else if (f->FieldKind() == fkLookup && !f->KeyFields().empty()) {
    // A key refused half-way puts back the keys already written.
    AssignFieldValues(f->DataSet(), f->KeyFields(), value);
  } else {
    f->SetAsVariant(value);
  }
  if (FMRUList->Active() && FMRUList->AutoAdd() && g->InplaceEditorVisible()) FMRUList->Remember(text);
}

void TColumnEh::StepValue(Extended Step) {
  bool forward = Step == 1;
  if (!IsEditableForStep()) return;
  TCustomDBGridEh* g = Grid();
  TField* f = Field();
  String text = g && g->InplaceEditorVisible() ? g->InplaceEditorText() : f->Text();
  switch (ColumnKind()) {
    case ckCheckbox:
      SetCellCheckState(CellCheckState() == cbChecked ? cbUnchecked : cbChecked);
      break;
    case ckKeyList:
    case ckImage: {
      // An image column chosen by pick position or number has no keys to step through.
      if (!HasItems(FKeyList)) break;
      int c = FKeyList->Count(), p = FKeyList->IndexOf(f->Text());
      int n = forward ? (p < 0 || p == c - 1 ? 0 : p + 1) : (p <= 0 ? c - 1 : p - 1);
      WriteValue(text, Variant(FKeyList->Strings(n)), false);
      break;
    }
    case ckPickList: {
      int c = FPickList->Count(), p = FPickList->IndexOf(f->Text());
      if (forward) {
        if (p < 0 || p == c - 1) f->SetText(FPickList->Strings(0));
        else WriteValue(FPickList->Strings(p + 1), Variant(FPickList->Strings(p + 1)), true);
      } else {
        if (p <= 0) f->SetText(FPickList->Strings(c - 1));
        else WriteValue(FPickList->Strings(p - 1), Variant(FPickList->Strings(p - 1)), true);
      }
      break;
    }
    case ckLookup: {
      TDataSet* list = ListDataSet();
      if (!list || !list->Active()) break;
      std::vector<TField*> keys = LookupKeyFieldList();
      if (keys.empty()) break;
      if (keys.front()->IsNull()) {
        list->First();
      } else if (!list->Locate(f->LookupKeyFields(), f->DataSet()->FieldValues(f->KeyFields()), TLocateOptions())) {
        list->First();
      } else if (!forward) {
        if (list->Bof()) list->Last();
        else {
          list->Prior();
          if (list->Bof()) list->Last();
        }
      } else {
        if (list->Eof()) list->First();
        else {
          list->Next();
          if (list->Eof()) list->First();
        }
      }
      WriteValue(text, list->FieldValues(f->LookupKeyFields()), false);
      f->SetText(list->FieldByName(f->LookupResultField())->Text());
      break;
    }
    case ckText:
      if (IsNumericFieldType(f->DataType())) {
        Extended v = f->IsNull() ? -Step : static_cast<Extended>(f->AsFloat());
        v += Step;
        try {
          WriteValue(text, Variant(v), false);
        } catch (const EDatabaseError&) {
          // A value the field refuses (a range check) leaves the cell as it was.
        }
      }
      break;
  }
}
