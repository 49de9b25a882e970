#pragma once
// The data grid's in-cell editor: the column's editor style with its button strip, typing
// completed against the column's lists, the drop-downs (pick list, calendar, calculator)
// and the list of recently entered texts, and the required-field mark.
#include "grid/DBGridEh.h"
#include "grid/ToolCtrlsEh.h"
#include "gui/Grids.h"

#include <vector>

class TPopupCalculatorEh;
class TPopupDataGridEh;
class TShape;

KELM_ENUM(TEditStyle, edsSimple, edsEllipsis, edsPickList, edsDataList, edsDateCalendar, edsUpDown, edsDropDown)

// The editor style a column gets from its button style, or for cbsAuto from its field.
TEditStyle ColumnEditStyle(TColumnEh* Column);

class TDBGridInplaceEdit : public TInplaceEdit, public IDropDownOwnerEh {
  KELM_CLASS(TDBGridInplaceEdit, TInplaceEdit)
public:
  explicit TDBGridInplaceEdit(TComponent* AOwner);
  ~TDBGridInplaceEdit() override;

  TCustomDBGridEh* DBGrid() const;
  // The grid's current column; nullptr without columns.
  TColumnEh* CurrentColumn() const;
  TEditStyle CurrentEditStyle() const { return FStyle; }
  int ButtonStripWidth() const { return FButtonStripWidth; }
  bool ExplicitReadOnly() const { return FExplicitReadOnly; }
  int ImageIndex() const { return FImageIndex; }
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);

  // ---- button strip: pair 0 is the main button, pair i + 1 EditButtons[i]
  int ButtonCount() const { return static_cast<int>(FButtons.size()); }
  TEditButtonControlEh* ButtonControl(int Index) const { return FButtons[static_cast<std::size_t>(Index)].Button; }
  TShape* ButtonSeparator(int Index) const { return FButtons[static_cast<std::size_t>(Index)].Separator; }
  void LayoutEditButtons();
  // The strip's buttons can be pressed while the editor is enabled and its grid's data link
  // is active; otherwise they show disabled and take no press.
  void EnableEditButtons();
  // The first of the column's EditButtons with that shortcut, else nullptr.
  TEditButtonEh* ButtonForShortCut(TShortCut Key) const;

  // ---- loading
  void LoadFromColumn();
  void ApplyEditStyle(TEditStyle Style);
  void UpdateContents() override;
  virtual TRect TextRect();

  // ---- drop-downs
  bool ListVisible() const { return FListVisible; }
  TWinControl* ActiveList() const { return FActiveList; }
  TPopupListboxEh* PickListBox() const { return FPickList; }
  TPopupMonthCalendarEh* Calendar() const { return FCalendar; }
  TPopupCalculatorEh* CalculatorPopup();
  bool CalculatorAllowed() const;
  void OpenDropDown();
  void CloseDropDown(bool Accept) override;
  // Hands a drag from the pressed main button on to the open list; true when it did.
  bool DragIntoList(int X, int Y);
  // The column's lookup grid while the editor's style is edsDataList with a list dataset.
  TPopupDataGridEh* LookupGrid() const { return FLookupGrid; }
  // The lookup grid's own close-up and column moves.
  void LookupListClosed(bool Accept) { CloseDropDown(Accept); }
  void LookupColumnsMoved() { FLookupColumnsMoved = true; }
  // Held by the grid while it reloads the editor with a drop-down open.
  void SetCloseLock(bool Value) { FCloseLock = Value; }

  // ---- recently entered texts
  TMRUListEh* MRUList() const { return FMRUList; }
  TMRUListboxEh* MRUListBox();
  bool MRUDroppedDown() const { return FMRUList && FMRUList->IsDroppedDown(); }
  void OpenMRUList();
  void CloseMRUList(bool Accept);
  // A column that goes takes its list of recent texts with it: the editor lets go of it
  // (closed first when it is shown), so nothing reaches a freed list afterwards.
  void ColumnGone(TColumnEh* Column);

  // Whether the required-field mark shows now.
  bool RequiredMarkShown();
  // The tree's indent of the current record when the editor stands in the first visible
  // column of a tree view; 0 otherwise.
  int TreeIndent() const;

  void Dispatch(TMessage& Message) override;

protected:
  void CreateWnd() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void Change() override;
  virtual TEditButtonControlEh* NewEditButtonControl();
  virtual void MainButtonDefault(bool Lower);
  virtual bool CompleteTypedText(String& Typed);
  virtual void ButtonClicked(TObject* Sender, bool& Handled);
  virtual void ButtonPressed(TObject* Sender, bool TopButton, bool& AutoRepeat, bool& Handled);
  virtual void DrawRequiredMark(HDC DC);
  virtual void PaintImage(HDC DC);
  virtual void RefreshImageIndex();
  void StepFromButton(bool Lower);
  void SyncKeyFromText();
  bool AcceptMRUItem(const String& Item);

private:
  struct TButtonPair {
    TShape* Separator = nullptr;
    TEditButtonControlEh* Button = nullptr;
  };
  bool HandleListKeys(TMessage& Message);
  bool ForwardToList(TMessage& Message);
  bool MRUListKeys(TMessage& Message);
  bool DeleteInListColumn(Word Key);
  void BackspaceInListColumn();
  void FillPickList(TColumnEh* Column);
  void PrepareLookupGrid(TColumnEh* Column);
  void ReleaseLookupGrid();
  void AcceptLookup(const Variant& Key);
  void PrepareCalendar();
  void AcceptChoice(const Variant& Key);
  void FollowList();
  void PickListMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void MRUListMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void AfterUserTyping();
  bool CompleteFromLookup(TColumnEh* Column, const String& Candidate);
  bool CompleteFromPickList(TColumnEh* Column, const String& Candidate, bool& Discard);
  void SetEditorText(const String& Text, int SelFrom, int SelTo);
  void PasteText();
  void ButtonsNeeded(int Count);
  int ButtonWidthFor(bool Visible, int Preferred) const;
  int ButtonHeightFor(int Width, bool MainButton) const;
  bool IsOwnControl(HWND Window) const;
  void UpdateFormatRect();
  void CellParams(TCustomDBGridEh* Grid, TColumnEh* Column, TColCellParamsEh& Params);
  bool WrapKeyGoesToGrid(Word Key);
  bool GridKeys(Word& Key, TShiftState Shift);
  bool MouseOutsideText(TMessage& Message);
  bool SpecRowShortCut(TShortCut Key);

  TEditStyle FStyle = edsSimple;
  std::vector<TButtonPair> FButtons;
  int FButtonStripWidth = 0;
  bool FExplicitReadOnly = false;
  bool FWordWrap = false;
  int FImageIndex = -1;
  TPopupListboxEh* FPickList = nullptr;
  TPopupMonthCalendarEh* FCalendar = nullptr;
  TPopupCalculatorEh* FCalculator = nullptr;
  TWinControl* FActiveList = nullptr;
  TPopupDataGridEh* FLookupGrid = nullptr;            // the column's, not owned
  std::unique_ptr<TDataSource> FLookupSource;          // hands the list to the open grid
  bool FLookupColumnsMoved = false;
  bool FListVisible = false;
  bool FCloseLock = false;
  bool FNoCloseOnClick = false;
  bool FUserTyped = false;
  TMRUListEh* FMRUList = nullptr;
  TMRUListboxEh* FMRUListBox = nullptr;
  String FTextBeforeDrop;
  TRect FFormatRect;
  bool FFormatRectSet = false;
};
