#pragma once
// Private to ListView.cpp and TreeView.cpp: what the list and tree views share as scrolling,
// owner-drawn item views with an in-place label editor.
#include "gui/CanvasPaint_p.h"
#include "gui/Edit.h"
#include "gui/ItemView.h"
#include "gui/CtrlUtils_p.h"
#include "gui/Forms.h"
#include "gui/ImageListLink_p.h"
#include "gui/WinGDI.h"

#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <algorithm>
#include <functional>

namespace comctrls {

// The view's text line height, measured once per font (Cache 0 or less: measure again).
inline int CachedCellHeight(int& Cache, TFont* Font) {
  if (Cache <= 0) Cache = ctrl_utils::CellHeightOf(Font);
  return Cache;
}

// Whether the view paints as focused: it has the focus, or its label editor has.
inline bool ViewFocused(TWinControl* View, TCustomEdit* Editor) {
  return GetFocus() == View->Handle() || (Editor && Editor->Focused());
}

// Text begins with Prefix, case aside: how typing finds an item.
inline bool CaptionStartsWith(const String& Text, const String& Prefix) {
  return StartsText(Prefix, Text) || (Length(Prefix) <= Length(Text) && AnsiSameText(Copy(Text, 1, Length(Prefix)), Prefix));
}

// Lines a WM_MOUSEWHEEL turns, by the user's wheel setting (up positive).
inline int WheelSteps(WPARAM WParam) {
  int lines = Mouse ? Mouse->WheelScrollLines() : 3;
  return WheelDeltaOf(WParam) / 120 * lines;
}

// Whether a WM_HSCROLL or WM_VSCROLL code moves the view (SB_ENDSCROLL and others do not).
inline bool IsScrollMove(WPARAM WParam) { return LoWord(WParam) <= SB_BOTTOM; }

// The position a WM_HSCROLL or WM_VSCROLL asks for, from Current by Line and Page steps, the
// thumb's place or an end (0 and Last). False for a code that does not scroll (SB_ENDSCROLL).
inline bool ScrollBarTarget(WPARAM WParam, int Current, int Line, int Page, int Last, int& Target) {
  int pos = static_cast<short>(HiWord(WParam));
  switch (LoWord(WParam)) {
    case SB_LINEUP: Target = Current - Line; return true;
    case SB_LINEDOWN: Target = Current + Line; return true;
    case SB_PAGEUP: Target = Current - Page; return true;
    case SB_PAGEDOWN: Target = Current + Page; return true;
    case SB_THUMBTRACK: case SB_THUMBPOSITION: Target = pos; return true;
    case SB_TOP: Target = 0; return true;
    case SB_BOTTOM: Target = Last; return true;
    default: return false;
  }
}

// The messages the list and tree views answer alike in Dispatch: their scroll bars', the
// dialog code (arrows and characters are theirs) and the background (painted with the items).
// False for the rest.
inline bool ItemViewDispatch(TWindowScrollBars* Bars, TMessage& M) {
  if (Bars->Dispatch(M)) return true;
  switch (M.Msg) {
    case WM_GETDLGCODE:
      M.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
      return true;
    case WM_ERASEBKGND:
      M.Result = 1;
      return true;
    default:
      return false;
  }
}

// ---- the label editor of the list and tree views

// Makes the view's label editor on first use; Done ends the editing (Cancel on Escape).
inline void EnsureLabelEditor(TCustomEdit*& Editor, TWinControl* View, std::function<void(bool Cancel)> Done) {
  if (Editor) return;
  // Done runs inside the edit's own handler: the edit is hidden there, not freed.
  Editor = new TInplaceLabelEdit(std::move(Done));
  Editor->SetVisible(false);
  Editor->SetParent(View);
}

// Shows the editor over Label (Height high, wider than the text to leave room for typing),
// holding Text all selected, and focuses it.
inline void ShowLabelEditor(TCustomEdit* Editor, TFont* Font, const TRect& Label, int Height, const String& Text) {
  Editor->Font()->Assign(Font);
  Editor->SetBounds(Label.Left - 1, Label.Top, std::max(Label.Width() + 40, 60), Height);
  Editor->SetText(Text);
  Editor->SetVisible(true);
  Editor->SelectAll();
  if (Editor->CanFocus()) Editor->SetFocus();
}

// Hides the editor, handing the focus back to the view when the editor had it; the text typed.
inline String HideLabelEditor(TCustomEdit* Editor, TWinControl* View) {
  bool hadFocus = Editor && Editor->Focused();
  String s = Editor ? Editor->Text() : String();
  if (Editor) Editor->SetVisible(false);
  if (hadFocus && View->CanFocus()) View->SetFocus();
  return s;
}

}  // namespace comctrls
