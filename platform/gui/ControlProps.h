#pragma once
// Publishing control properties by name, for the classes not yet declaring their Published
// block in their header (the grid's). A class publishes a base property by calling its
// Publish<Name> template (Controls.h) instead; this goes once no caller is left.
#include "core/ClassBuilder.h"
#include "gui/Controls.h"

#include <cstring>
#include <initializer_list>
#include <type_traits>

namespace control_props {

[[noreturn]] void UnknownProperty(const char* Class, const char* Name);

template <class C> TPropRef<C> PublishOne(TClassBuilder<C>& b, const char* n) {
  using B = TClassBuilder<C>;
  struct Entry {
    const char* Name;
    TPropRef<C> (*Publish)(B&);
  };
  static const Entry kControl[] = {
      {"Align", &TControl::template PublishAlign<B>},
      {"Anchors", &TControl::template PublishAnchors<B>},
      {"AutoSize", &TControl::template PublishAutoSize<B>},
      {"BiDiMode", &TControl::template PublishBiDiMode<B>},
      {"Caption", &TControl::template PublishCaption<B>},
      {"Text", &TControl::template PublishText<B>},
      {"Color", &TControl::template PublishColor<B>},
      {"Constraints", &TControl::template PublishConstraints<B>},
      {"Cursor", &TControl::template PublishCursor<B>},
      {"DragCursor", &TControl::template PublishDragCursor<B>},
      {"DragMode", &TControl::template PublishDragMode<B>},
      {"Enabled", &TControl::template PublishEnabled<B>},
      {"Font", &TControl::template PublishFont<B>},
      {"ParentColor", &TControl::template PublishParentColor<B>},
      {"ParentFont", &TControl::template PublishParentFont<B>},
      {"ParentShowHint", &TControl::template PublishParentShowHint<B>},
      {"ShowHint", &TControl::template PublishShowHint<B>},
      {"PopupMenu", &TControl::template PublishPopupMenu<B>},
      {"Action", &TControl::template PublishAction<B>},
      {"Visible", &TControl::template PublishVisible<B>},
      {"ClientHeight", &TControl::template PublishClientHeight<B>},
      {"ClientWidth", &TControl::template PublishClientWidth<B>},
      {"OnClick", &TControl::template PublishOnClick<B>},
      {"OnDblClick", &TControl::template PublishOnDblClick<B>},
      {"OnMouseDown", &TControl::template PublishOnMouseDown<B>},
      {"OnMouseMove", &TControl::template PublishOnMouseMove<B>},
      {"OnMouseUp", &TControl::template PublishOnMouseUp<B>},
      {"OnMouseEnter", &TControl::template PublishOnMouseEnter<B>},
      {"OnMouseLeave", &TControl::template PublishOnMouseLeave<B>},
      {"OnResize", &TControl::template PublishOnResize<B>},
      {"OnContextPopup", &TControl::template PublishOnContextPopup<B>},
      {"OnCanResize", &TControl::template PublishOnCanResize<B>},
      {"OnDragDrop", &TControl::template PublishOnDragDrop<B>},
      {"OnDragOver", &TControl::template PublishOnDragOver<B>},
      {"OnEndDrag", &TControl::template PublishOnEndDrag<B>},
      {"OnStartDrag", &TControl::template PublishOnStartDrag<B>},
  };
  for (const Entry& e : kControl)
    if (std::strcmp(e.Name, n) == 0) return e.Publish(b);
  if constexpr (std::is_base_of_v<TWinControl, C>) {
    static const Entry kWinControl[] = {
        {"TabOrder", &TWinControl::template PublishTabOrder<B>},
        {"TabStop", &TWinControl::template PublishTabStop<B>},
        {"BorderWidth", &TWinControl::template PublishBorderWidth<B>},
        {"Ctl3D", &TWinControl::template PublishCtl3D<B>},
        {"ParentCtl3D", &TWinControl::template PublishParentCtl3D<B>},
        {"ImeMode", &TWinControl::template PublishImeMode<B>},
        {"ImeName", &TWinControl::template PublishImeName<B>},
        {"OnEnter", &TWinControl::template PublishOnEnter<B>},
        {"OnExit", &TWinControl::template PublishOnExit<B>},
        {"OnKeyDown", &TWinControl::template PublishOnKeyDown<B>},
        {"OnKeyPress", &TWinControl::template PublishOnKeyPress<B>},
        {"OnKeyUp", &TWinControl::template PublishOnKeyUp<B>},
        {"OnMouseWheel", &TWinControl::template PublishOnMouseWheel<B>},
        {"OnMouseWheelDown", &TWinControl::template PublishOnMouseWheelDown<B>},
        {"OnMouseWheelUp", &TWinControl::template PublishOnMouseWheelUp<B>},
    };
    for (const Entry& e : kWinControl)
      if (std::strcmp(e.Name, n) == 0) return e.Publish(b);
  }
  UnknownProperty(typeid(C).name(), n);
}

}  // namespace control_props

// Publishes properties the base classes implement; an unknown name is a programming error
// (EPropertyError at start-up).
template <class C> void PublishControlProperties(TClassBuilder<C>& b, std::initializer_list<const char*> Names) {
  for (const char* n : Names) control_props::PublishOne(b, n);
}
// One of them, to declare the class's own default or stored condition.
template <class C> TPropRef<C> PublishControlProperty(TClassBuilder<C>& b, const char* Name) {
  return control_props::PublishOne(b, Name);
}
