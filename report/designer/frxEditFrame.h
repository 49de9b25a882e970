#pragma once
// The frame dialog: sides, colour, line style, width and shadow of a frame. The dialog edits
// a frame of its own; the opener assigns the edited frame into Frame() before showing it and
// takes Frame() back after OK. OK reads both width boxes first: a box that holds no number
// shows the conversion error, takes the focus and keeps the dialog open.
#include "forms/TfrxFrameEditorForm.h"
#include "gui/Forms.h"

#include <memory>

class TfrxFrame;

class TfrxFrameEditorForm : public TfrxFrameEditorFormLayout<TForm> {
  KELM_CLASS(TfrxFrameEditorForm, TfrxFrameEditorFormLayout<TForm>)
public:
  explicit TfrxFrameEditorForm(TComponent* AOwner);
  ~TfrxFrameEditorForm() override;

  // Made as the form is created, freed with it.
  TfrxFrame* Frame() const { return FFrame.get(); }

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  // Acts on the sender's tag: 1-4 a side, 5 all, 6 none, 7/11 colour pickers, 8 the line
  // style picker, 9/12 the width boxes, 10 the shadow; a picker's pick comes back as 70
  // (frame colour), 110 (shadow colour) or 80 (line style).
  void BClick(TObject* Sender);
  void OkBClick(TObject* Sender);

private:
  // Shows the frame in the controls.
  void UpdateControls();

  std::unique_ptr<TfrxFrame> FFrame;
};

// A frame picked in the dialog: true with Frame changed when confirmed.
bool EditFrame(TComponent* Owner, TfrxFrame* Frame);
