#pragma once
// The progress window of long report operations (old-style preparing, printing, exporting):
// a message line, an optional bar and a cancel button, without a border. While it lives the
// form that was active stays disabled, so no other work starts; it can be dragged by any
// point.
#include "gui/Forms.h"

#include "forms/TfrxProgress.h"

class TfrxProgress : public TfrxProgressLayout<TForm> {
  KELM_CLASS(TfrxProgress, TfrxProgressLayout<TForm>)
public:
  explicit TfrxProgress(TComponent* AOwner);
  ~TfrxProgress() override;

  // Shows the window (not modally) with a fresh state.
  void OpenWindow(int MaxValue, const String& Message, bool ShowBar, bool ShowCancel);
  void ResetPosition() { SetBarPosition(0); }

  TForm* DisabledForm() const { return FDisabledForm; }
  const String& MessageText() const { return FMessageText; }
  void SetMessageText(const String& Value);
  int BarPosition() const { return FBarPosition; }
  void SetBarPosition(int Value);
  bool BarVisible() const { return FBarVisible; }
  // The message moves down into the bar's place when there is no bar.
  void SetBarVisible(bool Value);
  bool CancelRequested() const { return FCancelRequested; }
  // True closes the window.
  void SetCancelRequested(bool Value);

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormHide(TObject* Sender);
  void CancelBClick(TObject* Sender);

protected:
  void WndProc(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void EnableDisabledForm();

  TForm* FDisabledForm = nullptr;
  String FMessageText;
  int FBarPosition = 0;
  bool FBarVisible = false;
  bool FCancelRequested = false;
};
