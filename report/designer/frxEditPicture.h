#pragma once
// The picture dialog: load a picture file (its kind by the extension), copy, paste, clear. The
// opener assigns the picture into Image->Picture() and takes it back after OK.
#include "forms/TfrxPictureEditorForm.h"
#include "gui/Forms.h"

class TPicture;

class TfrxPictureEditorForm : public TfrxPictureEditorFormLayout<TForm> {
  KELM_CLASS(TfrxPictureEditorForm, TfrxPictureEditorFormLayout<TForm>)
public:
  explicit TfrxPictureEditorForm(TComponent* AOwner) : inherited(AOwner) {}

  // What LoadB does once a file is chosen; the platform's picture error for a file it cannot read.
  void LoadFile(const String& FileName);
  // Shows the picture's size in the status bar and fits it into the image.
  void UpdateImage();

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void FormShow(TObject* Sender);
  void LoadBClick(TObject* Sender);
  void CopyBClick(TObject* Sender);
  void PasteBClick(TObject* Sender);
  void ClearBClick(TObject* Sender);
  void OkBClick(TObject* Sender);
  void CancelBClick(TObject* Sender);
};

// The picture dialog on Picture; true with Picture changed when confirmed.
bool EditPicture(TComponent* Owner, TPicture* Picture);
