#pragma once
// Data-aware controls: the edit bound to one field of a dataset and the navigator that moves
// through a dataset and edits it.
//
// A TDBEdit shows its field's text and follows the current record: every change of the shown
// text (another record, another value) is a change of the edit's text, so OnChange runs, which
// windows use as their "current record changed" hook. Typing puts the dataset into edit state
// (when the field and the data source allow it); leaving the edit stores the text in the field.
// Declares TDBEdit, TNavButton and TDBNavigator.
#include "gui/Buttons.h"
#include "data/DB.h"
#include "gui/MaskEdit.h"

#include <memory>

class TDBEdit : public TCustomMaskEdit {
  KELM_CLASS(TDBEdit, TCustomMaskEdit)
  template <class B> static void Published(B& b) {
    PublishAnchors(b);
    PublishBiDiMode(b);
    PublishAutoSize(b).Default(true);
    b.Prop("AutoSelect", &TDBEdit::AutoSelect, &TDBEdit::SetAutoSelect).Default(true);
    b.Prop("BorderStyle", &TDBEdit::BorderStyle, &TDBEdit::SetBorderStyle).Default(bsSingle);
    b.Prop("CharCase", &TDBEdit::CharCase, &TDBEdit::SetCharCase).Default(ecNormal);
    PublishColor(b);
    PublishConstraints(b);
    PublishCtl3D(b);
    b.Prop("DataField", &TDBEdit::DataField, &TDBEdit::SetDataField);
    b.Prop("DataSource", &TDBEdit::DataSource, &TDBEdit::SetDataSource);
    PublishDragCursor(b);
    PublishDragMode(b);
    PublishEnabled(b);
    PublishFont(b);
    PublishImeMode(b);
    PublishImeName(b);
    b.Prop("MaxLength", &TDBEdit::MaxLength, &TDBEdit::SetMaxLength).Default(0);
    PublishParentCtl3D(b);
    PublishParentFont(b);
    PublishParentShowHint(b);
    PublishParentColor(b).Default(false);
    b.Prop("PasswordChar", &TDBEdit::PasswordChar, &TDBEdit::SetPasswordChar).Default(Char(0));
    PublishPopupMenu(b);
    b.Prop("ReadOnly", &TDBEdit::ReadOnly, &TDBEdit::SetReadOnly).Default(false);
    PublishShowHint(b);
    PublishTabOrder(b);
    PublishVisible(b);
    PublishTabStop(b).Default(true);
    b.Prop("OnChange", &TDBEdit::OnChange, &TDBEdit::OnChange);
    PublishOnClick(b);
    PublishOnContextPopup(b);
    PublishOnDblClick(b);
    PublishOnDragDrop(b);
    PublishOnDragOver(b);
    PublishOnEndDrag(b);
    PublishOnEnter(b);
    PublishOnExit(b);
    PublishOnKeyDown(b);
    PublishOnKeyPress(b);
    PublishOnKeyUp(b);
    PublishOnMouseDown(b);
    PublishOnMouseMove(b);
    PublishOnMouseUp(b);
    PublishOnStartDrag(b);
  }
public:
  explicit TDBEdit(TComponent* AOwner);
  ~TDBEdit() override;

  TDataSource* DataSource() const { return FDataLink->DataSource(); }
  void SetDataSource(TDataSource* Value);
  String DataField() const { return FDataLink->FieldName(); }
  void SetDataField(const String& Value);
  TField* Field() const { return FDataLink->Field(); }
  // The edit refuses typing; the data link does not edit the dataset.
  bool ReadOnly() const { return FDataLink->ReadOnly(); }
  void SetReadOnly(bool Value);
  TFieldDataLink* DataLink() const { return FDataLink.get(); }
  // An action offered to the edit goes to its data link first (a dataset action acts on the
  // edit's data source), then to the edit itself.
  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;

  void Dispatch(TMessage& Message) override;

protected:
  void Change() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void DoEnter() override;

private:
  void DataChange(TObject* Sender);
  void EditingChange(TObject* Sender);
  void UpdateData(TObject* Sender);
  void ActiveChange(TObject* Sender);
  void ApplyReadOnly();
  bool EditField();

  std::unique_ptr<TFieldDataLink> FDataLink;
  bool FFocused = false;
  bool FSettingText = false;
};

KELM_ENUM(TNavigateBtn, nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel, nbRefresh)
using TButtonSet = TSet<TNavigateBtn>;
KELM_EVENT(ENavClick, void(TObject* Sender, TNavigateBtn Button));

// The ten commands on a dataset that the navigator's buttons and the dataset actions run:
// whether the command can run on the dataset now, and running it (no question asked).
bool DataSetCommandAllowed(TNavigateBtn Command, TDataSet* DataSet);
void RunDataSetCommand(TNavigateBtn Command, TDataSet* DataSet);

class TDBNavigator;

// One button of a navigator; Controls(i) of the navigator is the button of the i-th kind.
class TNavButton : public TSpeedButton {
  KELM_CLASS(TNavButton, TSpeedButton)
public:
  explicit TNavButton(TComponent* AOwner);
  TNavigateBtn Index() const { return FIndex; }
  void Click() override;

protected:
  friend class TDBNavigator;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  TNavigateBtn FIndex = nbFirst;
  TDBNavigator* FNavigator = nullptr;
};

class TDBNavigator : public TCustomControl {
  KELM_CLASS(TDBNavigator, TCustomControl)
  template <class B> static void Published(B& b) {
    PublishAlign(b);
    PublishAnchors(b);
    PublishConstraints(b);
    PublishCtl3D(b);
    b.Prop("DataSource", &TDBNavigator::DataSource, &TDBNavigator::SetDataSource);
    PublishDragCursor(b);
    PublishDragMode(b);
    PublishEnabled(b);
    b.Prop("Flat", &TDBNavigator::Flat, &TDBNavigator::SetFlat).Default(false);
    b.Prop("Hints", &TDBNavigator::Hints, &TDBNavigator::SetHints);
    PublishParentCtl3D(b);
    PublishParentShowHint(b);
    PublishPopupMenu(b);
    b.Prop("ConfirmDelete", &TDBNavigator::ConfirmDelete, &TDBNavigator::SetConfirmDelete).Default(true);
    PublishShowHint(b);
    PublishTabOrder(b);
    PublishTabStop(b);
    b.Prop("VisibleButtons", &TDBNavigator::VisibleButtons, &TDBNavigator::SetVisibleButtons)
        .Default(TButtonSet{nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel, nbRefresh});
    PublishVisible(b);
    b.Prop("BeforeAction", &TDBNavigator::BeforeAction, &TDBNavigator::BeforeAction);
    b.Prop("OnClick", &TDBNavigator::OnClick, &TDBNavigator::OnClick);
    PublishOnContextPopup(b);
    PublishOnDblClick(b);
    PublishOnDragDrop(b);
    PublishOnDragOver(b);
    PublishOnEndDrag(b);
    PublishOnEnter(b);
    PublishOnExit(b);
    PublishOnResize(b);
    PublishOnStartDrag(b);
  }
public:
  explicit TDBNavigator(TComponent* AOwner);
  ~TDBNavigator() override;

  TDataSource* DataSource() const { return FDataLink ? FDataLink->DataSource() : nullptr; }
  void SetDataSource(TDataSource* Value);
  TButtonSet VisibleButtons() const { return FVisibleButtons; }
  void SetVisibleButtons(TButtonSet Value);
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  bool ConfirmDelete() const { return FConfirmDelete; }
  void SetConfirmDelete(bool Value) { FConfirmDelete = Value; }
  TStrings* Hints() const { return FHints.get(); }
  void SetHints(TStrings* Value);
  TNavButton* Buttons(TNavigateBtn Button) const { return FButtons[static_cast<std::size_t>(Button)]; }

  // Does what the button does: BeforeAction (which may stop it with EAbort), the dataset
  // operation, then OnClick.
  virtual void BtnClick(TNavigateBtn Index);

  ENavClick BeforeAction;
  ENavClick OnClick;

  void Dispatch(TMessage& Message) override;
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override {}

protected:
  friend class TNavButton;
  friend class TNavDataLink;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;
  void Paint() override;
  void EnableButtons();
  void LayoutButtons();
  void UpdateHints();
  void StartRepeat(TNavigateBtn Index);
  void StopRepeat();

private:
  std::unique_ptr<TDataLink> FDataLink;
  TNavButton* FButtons[10] = {};
  TButtonSet FVisibleButtons = {nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel, nbRefresh};
  bool FFlat = false;
  bool FConfirmDelete = true;
  std::unique_ptr<TStringList> FHints;
  int FRepeating = -1;
};
