#pragma once
// The rich-text object of the older engine and its editor. TfrRichView prints formatted text:
// bracketed expressions inside it are replaced by their values while a report runs, it can
// stretch to the height of its text and continue on the next page, and it can take its text
// from a blob field. The hidden editor form's rich edit doubles as the measuring editor in
// which a running report expands, measures and cuts rich text.
#include "forms/TfrRichForm.h"
#include "report_legacy/FR_Combo.h"
#include "report_legacy/FR_Ctrls.h"
#include "gui/Forms.h"
#include "report_legacy/FR_ClassObjects.h"

class TRichEdit;
class TCustomRichEdit;

class TfrRichView : public TfrStretcheable {
public:
  TfrRichView();
  ~TfrRichView() override;

  void RegisterScriptProps() override;
  void LoadFromBlobField(TField* Field) override;
  void DrawOnCanvas(TCanvas* Canvas) override;
  void EmitPrepared(TStream* Stream) override;
  void ReadFromStream(TStream* Stream) override;
  void WriteToStream(TStream* Stream) override;
  void WriteNewFormatXml(TStream* Stream) override;
  void FillPopupMenu(TPopupMenu* Menu) override;
  void OpenEditor() override;
  int CalcHeight() override;
  int OneLineHeight() override { return 8; }
  int LeftoverHeight() override;

  // Replaces every bracketed expression of the measuring editor's text by its value (not
  // when TextOnly is set).
  void ExpandRichBrackets();
  // Lays the text out from StartPos on: measuring on the measuring editor (NextPos becomes the
  // first character that did not fit), or rendering the object's own text into PaintRect.
  void FormatRich(bool Render);
  // The height the measuring editor's text needs from StartPos on, gaps included.
  int FitHeight();

  // The object's own text; invisible, on the hidden editor form.
  TRichEdit* RichEdit = nullptr;
  int StartPos = 0, NextPos = 0, PrintedPos = 0;
  bool WriteMeasured = false;  // WriteToStream writes the measuring editor's text

protected:
  Word FlagBit(const String& UpperName) const override;

private:
  // The part emitted last (its start and the height it was given), for the room it left.
  bool FJustEmitted = false;
  int FLastStart = 0, FLastHeight = 0;
};

// The editor dialog (layout TFRRICHFORM); one hidden instance serves as the measuring editor.
class TfrRichForm : public TfrRichFormLayout<TForm> {
  KELM_CLASS(TfrRichForm, TfrRichFormLayout<TForm>)
public:
  explicit TfrRichForm(TComponent* AOwner) : inherited(AOwner) {}

  // Shows the buttons, combos and ruler markers as the selection's formatting says.
  void Synchronise();

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormActivate(TObject* Sender);
  void FormPaint(TObject* Sender);
  void FormResize(TObject* Sender);
  void FormMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void SelectionChange(TObject* Sender);
  void BoldButtonClick(TObject* Sender);
  void AlignButtonClick(TObject* Sender);
  void BulletsButtonClick(TObject* Sender);
  void FontNameChange(TObject* Sender);
  void FontSizeChange(TObject* Sender);
  void SelectFont(TObject* Sender);
  void EditUndo(TObject* Sender);
  void FileOpen(TObject* Sender);
  void FileSaveAs(TObject* Sender);
  void OkBtnClick(TObject* Sender);
  void CancBtnClick(TObject* Sender);
  void RulerItemMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void RulerItemMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void FirstIndMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void LeftIndMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void RightIndMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

private:
  // The selection's attributes when text is selected, otherwise the editor's defaults.
  class TTextAttributes* CurrText() const;
  void SetEditRect();
  bool FUpdating = false;  // synchronising: the tool handlers do nothing
  int FDragOfs = 0;
  bool FDragging = false;
};

// Registers the object with the engine's add-ins (done when the library loads; again after
// the registry was cleared).
void RegisterRichView();
// The hidden editor form, made on first use and freed when the program ends.
TfrRichForm* RichForm();
// Its rich edit, the measuring editor of running reports.
TRichEdit* MeasureRichEdit();
// Target gets Source's text and formatting (protection cleared on the source first).
void CopyRichText(TCustomRichEdit* Target, TCustomRichEdit* Source);
