#pragma once
// Private to platform/gui: the owner drawing and the plain item painting that list boxes and
// combo boxes share.
#include "gui/CanvasPaint_p.h"
#include "gui/CtrlUtils_p.h"
#include "gui/ListCtrls.h"
#include "gui/WinGDI.h"

#include <algorithm>

namespace list_ctrls {

// CN_DRAWITEM: draws the item with the control's canvas on the item's device context, in
// the control's font and brush, or in the highlight colours for a selected item; without an
// item (itemID -1) it only fills the rectangle. Draw is the control's DrawItem.
template <class DrawFn>
void DrawItemMessage(TWinControl& Control, TControlCanvas& Canvas, TMessage& M, DrawFn&& Draw) {
  auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(M.LParam);
  if (!dis) return;
  TOwnerDrawState state = TOwnerDrawState::FromBits(dis->itemState & 0xFFFF);
  PaintOnCanvas(Canvas, dis->hDC, [&] {
    Canvas.Font()->Assign(Control.Font());
    Canvas.Brush()->Assign(Control.Brush());
    if (dis->itemID >= 0 && state.Contains(odSelected)) {
      Canvas.Brush()->SetColor(clHighlight);
      Canvas.Font()->SetColor(clHighlightText);
    }
    if (dis->itemID >= 0) Draw(dis->itemID, dis->rcItem, state);
    else Canvas.FillRect(dis->rcItem);
    if (state.Contains(odFocused)) DrawFocusRect(dis->hDC, dis->rcItem);
  });
  M.Result = 1;
}

// CN_MEASUREITEM: Measure (the control's MeasureItem) may change the proposed height; an
// item is at least one pixel high.
template <class MeasureFn> void MeasureItemMessage(TMessage& M, MeasureFn&& Measure) {
  auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(M.LParam);
  if (!mis) return;
  int h = static_cast<int>(mis->itemHeight);
  Measure(mis->itemID, h);
  mis->itemHeight = static_cast<UINT>(std::max(1, h));
  M.Result = 1;
}

// Asks the control to draw one whole item (CN_DRAWITEM), clipped to the item's rectangle.
inline void PerformDrawItem(TWinControl& Control, UINT CtlType, int Item, UINT State, HDC DC, const TRect& R,
                            LPARAM Data) {
  DRAWITEMSTRUCT dis;
  dis.CtlType = CtlType;
  dis.itemID = Item;
  dis.itemAction = ODA_DRAWENTIRE;
  dis.itemState = State;
  dis.hwndItem = Control.Handle();
  dis.hDC = DC;
  dis.rcItem = R;
  dis.itemData = Data;
  int saved = SaveDC(DC);
  IntersectClipRect(DC, R.Left, R.Top, R.Right, R.Bottom);
  Control.Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
  RestoreDC(DC, saved);
}

// The text of a plain item: its background filled (the highlight when Selected), one line
// vertically centred, Indent pixels from the left, prefix characters taken as text, grey
// when Disabled.
inline void DrawItemText(HDC DC, const TRect& R, const String& Text, int Indent, TControl& Control, bool Selected,
                         bool Disabled) {
  COLORREF back = Selected ? GetSysColor(COLOR_HIGHLIGHT) : ColorToRGB(Control.Color());
  COLORREF fore = Selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : ColorToRGB(Control.Font()->Color());
  if (Disabled) fore = GetSysColor(COLOR_GRAYTEXT);
  ctrl_utils::Fill(DC, R, back);
  HGDIOBJ oldFont = SelectObject(DC, Control.Font()->Handle());
  SetTextColor(DC, fore);
  SetBkMode(DC, TRANSPARENT);
  TRect t = R;
  t.Left += Indent;
  DrawText(DC, Text, -1, &t, DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
  SelectObject(DC, oldFont);
}

}  // namespace list_ctrls
