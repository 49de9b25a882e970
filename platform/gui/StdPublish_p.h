#pragma once
// Private to platform/gui: the published properties and events that the standard controls
// share, grouped as layouts use them, so each control's publish block lists only its own
// properties and the groups it takes.
#include "ClassBuilder.h"
#include "Controls.h"
#include "Forms.h"

namespace std_publish {

// Placement and state every visual control streams.
template <class C> void Control(TClassBuilder<C>& b) {
  b.Prop("Align", &TControl::Align, &TControl::SetAlign).Default(alNone);
  b.Prop("Anchors", &TControl::Anchors, &TControl::SetAnchors).Default(TAnchors{akLeft, akTop});
  b.Prop("Constraints", &TControl::Constraints, &TControl::SetConstraints);
  b.Prop("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true);
  b.Prop("Visible", &TControl::Visible, &TControl::SetVisible).Default(true);
  b.Prop("ShowHint", &TControl::ShowHint, &TControl::SetShowHint);
  b.Prop("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).Default(true);
  b.Prop("PopupMenu", &TControl::PopupMenuComponent, &TControl::SetPopupMenuComponent).Type("TPopupMenu");
  b.Prop("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor).Type("TCursor").Default(crDrag);
  b.Prop("DragMode", &TControl::DragMode, &TControl::SetDragMode).Default(dmManual);
  b.Prop("BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode).Default(bdLeftToRight);
}

template <class C> void Colors(TClassBuilder<C>& b) {
  b.Prop("Color", &TControl::Color, &TControl::SetColor).Type("TColor").NoDefault();
  b.Prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor);
  b.Prop("Font", &TControl::Font, &TControl::SetFont);
  b.Prop("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
}

template <class C> void Caption(TClassBuilder<C>& b) {
  b.Prop("Caption", &TControl::Caption, &TControl::SetCaption);
}

template <class C> void Action(TClassBuilder<C>& b) {
  b.Prop("Action", &TControl::Action, &TControl::SetAction);
}

template <class C> void MouseEvents(TClassBuilder<C>& b) {
  b.Prop("OnClick", &TControl::OnClick, &TControl::OnClick);
  b.Prop("OnDblClick", &TControl::OnDblClick, &TControl::OnDblClick);
  b.Prop("OnMouseDown", &TControl::OnMouseDown, &TControl::OnMouseDown);
  b.Prop("OnMouseMove", &TControl::OnMouseMove, &TControl::OnMouseMove);
  b.Prop("OnMouseUp", &TControl::OnMouseUp, &TControl::OnMouseUp);
  b.Prop("OnMouseEnter", &TControl::OnMouseEnter, &TControl::OnMouseEnter);
  b.Prop("OnMouseLeave", &TControl::OnMouseLeave, &TControl::OnMouseLeave);
  b.Prop("OnContextPopup", &TControl::OnContextPopup, &TControl::OnContextPopup);
  b.Prop("OnDragDrop", &TControl::OnDragDrop, &TControl::OnDragDrop);
  b.Prop("OnDragOver", &TControl::OnDragOver, &TControl::OnDragOver);
  b.Prop("OnEndDrag", &TControl::OnEndDrag, &TControl::OnEndDrag);
  b.Prop("OnStartDrag", &TControl::OnStartDrag, &TControl::OnStartDrag);
}

template <class C> void Resize(TClassBuilder<C>& b) {
  b.Prop("OnResize", &TControl::OnResize, &TControl::OnResize);
  b.Prop("OnCanResize", &TControl::OnCanResize, &TControl::OnCanResize);
}

// Focus, tab order, keys and the input method of windowed controls.
template <class C> void WinControl(TClassBuilder<C>& b) {
  b.Prop("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Default(-1);
  b.Prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop);
  b.Prop("Ctl3D", &TWinControl::Ctl3D, &TWinControl::SetCtl3D);
  b.Prop("ParentCtl3D", &TWinControl::ParentCtl3D, &TWinControl::SetParentCtl3D).Default(true);
  b.Prop("ImeMode", &TWinControl::ImeMode, &TWinControl::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &TWinControl::ImeName, &TWinControl::SetImeName);
  b.Prop("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter);
  b.Prop("OnExit", &TWinControl::OnExit, &TWinControl::OnExit);
  b.Prop("OnKeyDown", &TWinControl::OnKeyDown, &TWinControl::OnKeyDown);
  b.Prop("OnKeyPress", &TWinControl::OnKeyPress, &TWinControl::OnKeyPress);
  b.Prop("OnKeyUp", &TWinControl::OnKeyUp, &TWinControl::OnKeyUp);
  b.Prop("OnMouseWheel", &TWinControl::OnMouseWheel, &TWinControl::OnMouseWheel);
  b.Prop("OnMouseWheelDown", &TWinControl::OnMouseWheelDown, &TWinControl::OnMouseWheelDown);
  b.Prop("OnMouseWheelUp", &TWinControl::OnMouseWheelUp, &TWinControl::OnMouseWheelUp);
}

// Windowed containers: the border band inside the frame.
template <class C> void Container(TClassBuilder<C>& b) {
  b.Prop("BorderWidth", &TWinControl::BorderWidth, &TWinControl::SetBorderWidth).Default(0);
}

}  // namespace std_publish
