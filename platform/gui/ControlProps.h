#pragma once
// Publishing the properties and events that the control base classes implement. A control
// class publishes the ones it shows in layouts, by name, in the order layouts list them:
//
//   KELM_PUBLISH(TPanel) {
//     PublishControlProperties(b, {"Align", "Anchors", "Caption", "Color", "Font", "ParentColor",
//                                  "ParentFont", "TabOrder", "Visible", "OnClick", "OnResize"});
//   }
//
// Include it only in the .cpp file that publishes a class (it needs ClassBuilder.h).
#include "ClassBuilder.h"
#include "Controls.h"

#include <cstring>
#include <initializer_list>
#include <type_traits>

namespace control_props {

[[noreturn]] void UnknownProperty(const char* Class, const char* Name);

template <class C> void PublishOne(TClassBuilder<C>& b, const char* n) {
  auto is = [n](const char* s) { return std::strcmp(n, s) == 0; };
  // ---- TControl
  if (is("Align")) { b.Prop("Align", &TControl::Align, &TControl::SetAlign).Default(alNone); return; }
  if (is("Anchors")) { b.Prop("Anchors", &TControl::Anchors, &TControl::SetAnchors).Default(TAnchors{akLeft, akTop}); return; }
  if (is("AutoSize")) { b.Prop("AutoSize", &TControl::AutoSize, &TControl::SetAutoSize).Default(false); return; }
  if (is("BiDiMode")) { b.Prop("BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode).Default(bdLeftToRight); return; }
  if (is("Caption")) { b.Prop("Caption", &TControl::Caption, &TControl::SetCaption); return; }
  if (is("Text")) { b.Prop("Text", &TControl::Text, &TControl::SetText); return; }
  if (is("Color")) {
    b.Prop("Color", &TControl::Color, &TControl::SetColor).Type("TColor").NoDefault().Info()->StoredFn = [](const TObject* o) {
      return !static_cast<const TControl*>(o)->ParentColor();
    };
    return;
  }
  if (is("Constraints")) { b.Prop("Constraints", &TControl::Constraints, &TControl::SetConstraints); return; }
  if (is("Cursor")) { b.Prop("Cursor", &TControl::Cursor, &TControl::SetCursor).Type("TCursor").Default(crDefault); return; }
  if (is("DragCursor")) { b.Prop("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor).Type("TCursor").Default(crDrag); return; }
  if (is("DragMode")) { b.Prop("DragMode", &TControl::DragMode, &TControl::SetDragMode).Default(dmManual); return; }
  if (is("Enabled")) { b.Prop("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true); return; }
  if (is("Font")) {
    b.Prop("Font", &TControl::Font, &TControl::SetFont).Info()->StoredFn = [](const TObject* o) {
      return !static_cast<const TControl*>(o)->ParentFont();
    };
    return;
  }
  if (is("ParentColor")) { b.Prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(true); return; }
  if (is("ParentFont")) { b.Prop("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true); return; }
  if (is("ParentShowHint")) { b.Prop("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).Default(true); return; }
  if (is("ShowHint")) {
    b.Prop("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).NoDefault().Info()->StoredFn = [](const TObject* o) {
      return !static_cast<const TControl*>(o)->ParentShowHint();
    };
    return;
  }
  if (is("PopupMenu")) {
    b.Prop("PopupMenu", &TControl::PopupMenuComponent, &TControl::SetPopupMenuComponent).Type("TPopupMenu");
    return;
  }
  if (is("Action")) { b.Prop("Action", &TControl::Action, &TControl::SetAction); return; }
  if (is("Visible")) { b.Prop("Visible", &TControl::Visible, &TControl::SetVisible).Default(true); return; }
  if (is("ClientHeight")) { b.Prop("ClientHeight", &TControl::ClientHeight, &TControl::SetClientHeight); return; }
  if (is("ClientWidth")) { b.Prop("ClientWidth", &TControl::ClientWidth, &TControl::SetClientWidth); return; }
  if (is("OnClick")) { b.Prop("OnClick", &TControl::OnClick, &TControl::OnClick); return; }
  if (is("OnDblClick")) { b.Prop("OnDblClick", &TControl::OnDblClick, &TControl::OnDblClick); return; }
  if (is("OnMouseDown")) { b.Prop("OnMouseDown", &TControl::OnMouseDown, &TControl::OnMouseDown); return; }
  if (is("OnMouseMove")) { b.Prop("OnMouseMove", &TControl::OnMouseMove, &TControl::OnMouseMove); return; }
  if (is("OnMouseUp")) { b.Prop("OnMouseUp", &TControl::OnMouseUp, &TControl::OnMouseUp); return; }
  if (is("OnMouseEnter")) { b.Prop("OnMouseEnter", &TControl::OnMouseEnter, &TControl::OnMouseEnter); return; }
  if (is("OnMouseLeave")) { b.Prop("OnMouseLeave", &TControl::OnMouseLeave, &TControl::OnMouseLeave); return; }
  if (is("OnResize")) { b.Prop("OnResize", &TControl::OnResize, &TControl::OnResize); return; }
  if (is("OnContextPopup")) { b.Prop("OnContextPopup", &TControl::OnContextPopup, &TControl::OnContextPopup); return; }
  if (is("OnCanResize")) { b.Prop("OnCanResize", &TControl::OnCanResize, &TControl::OnCanResize); return; }
  if (is("OnDragDrop")) { b.Prop("OnDragDrop", &TControl::OnDragDrop, &TControl::OnDragDrop); return; }
  if (is("OnDragOver")) { b.Prop("OnDragOver", &TControl::OnDragOver, &TControl::OnDragOver); return; }
  if (is("OnEndDrag")) { b.Prop("OnEndDrag", &TControl::OnEndDrag, &TControl::OnEndDrag); return; }
  if (is("OnStartDrag")) { b.Prop("OnStartDrag", &TControl::OnStartDrag, &TControl::OnStartDrag); return; }
  // ---- TWinControl
  if constexpr (std::is_base_of_v<TWinControl, C>) {
    if (is("TabOrder")) { b.Prop("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Default(-1); return; }
    if (is("TabStop")) { b.Prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(false); return; }
    if (is("BorderWidth")) { b.Prop("BorderWidth", &TWinControl::BorderWidth, &TWinControl::SetBorderWidth).Default(0); return; }
    if (is("Ctl3D")) {
      b.Prop("Ctl3D", &TWinControl::Ctl3D, &TWinControl::SetCtl3D).NoDefault().Info()->StoredFn = [](const TObject* o) {
        return !static_cast<const TWinControl*>(o)->ParentCtl3D();
      };
      return;
    }
    if (is("ParentCtl3D")) { b.Prop("ParentCtl3D", &TWinControl::ParentCtl3D, &TWinControl::SetParentCtl3D).Default(true); return; }
    if (is("ImeMode")) { b.Prop("ImeMode", &TWinControl::ImeMode, &TWinControl::SetImeMode).Default(imDontCare); return; }
    if (is("ImeName")) { b.Prop("ImeName", &TWinControl::ImeName, &TWinControl::SetImeName); return; }
    if (is("OnEnter")) { b.Prop("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter); return; }
    if (is("OnExit")) { b.Prop("OnExit", &TWinControl::OnExit, &TWinControl::OnExit); return; }
    if (is("OnKeyDown")) { b.Prop("OnKeyDown", &TWinControl::OnKeyDown, &TWinControl::OnKeyDown); return; }
    if (is("OnKeyPress")) { b.Prop("OnKeyPress", &TWinControl::OnKeyPress, &TWinControl::OnKeyPress); return; }
    if (is("OnKeyUp")) { b.Prop("OnKeyUp", &TWinControl::OnKeyUp, &TWinControl::OnKeyUp); return; }
    if (is("OnMouseWheel")) { b.Prop("OnMouseWheel", &TWinControl::OnMouseWheel, &TWinControl::OnMouseWheel); return; }
    if (is("OnMouseWheelDown")) { b.Prop("OnMouseWheelDown", &TWinControl::OnMouseWheelDown, &TWinControl::OnMouseWheelDown); return; }
    if (is("OnMouseWheelUp")) { b.Prop("OnMouseWheelUp", &TWinControl::OnMouseWheelUp, &TWinControl::OnMouseWheelUp); return; }
  }
  UnknownProperty(typeid(C).name(), n);
}

}  // namespace control_props

// Publishes properties the base classes implement; an unknown name is a programming error
// (EPropertyError at start-up).
template <class C> void PublishControlProperties(TClassBuilder<C>& b, std::initializer_list<const char*> Names) {
  for (const char* n : Names) control_props::PublishOne(b, n);
}
