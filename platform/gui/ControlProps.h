#pragma once
// Publishing the properties and events that the control base classes
// implement. A control class publishes the ones it shows in layouts, by name or by the groups
// the standard controls share, in the order layouts list them:
//
//   KELM_PUBLISH(TPanel) {
//     PublishControlProperties(b, control_props::Placement);
//     PublishControlProperties(b, {"Caption", "Color", "Font", "ParentColor", "ParentFont", "OnClick"});
//     PublishControlProperty(b, "TabStop").Default(true);   // the class's own default
//   }
//
// A property's declared default is what a new control of the class holds: a value equal to it
// is not written, so a class whose constructor sets another value declares that one.
// Include it only in the .cpp file that publishes a class (it needs ClassBuilder.h).
#include "core/ClassBuilder.h"
#include "gui/Controls.h"

#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <type_traits>

namespace control_props {

[[noreturn]] void UnknownProperty(const char* Class, const char* Name);

// A value the control may take from its parent is stored only while it is the control's own.
template <class C, class B> TPropRef<C> UnlessParent(TPropRef<C> Ref, bool (B::*FromParent)() const) {
  Ref.Info()->StoredFn = [FromParent](const TObject* o) { return !(static_cast<const B*>(o)->*FromParent)(); };
  return Ref;
}

template <class C> TPropRef<C> PublishOne(TClassBuilder<C>& b, const char* n) {
  auto is = [n](const char* s) { return std::strcmp(n, s) == 0; };
  // ---- TControl
  if (is("Align")) return b.Prop("Align", &TControl::Align, &TControl::SetAlign).Default(alNone);
  if (is("Anchors")) return b.Prop("Anchors", &TControl::Anchors, &TControl::SetAnchors).Default(TAnchors{akLeft, akTop});
  if (is("AutoSize")) return b.Prop("AutoSize", &TControl::AutoSize, &TControl::SetAutoSize).Default(false);
  if (is("BiDiMode")) return b.Prop("BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode).Default(bdLeftToRight);
  if (is("Caption")) return b.Prop("Caption", &TControl::Caption, &TControl::SetCaption);
  if (is("Text")) return b.Prop("Text", &TControl::Text, &TControl::SetText);
  if (is("Color")) return UnlessParent(b.Prop("Color", &TControl::Color, &TControl::SetColor).Type("TColor").NoDefault(), &TControl::ParentColor);
  if (is("Constraints")) return b.Prop("Constraints", &TControl::Constraints, &TControl::SetConstraints);
  if (is("Cursor")) return b.Prop("Cursor", &TControl::Cursor, &TControl::SetCursor).Type("TCursor").Default(crDefault);
  if (is("DragCursor")) return b.Prop("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor).Type("TCursor").Default(crDrag);
  if (is("DragMode")) return b.Prop("DragMode", &TControl::DragMode, &TControl::SetDragMode).Default(dmManual);
  if (is("Enabled")) return b.Prop("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true);
  if (is("Font")) return UnlessParent(b.Prop("Font", &TControl::Font, &TControl::SetFont), &TControl::ParentFont);
  if (is("ParentColor")) return b.Prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(true);
  if (is("ParentFont")) return b.Prop("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
  if (is("ParentShowHint")) return b.Prop("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).Default(true);
  if (is("ShowHint")) return UnlessParent(b.Prop("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).NoDefault(), &TControl::ParentShowHint);
  if (is("PopupMenu")) return b.Prop("PopupMenu", &TControl::PopupMenuComponent, &TControl::SetPopupMenuComponent).Type("TPopupMenu");
  if (is("Action")) return b.Prop("Action", &TControl::Action, &TControl::SetAction);
  if (is("Visible")) return b.Prop("Visible", &TControl::Visible, &TControl::SetVisible).Default(true);
  if (is("ClientHeight")) return b.Prop("ClientHeight", &TControl::ClientHeight, &TControl::SetClientHeight);
  if (is("ClientWidth")) return b.Prop("ClientWidth", &TControl::ClientWidth, &TControl::SetClientWidth);
  if (is("OnClick")) return b.Prop("OnClick", &TControl::OnClick, &TControl::OnClick);
  if (is("OnDblClick")) return b.Prop("OnDblClick", &TControl::OnDblClick, &TControl::OnDblClick);
  if (is("OnMouseDown")) return b.Prop("OnMouseDown", &TControl::OnMouseDown, &TControl::OnMouseDown);
  if (is("OnMouseMove")) return b.Prop("OnMouseMove", &TControl::OnMouseMove, &TControl::OnMouseMove);
  if (is("OnMouseUp")) return b.Prop("OnMouseUp", &TControl::OnMouseUp, &TControl::OnMouseUp);
  if (is("OnMouseEnter")) return b.Prop("OnMouseEnter", &TControl::OnMouseEnter, &TControl::OnMouseEnter);
  if (is("OnMouseLeave")) return b.Prop("OnMouseLeave", &TControl::OnMouseLeave, &TControl::OnMouseLeave);
  if (is("OnResize")) return b.Prop("OnResize", &TControl::OnResize, &TControl::OnResize);
  if (is("OnContextPopup")) return b.Prop("OnContextPopup", &TControl::OnContextPopup, &TControl::OnContextPopup);
  if (is("OnCanResize")) return b.Prop("OnCanResize", &TControl::OnCanResize, &TControl::OnCanResize);
  if (is("OnDragDrop")) return b.Prop("OnDragDrop", &TControl::OnDragDrop, &TControl::OnDragDrop);
  if (is("OnDragOver")) return b.Prop("OnDragOver", &TControl::OnDragOver, &TControl::OnDragOver);
  if (is("OnEndDrag")) return b.Prop("OnEndDrag", &TControl::OnEndDrag, &TControl::OnEndDrag);
  if (is("OnStartDrag")) return b.Prop("OnStartDrag", &TControl::OnStartDrag, &TControl::OnStartDrag);
  // ---- TWinControl
  if constexpr (std::is_base_of_v<TWinControl, C>) {
    if (is("TabOrder")) return b.Prop("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Default(-1);
    if (is("TabStop")) return b.Prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(false);
    if (is("BorderWidth")) return b.Prop("BorderWidth", &TWinControl::BorderWidth, &TWinControl::SetBorderWidth).Default(0);
    if (is("Ctl3D")) return UnlessParent(b.Prop("Ctl3D", &TWinControl::Ctl3D, &TWinControl::SetCtl3D).NoDefault(), &TWinControl::ParentCtl3D);
    if (is("ParentCtl3D")) return b.Prop("ParentCtl3D", &TWinControl::ParentCtl3D, &TWinControl::SetParentCtl3D).Default(true);
    if (is("ImeMode")) return b.Prop("ImeMode", &TWinControl::ImeMode, &TWinControl::SetImeMode).Default(imDontCare);
    if (is("ImeName")) return b.Prop("ImeName", &TWinControl::ImeName, &TWinControl::SetImeName);
    if (is("OnEnter")) return b.Prop("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter);
    if (is("OnExit")) return b.Prop("OnExit", &TWinControl::OnExit, &TWinControl::OnExit);
    if (is("OnKeyDown")) return b.Prop("OnKeyDown", &TWinControl::OnKeyDown, &TWinControl::OnKeyDown);
    if (is("OnKeyPress")) return b.Prop("OnKeyPress", &TWinControl::OnKeyPress, &TWinControl::OnKeyPress);
    if (is("OnKeyUp")) return b.Prop("OnKeyUp", &TWinControl::OnKeyUp, &TWinControl::OnKeyUp);
    if (is("OnMouseWheel")) return b.Prop("OnMouseWheel", &TWinControl::OnMouseWheel, &TWinControl::OnMouseWheel);
    if (is("OnMouseWheelDown")) return b.Prop("OnMouseWheelDown", &TWinControl::OnMouseWheelDown, &TWinControl::OnMouseWheelDown);
    if (is("OnMouseWheelUp")) return b.Prop("OnMouseWheelUp", &TWinControl::OnMouseWheelUp, &TWinControl::OnMouseWheelUp);
  }
  UnknownProperty(typeid(C).name(), n);
}

// Groups the standard controls publish together.
// Placement and state of every visual control.
inline constexpr const char* Placement[] = {"Align",     "Anchors",  "Constraints", "Enabled",  "Visible",  "ShowHint",
                                            "ParentShowHint", "PopupMenu", "DragCursor", "DragMode", "BiDiMode"};
inline constexpr const char* Colors[] = {"Color", "ParentColor", "Font", "ParentFont"};
inline constexpr const char* MouseEvents[] = {"OnClick",      "OnDblClick",     "OnMouseDown", "OnMouseMove",
                                              "OnMouseUp",    "OnMouseEnter",   "OnMouseLeave", "OnContextPopup",
                                              "OnDragDrop",   "OnDragOver",     "OnEndDrag",   "OnStartDrag"};
inline constexpr const char* ResizeEvents[] = {"OnResize", "OnCanResize"};
// Focus, tab order, keys and the input method of windowed controls.
inline constexpr const char* Windowed[] = {"TabOrder",   "TabStop",      "Ctl3D",         "ParentCtl3D",
                                           "ImeMode",    "ImeName",      "OnEnter",       "OnExit",
                                           "OnKeyDown",  "OnKeyPress",   "OnKeyUp",       "OnMouseWheel",
                                           "OnMouseWheelDown", "OnMouseWheelUp"};

}  // namespace control_props

// Publishes properties the base classes implement; an unknown name is a programming error
// (EPropertyError at start-up).
template <class C> void PublishControlProperties(TClassBuilder<C>& b, std::initializer_list<const char*> Names) {
  for (const char* n : Names) control_props::PublishOne(b, n);
}
template <class C, std::size_t N> void PublishControlProperties(TClassBuilder<C>& b, const char* const (&Names)[N]) {
  for (const char* n : Names) control_props::PublishOne(b, n);
}
// One of them, to declare the class's own default or stored condition.
template <class C> TPropRef<C> PublishControlProperty(TClassBuilder<C>& b, const char* Name) {
  return control_props::PublishOne(b, Name);
}
