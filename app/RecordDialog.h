#pragma once
// What the record dialogs (contract, project) share: their warning box, the check that no
// other record holds a unique value, the record picker for a related record and a document
// chosen from the disk.
#include "core/System.h"

class TAttachmentSession;
class TComponent;
class TCustomDBGridEh;
class TDataSet;
class TEdit;

// The dialogs' warning box, captioned "提示".
void WarnBox(const String& Text);

// A unique column of a record, the edit that holds its value and the box shown when another
// record holds it already.
struct TUniqueField {
  const char* Column;
  TEdit* Edit;
  const char* Text;
};
// Shows the box of the first field whose value another record of Table holds and puts the
// focus on its edit. OwnKey, while a record is edited, is its KeyColumn value: the record
// itself is no duplicate. False when a field was refused.
bool CheckUniqueFields(const char* Table, const char* KeyColumn, const String* OwnKey,
                       std::initializer_list<TUniqueField> Fields);

// A related record's list in the record picker: the window's caption, the table, the
// T_FieldShow list of its columns and the column the pick delivers.
struct TPickerSet {
  const char* Caption;
  const char* Table;
  const char* List;
  const char* Result;
};
// Shows the record picker on Set, modal, owned by Owner.
void ShowRecordPicker(TComponent* Owner, const TPickerSet& Set);

// Attaches the file the documents dialog chooses to Documents; a name already taken shows
// NameTakenText, a failed copy CopyFailedText followed by the file, a name that is no plain file
// name DocumentNameText followed by the name. Nothing when the dialog is cancelled.
void AttachChosenDocument(TAttachmentSession& Files, TDataSet* Documents, const char* NameTakenText,
                          const char* CopyFailedText);
// Deletes the current document of Documents (RemoveCurrentDocument); a row whose DocName is no
// plain file name goes alone, told with DocumentRowOnlyText and the name.
void DeleteCurrentDocument(TAttachmentSession& Files, TDataSet* Documents);
// A document's name and path are those of the file attached: the dialogs' document grids show
// them and let the other columns be typed.
void LockDocumentNameColumns(TCustomDBGridEh* Grid);
