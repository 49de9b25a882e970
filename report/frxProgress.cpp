#include "report/frxProgress.h"

#include "core/ClassBuilder.h"
#include "gui/Application.h"
#include "gui/ComCtrlsBasic.h"
#include "gui/Messages.h"
#include "gui/Screen.h"
#include "gui/StdCtrls.h"
#include "report/frxRes.h"

KELM_PUBLISH(TfrxProgress) {
  b.Method("FormCreate", &TfrxProgress::FormCreate);
  b.Method("FormHide", &TfrxProgress::FormHide);
  b.Method("CancelBClick", &TfrxProgress::CancelBClick);
}

TfrxProgress::TfrxProgress(TComponent* AOwner) : inherited(AOwner) {}

TfrxProgress::~TfrxProgress() { EnableDisabledForm(); }

void TfrxProgress::FormCreate(TObject*) {
  CancelB->SetCaption(ResourceText(2));
  FDisabledForm = Screen->ActiveForm();
  if (FDisabledForm == this) FDisabledForm = nullptr;
  if (FDisabledForm) {
    FDisabledForm->FreeNotification(this);
    FDisabledForm->SetEnabled(false);
  }
  Bar->SetMin(0);
  Bar->SetMax(100);
  SetBarPosition(0);
}

void TfrxProgress::EnableDisabledForm() {
  if (!FDisabledForm) return;
  FDisabledForm->RemoveFreeNotification(this);
  FDisabledForm->SetEnabled(true);
  FDisabledForm = nullptr;
}

void TfrxProgress::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDisabledForm) FDisabledForm = nullptr;
}

void TfrxProgress::FormHide(TObject*) { EnableDisabledForm(); }

void TfrxProgress::OpenWindow(int MaxValue, const String& Message, bool ShowBar, bool ShowCancel) {
  FCancelRequested = false;
  CancelB->SetVisible(ShowCancel);
  SetBarVisible(ShowBar);
  Bar->SetMin(0);
  ResetPosition();
  Bar->SetMax(MaxValue);
  SetMessageText(Message);
  Show();
  Application->ProcessMessages();
}

void TfrxProgress::SetMessageText(const String& Value) {
  FMessageText = Value;
  LMessage->SetCaption(Value);
  LMessage->Repaint();
}

void TfrxProgress::SetBarPosition(int Value) {
  FBarPosition = Value;
  Bar->SetPosition(Value);
  BringToFront();
  Application->ProcessMessages();
}

void TfrxProgress::SetBarVisible(bool Value) {
  FBarVisible = Value;
  Bar->SetVisible(Value);
  LMessage->SetTop(Value ? 15 : 35);
}

void TfrxProgress::SetCancelRequested(bool Value) {
  FCancelRequested = Value;
  if (Value) Close();
}

void TfrxProgress::CancelBClick(TObject*) { SetCancelRequested(true); }

void TfrxProgress::WndProc(TMessage& Message) {
  inherited::WndProc(Message);
  // No border to hold: any point of the window drags it.
  if (Message.Msg == WM_NCHITTEST && Message.Result == HTCLIENT) Message.Result = HTCAPTION;
}
