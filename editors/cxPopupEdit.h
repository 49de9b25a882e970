#pragma once
// TcxCustomPopupEdit: the drop-down editor whose popup shows any control the programmer
// chooses (PopupControl). While the popup is open the control is moved into the popup
// window and fills it; when the popup closes it gets back its parent, alignment, bounds,
// visibility and, for a form, its border. The popup takes the focus, so the control is used
// with the keyboard. The calculator editor derives from TcxCustomPopupEdit.
// Declares TcxCustomPopupEditProperties, TcxPopupEditProperties, TcxPopupEditPopupWindow,
// TcxCustomPopupEdit, TcxPopupEdit and TcxPopupControlState.
#include "editors/cxDropDownEdit.h"

class TcxCustomPopupEditProperties : public TcxCustomDropDownEditProperties {
  KELM_CLASS(TcxCustomPopupEditProperties, TcxCustomDropDownEditProperties)
public:
  explicit TcxCustomPopupEditProperties(TPersistent* AOwner);
  void Assign(TPersistent* Source) override;

  TControl* PopupControl() const { return FPopupControl; }
  void SetPopupControl(TControl* Value);

  TClass GetEditorClass() override;
  TcxPopupWindowClass GetPopupFormClass() override;
  bool PopupShowsLookupList() override { return false; }
  bool PopupTakesFocus() override { return true; }
  void WatchedComponentRemoved(TComponent* AComponent) override;

private:
  TControl* FPopupControl = nullptr;
};

class TcxPopupEditProperties : public TcxCustomPopupEditProperties {
  KELM_CLASS(TcxPopupEditProperties, TcxCustomPopupEditProperties)
  template <class B> static void Published(B& b);

public:
  explicit TcxPopupEditProperties(TPersistent* AOwner);
};

class TcxPopupEditPopupWindowViewInfo : public TcxCustomEditPopupWindowViewInfo {
public:
  void PaintBorder(TcxCanvas* ACanvas, TRect& R) override;
};

class TcxPopupEditPopupWindow : public TcxCustomEditPopupWindow {
  KELM_CLASS(TcxPopupEditPopupWindow, TcxCustomEditPopupWindow)
public:
  explicit TcxPopupEditPopupWindow(TControl* AOwnerControl);
  TcxContainerViewInfo* CreateViewInfo() override { return new TcxPopupEditPopupWindowViewInfo; }
};

struct TcxPopupControlState {
  TAlign Align = alNone;
  TRect Bounds;
  TFormBorderStyle BorderStyle = bsNone;
  TWinControl* Parent = nullptr;
  bool Visible = false;
};

class TcxCustomPopupEdit : public TcxCustomDropDownEdit {
  KELM_CLASS(TcxCustomPopupEdit, TcxCustomDropDownEdit)
public:
  explicit TcxCustomPopupEdit(TComponent* AOwner);
  TcxCustomPopupEdit(TComponent* AOwner, bool AInPlace);
  TcxCustomPopupEdit(TComponent* AOwner, bool AInPlace, TDeferInitialize D);
  ~TcxCustomPopupEdit() override;

  TcxCustomPopupEditProperties* PopupProperties() const {
    return static_cast<TcxCustomPopupEditProperties*>(ActiveProperties());
  }
  const TcxPopupControlState& SavedControlState() const { return FSavedControlState; }

  // ---- new virtual operations, in their order
  virtual void ClosePopupLater(TObject* Sender, TcxPopupCloseReason Reason);
  virtual void RestorePopupControl();
  virtual void SavePopupControlState();

  // ---- overrides
  TClass GetPropertiesClass() override;
  bool HasPopupContent() override { return PopupProperties()->PopupControl() != nullptr; }
  void PreparePopup() override;
  TWinControl* GetPopupFocusTarget() override;
  void GetPopupContentSize(TSize& Size) override;
  void PlacePopupContent(const TRect& ClientRect) override;
  void LayoutPopup() override;
  void HandlePopupClosed(TObject* Sender) override;

private:
  void CheckPopupControlCycle();
  TcxPopupControlState FSavedControlState;
  bool FControlSaved = false;
};

class TcxPopupEdit : public TcxCustomPopupEdit {
  KELM_CLASS(TcxPopupEdit, TcxCustomPopupEdit)
  template <class B> static void Published(B& b);

public:
  explicit TcxPopupEdit(TComponent* AOwner) : TcxCustomPopupEdit(AOwner) {}
  TcxPopupEdit(TComponent* AOwner, bool AInPlace) : TcxCustomPopupEdit(AOwner, AInPlace) {}
  TcxPopupEditProperties* Properties() const {
    return static_cast<TcxPopupEditProperties*>(TcxCustomEdit::Properties());
  }
  void SetProperties(TcxPopupEditProperties* Value) { TcxCustomEdit::Properties()->Assign(Value); }
  TClass GetPropertiesClass() override;
};

void RegisterPopupEditProperties();
