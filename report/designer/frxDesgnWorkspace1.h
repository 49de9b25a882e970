#pragma once
// The design surface the designer window creates: the plain surface plus what needs the
// window, its report and its data tree. Tools (hand scrolling, zoom, a text tool, a format
// painter), guides on report pages, column lines, data-tree items dropped as text objects,
// the drop-down list of data fields on text objects of data bands, and pasted objects that
// follow the mouse until a click places them.
#include "gui/ListCtrls.h"
#include "report/designer/frxDesgnWorkspace.h"

class TfrxDesignerForm;
class TfrxPopupForm;
class TListBox;
class TfrxMemoView;
class TfrxReportPage;

enum TfrxWorkspaceTool { wtSelect = 0, wtHand, wtZoom, wtText, wtFormat };

// The cursors the tools show (slots the report library fills).
constexpr int kHandCursor = 150;
constexpr int kZoomCursor = 151;
constexpr int kFormatCursor = 152;

class TDesignerWorkspace : public TfrxDesignerWorkspace {
  KELM_CLASS(TDesignerWorkspace, TfrxDesignerWorkspace)
public:
  explicit TDesignerWorkspace(TfrxDesignerForm* AOwner);

  TfrxWorkspaceTool Tool() const { return FTool; }
  void SetTool(TfrxWorkspaceTool Value);
  bool ShowGuides() const { return FShowGuides; }
  void SetShowGuides(bool Value);
  // Attaches the selection (just pasted) to the mouse: it follows every move until a click
  // places it; Esc deletes it instead.
  void StartPasteDrag();
  bool PasteDragging() const { return FPasteDrag; }
  // The text object whose data field the drop-down button offers; null for none.
  TfrxMemoView* FieldTarget() const { return FFieldTarget; }
  // The objects are about to go (a reload, undo or page change): no target survives them.
  void ForgetFieldTarget() { FFieldTarget = nullptr; }
  TfrxPopupForm* FieldPopup() const { return FPopup; }
  TListBox* FieldList() const { return FFieldList; }
  void DeleteSelection() override;

  void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
  void DragDrop(TObject* Source, int X, int Y) override;

protected:
  void SnapDelta(Extended& DX, Extended& DY, bool& Skip) override;
  void DrawObjects(TCanvas* Canvas) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DoContextPopup(TPoint MousePos, bool& Handled) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void DblClick() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TfrxReportPage* ReportPage() const;
  bool GuidesActive() const;
  bool DropFields() const;
  // A data-tree item is inserted at all: another tab, or one of the two boxes ticked.
  bool WantsTreeItem() const;
  void HoverGuides(Extended X, Extended Y);
  void HoverFieldTarget(Extended X, Extended Y);
  void MoveGuide(int X, int Y);
  void DropGuide();
  bool PressOnDropButton(int X, int Y);
  void OpenFieldList();
  void FieldListClick(TObject* Sender);
  void FieldListDrawItem(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState State);
  void FieldPopupHidden(TObject* Sender);
  void ZoomRelease(TMouseButton Button);
  void TextToolRelease();
  void FormatPaint(int X, int Y);
  void DropTreeItem(int X, int Y);
  void DropRulerGuide(TObject* Ruler, int X, int Y);

  TfrxDesignerForm* FDesigner;
  TfrxWorkspaceTool FTool = wtSelect;
  bool FShowGuides = true;
  int FGuide = -1;
  bool FGuideVertical = false;
  TfrxMemoView* FFieldTarget = nullptr;
  TfrxPopupForm* FPopup = nullptr;
  TListBox* FFieldList = nullptr;
  bool FPopupShown = false;
  bool FPasteDrag = false;
  int FHandX = 0, FHandY = 0;
};
