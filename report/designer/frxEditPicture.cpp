#include "report/designer/frxEditPicture.h"

#include "core/ClassBuilder.h"
#include "report/designer/frxDialogFrame.h"
#include "core/Format.h"
#include "gui/Clipbrd.h"
#include "gui/ComCtrls.h"
#include "gui/Dialogs.h"
#include "gui/ExtCtrls.h"
#include "gui/Pictures.h"
#include "gui/ToolBar.h"
#include "report/frxRes.h"

KELM_PUBLISH(TfrxPictureEditorForm) {
  b.Method("FormCreate", &TfrxPictureEditorForm::FormCreate);
  b.Method("FormKeyDown", &TfrxPictureEditorForm::FormKeyDown);
  b.Method("FormShow", &TfrxPictureEditorForm::FormShow);
  b.Method("LoadBClick", &TfrxPictureEditorForm::LoadBClick);
  b.Method("CopyBClick", &TfrxPictureEditorForm::CopyBClick);
  b.Method("PasteBClick", &TfrxPictureEditorForm::PasteBClick);
  b.Method("ClearBClick", &TfrxPictureEditorForm::ClearBClick);
  b.Method("OkBClick", &TfrxPictureEditorForm::OkBClick);
  b.Method("CancelBClick", &TfrxPictureEditorForm::CancelBClick);
}

void TfrxPictureEditorForm::FormCreate(TObject*) {
  SetCaption(ResourceText(4000));
  const std::pair<TToolButton*, int> hints[] = {{LoadB, 4001}, {CopyB, 4002}, {PasteB, 4003},
                                                {ClearB, 4004}, {CancelB, 2},  {OkB, 1}};
  for (auto [button, key] : hints) {
    button->SetHint(ResourceText(key));
    button->SetShowHint(true);
  }
}

void TfrxPictureEditorForm::FormShow(TObject*) {
  ToolBar->SetImages(ReportResources()->ToolImages());
  UpdateImage();
}

void TfrxPictureEditorForm::UpdateImage() {
  TPicture* p = Image->Picture();
  const bool empty = !p->Graphic() || p->Graphic()->Empty();
  StatusBar->Panels()->Items(0)->SetText(empty ? ReportResources()->TextOf("piEmpty")
                                               : Format("%d x %d", {p->Width(), p->Height()}));
  // Larger pictures are shrunk into the image, smaller ones drawn at their size, centred.
  Image->SetStretch(!empty && (p->Width() > Image->Width() || p->Height() > Image->Height()));
}

void TfrxPictureEditorForm::LoadFile(const String& FileName) {
  Image->Picture()->LoadFromFile(FileName);
  UpdateImage();
}

void TfrxPictureEditorForm::LoadBClick(TObject*) {
  TOpenDialog dialog(nullptr);
  dialog.SetOptions({});
  dialog.SetFilter(ReportResources()->TextOf("ftPictures") + " (*.bmp " + "*.jpg " + "*.ico *.wmf *.emf)|*.bmp;" +
                   "*.jpg;" + "*.ico;*.wmf;*.emf|" + ReportResources()->TextOf("ftAllFiles") + "|*.*");
  if (dialog.Execute()) LoadFile(dialog.FileName());
}

void TfrxPictureEditorForm::CopyBClick(TObject*) {
  if (Image->Picture()->Graphic()) Clipboard()->Assign(Image->Picture());
}

void TfrxPictureEditorForm::PasteBClick(TObject*) {
  if (!Clipboard()->HasFormat(CF_BITMAP)) return;
  Image->Picture()->Assign(Clipboard());
  UpdateImage();
}

void TfrxPictureEditorForm::ClearBClick(TObject*) {
  Image->Picture()->SetGraphic(nullptr);
  UpdateImage();
}

void TfrxPictureEditorForm::OkBClick(TObject*) { SetModalResult(mrOk); }
void TfrxPictureEditorForm::CancelBClick(TObject*) { SetModalResult(mrCancel); }

bool EditPicture(TComponent* Owner, TPicture* Picture) {
  TfrxPictureEditorForm form(Owner);
  form.InitForm();
  form.Image->Picture()->Assign(Picture);
  if (form.ShowModal() != mrOk) return false;
  Picture->Assign(form.Image->Picture());
  return true;
}

void TfrxPictureEditorForm::FormKeyDown(TObject*, Word& Key, TShiftState) { DialogHelpKey(this, Key); }
