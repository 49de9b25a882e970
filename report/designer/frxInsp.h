#pragma once
// The object inspector: the designer's tool window listing the published properties of the
// selected report objects in a two-column grid (name, value). A value is typed, picked from a
// drop-down or edited in a dialog, always through the row's property editor, and goes to every
// selected object at once. A second tab lists the script events; a combo box on top lists the
// page's objects and picks one; the hint panel below names the row and describes it.
//
// The designer window owns one inspector, hands it the selection (kept by reference: picking
// an object in the combo box changes it) and the object list, and listens to its two events.
#include "gui/Forms.h"

#include <memory>
#include <utility>
#include <vector>

class TComboBox;
class TEdit;
class THintWindow;
class TLabel;
class TListBox;
class TPaintBox;
class TPanel;
class TScrollBox;
class TSpeedButton;
class TSplitter;
class TTabControl;
class TfrxCustomDesigner;
class TfrxPopupForm;
class TfrxPropertyEditor;
class TfrxPropertyItem;
class TfrxPropertyList;

class TfrxObjectInspector : public TForm {
  KELM_CLASS(TfrxObjectInspector, TForm)
public:
  // The owner must be a TfrxCustomDesigner.
  explicit TfrxObjectInspector(TComponent* AOwner);
  ~TfrxObjectInspector() override;

  // Shows the properties the objects of the list share; keeps the list.
  void InspectSelection(std::vector<TObject*>* Selection);
  void RefreshProperties();
  // One combo entry ("name: class") per component of the list.
  void FillObjectList(const std::vector<TObject*>& Objects);
  void LockUpdates();
  void UnlockUpdates();
  bool Locked() const { return FLocked; }
  void SetPanelColor(TColor Value);
  // Selects a visible row (clamped); a pending typed text goes to the row left first.
  void SelectRow(int Row);
  int RowIndex() const { return FRowIndex; }
  int RowCount() const { return static_cast<int>(FRows.size()); }
  int RowHeight() const { return FRowHeight; }
  // Name, level and editor of a visible row.
  String RowName(int Row) const;
  int RowLevel(int Row) const;
  TfrxPropertyEditor* RowEditor(int Row) const;
  TfrxPropertyItem* RowItem(int Row) const;
  int NameColumnWidth() const { return FNameColumnWidth; }
  void SetNameColumnWidth(int Value);
  int HintPanelHeight() const;
  void SetHintPanelHeight(int Value);
  // The editor of the row takes the text; an error shows a box and the old value again.
  void CommitValueText(int Row, const String& Text);
  // The list of the active tab (properties or events); nullptr for no selection.
  TfrxPropertyList* CurrentList() const { return FCurrentList; }
  // The drop-down list of the current row while it is open.
  TfrxPopupForm* PopupForm() const { return FPopup; }
  TListBox* PopupList() const { return FPopupList; }

  TNotifyEvent OnPropertyModified;
  TNotifyEvent OnObjectChosen;

  TComboBox* ObjectsCB = nullptr;
  TTabControl* Tab = nullptr;
  TPanel* BackPanel = nullptr;
  TScrollBox* Box = nullptr;
  TSplitter* Splitter1 = nullptr;
  TPanel* HintPanel = nullptr;
  TLabel *PropL = nullptr, *DescrL = nullptr;
  TPanel* InnerPanel = nullptr;
  TPaintBox* PB = nullptr;
  TEdit* Edit1 = nullptr;
  TPanel *EditPanel = nullptr, *ComboPanel = nullptr;
  TSpeedButton *EditBtn = nullptr, *ComboBtn = nullptr;
  THintWindow* HintWindow = nullptr;

protected:
  void Resize() override;
  void Deactivate() override;
  void DoShow() override;

private:
  struct TRow {
    TfrxPropertyItem* Item;
    TfrxPropertyList* List;
    int Level;
  };
  void BuildRows();
  void AddRows(TfrxPropertyList* List, int Level);
  void Relayout();
  void PlaceEditor();
  void NotifyModified();
  void RunEditor();
  void PaintGrid(TObject* Sender);
  void DrawRow(int Index);
  void GridMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void GridMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void GridMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void GridDblClick(TObject* Sender);
  void GridMouseLeave(TObject* Sender);
  void EditKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void EditMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void EditDblClick(TObject* Sender);
  void EditBtnClick(TObject* Sender);
  void ComboBtnMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void ComboBtnClick(TObject* Sender);
  void PopupListClick(TObject* Sender);
  void ObjectsCBChange(TObject* Sender);
  void DrawObjectEntry(int Index, const TRect& Rect);
  void TabChange(TObject* Sender);
  void FormMouseWheel(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled);
  void HideHint();

  TfrxCustomDesigner* FDesigner = nullptr;
  std::vector<TObject*>* FSelection = nullptr;
  std::unique_ptr<TfrxPropertyList> FPropertyList, FEventList;
  TfrxPropertyList* FCurrentList = nullptr;
  std::vector<TRow> FRows;
  int FRowIndex = -1;
  String FLastProperty;
  int FNameColumnWidth = 0;
  int FRowHeight = 0;
  bool FLocked = false;
  // The entries ObjectsCB was last filled with.
  std::vector<std::pair<TObject*, String>> FListedObjects;
  bool FUpdatingCB = false;
  bool FPlacing = false;
  bool FDragging = false;
  bool FToggled = false;
  bool FDropDownSuppressed = false;
  Cardinal FLastPressTick = 0;
  TfrxPopupForm* FPopup = nullptr;
  TListBox* FPopupList = nullptr;
  TfrxPropertyEditor* FPopupEditor = nullptr;
};

// Merges the inspector's captions and the property descriptions into the report library's
// texts (once).
void MergeInspectorTexts();
