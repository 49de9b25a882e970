// The designer's property editors that open dialogs, draw samples or create event handlers,
// and the component editors of text objects and dialog controls.
#include "core/ClassBuilder.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "gui/Canvas.h"
#include "gui/GraphicsObjects.h"
#include "gui/ListCtrls.h"
#include "gui/Pictures.h"
#include "report/designer/frxCodeUtils.h"
#include "report/designer/frxDesgnEditors.h"
#include "report/designer/frxEditFormat.h"
#include "report/designer/frxEditMemo.h"
#include "report/designer/frxEditPicture.h"
#include "report/designer/frxEditStrings.h"
#include "report/designer/frxEditSysMemo.h"
#include "report/frxClass.h"
#include "report/frxClassBases.h"
#include "report/frxMemoView.h"
#include "report/frxPrinter.h"
#include "report/frxRes.h"
#include "report/frxUnicodeUtils.h"

KELM_PUBLISH(TfrxMemoProperty) {}
KELM_PUBLISH(TfrxPictureProperty) {}
KELM_PUBLISH(TfrxBitmapProperty) {}
KELM_PUBLISH(TfrxStringsProperty) {}
KELM_PUBLISH(TfrxEventProperty) {}
KELM_PUBLISH(TfrxBrushProperty) {}
KELM_PUBLISH(TfrxFrameStyleProperty) {}
KELM_PUBLISH(TfrxBooleanProperty) {}
KELM_PUBLISH(TfrxDisplayFormatProperty) {}
KELM_PUBLISH(TfrxPrinterProperty) {}

TfrxCodeHooks DesignerCodeHooks;

// ---------------------------------------------------------------- text objects

bool TfrxMemoEditor::OpenEditor() {
  auto* memo = dynamic_cast<TfrxCustomMemoView*>(Component());
  if (!memo) return false;
  TfrxMemoEditorForm form(Designer());
  form.InitForm();
  form.MemoView = memo;
  if (form.ShowModal() != mrOk) return false;
  memo->SetText(Utf16ToUtf8(form.Text));
  memo->SetDataField(String());
  return true;
}

bool TfrxSysMemoEditor::OpenEditor() {
  auto* memo = dynamic_cast<TfrxCustomMemoView*>(Component());
  if (!memo) return false;
  TfrxSysMemoEditorForm form(Designer());
  form.InitForm();
  form.Text = memo->Memo()->Text();
  if (form.ShowModal() != mrOk) return false;
  memo->SetText(form.Text);
  return true;
}

// ---------------------------------------------------------------- handlers

namespace {

// The lines handlers go into: the designer's code page, else the report's own script.
TStrings* CodeLinesOf(TfrxCustomDesigner* Designer, TfrxReport* Report) {
  if (DesignerCodeHooks.CodeLines && Designer) return DesignerCodeHooks.CodeLines(Designer);
  return Report ? Report->ScriptText() : nullptr;
}

void ShowCodeAt(TfrxCustomDesigner* Designer, int Column, int Line) {
  if (!Designer) return;
  if (DesignerCodeHooks.ShowCode) DesignerCodeHooks.ShowCode(Designer, Column, Line);
  else Designer->ChangePage(nullptr);
}

}  // namespace

bool CreateOrShowHandler(TfrxCustomDesigner* Designer, const std::vector<TObject*>& Objects,
                         const String& PropertyName, const String& EventType) {
  auto* first = Objects.empty() ? nullptr : dynamic_cast<TfrxComponent*>(Objects.front());
  if (!first) return false;
  TfrxReport* report = first->FindParentReport();
  TStrings* lines = CodeLinesOf(Designer, report);
  if (!lines) return false;
  const String language = report ? report->ScriptLanguage() : String("PascalScript");
  const String current = GetStrProp(first, PropertyName);
  if (!current.empty()) {
    int at = FindProcedureLine(lines, language, current);
    if (at >= 0) {
      ShowCodeAt(Designer, 1, at + 3);
      return false;
    }
    // A named handler missing from the script gets its stub below, under its own name.
  }
  const String name = current.empty() ? first->Name() + PropertyName : current;
  int at = FindProcedureLine(lines, language, name);
  // The stub comes first: without a main block this raises and the property keeps its value.
  int line = at >= 0 ? at + 3 : InsertHandlerStub(lines, language, EventType, name);
  for (TObject* o : Objects)
    if (GetPropInfo(o, PropertyName)) SetStrProp(o, PropertyName, name);
  ShowCodeAt(Designer, 3, line);
  return true;
}

bool TfrxDialogControlEditor::OpenEditor() {
  if (!GetPropInfo(Component(), "OnClick")) return false;
  return CreateOrShowHandler(Designer(), {Component()}, "OnClick", "TfrxNotifyEvent");
}

void TfrxEventProperty::FillValueList() {
  TfrxPropertyEditor::FillValueList();
  TfrxComponent* first = FirstReportComponent();
  TfrxReport* report = first ? first->FindParentReport() : nullptr;
  TStrings* lines = CodeLinesOf(Designer(), report);
  if (lines && report) ListCompatibleProcedures(lines, report->ScriptLanguage(), FirstPropInfo()->TypeName, Values());
}

bool TfrxEventProperty::RunEdit() {
  return CreateOrShowHandler(Designer(), Instances(), FirstPropInfo()->Name, FirstPropInfo()->TypeName);
}

// ---------------------------------------------------------------- dialogs on sub-objects

bool TfrxMemoProperty::RunEdit() {
  auto* memo = dynamic_cast<TfrxCustomMemoView*>(FirstInstance());
  if (!memo) return false;
  TfrxMemoEditorForm form(Designer());
  form.InitForm();
  form.MemoView = memo;
  if (form.ShowModal() != mrOk) return false;
  memo->SetText(Utf16ToUtf8(form.Text));
  return true;
}

String TfrxPictureProperty::ValueText() const {
  auto* p = dynamic_cast<TPicture*>(ReadObject());
  return ReportResources()->TextOf(p && p->Graphic() ? "prPict" : "prNotAssigned");
}

bool TfrxPictureProperty::RunEdit() {
  auto* p = dynamic_cast<TPicture*>(ReadObject());
  return p && EditPicture(Designer(), p);
}

String TfrxBitmapProperty::ValueText() const { return ReportResources()->TextOf("prPict"); }

bool TfrxBitmapProperty::RunEdit() {
  auto* bitmap = dynamic_cast<TBitmap*>(ReadObject());
  if (!bitmap) return false;
  TPicture picture;
  picture.SetBitmap(bitmap);
  if (!EditPicture(Designer(), &picture)) return false;
  // A picture of another kind leaves an empty bitmap.
  bitmap->Assign(picture.Bitmap());
  return true;
}

bool TfrxStringsProperty::RunEdit() {
  auto* lines = dynamic_cast<TStrings*>(ReadObject());
  return lines && EditStrings(Designer(), lines);
}

bool TfrxDisplayFormatProperty::RunEdit() {
  auto* first = dynamic_cast<TfrxCustomMemoView*>(FirstInstance());
  if (!first) return false;
  TfrxFormat format;
  format.Assign(first->DisplayFormat());
  if (!EditDisplayFormat(Designer(), &format)) return false;
  std::vector<TObject*> targets = Instances();
  if (Designer()) targets.assign(Designer()->SelectedObjects().begin(), Designer()->SelectedObjects().end());
  for (TObject* o : targets)
    if (auto* memo = dynamic_cast<TfrxCustomMemoView*>(o); memo && !IsRestricted(o)) memo->SetDisplayFormat(&format);
  return true;
}

void TfrxPrinterProperty::FillValueList() {
  TfrxPropertyEditor::FillValueList();
  AddValue(ReportResources()->TextOf("prDefault"));
  TStringList* names = ReportPrinters()->PrinterNames();
  for (int i = 0; i < names->Count(); ++i) AddValue(names->Strings(i));
}

// ---------------------------------------------------------------- samples

namespace {

void BrushSquare(TCanvas* C, const TRect& R, TBrushStyle Style) {
  C->Pen()->SetColor(clBlack);
  C->Brush()->SetColor(clBlack);
  C->Brush()->SetStyle(Style);
  C->Rectangle(R);
  C->Brush()->SetStyle(bsSolid);
}

// A line sample 32 pixels long from X at the vertical middle of R.
void LineSample(TCanvas* C, const TRect& R, int X, int Style) {
  const int y = (R.Top + R.Bottom) / 2;
  C->Pen()->SetColor(clBlack);
  if (Style == fsDouble) {
    C->Pen()->SetStyle(psSolid);
    C->Pen()->SetWidth(1);
    for (int dy : {-1, 1}) {
      C->MoveTo(X, y + dy);
      C->LineTo(X + 32, y + dy);
    }
    return;
  }
  C->Pen()->SetStyle(static_cast<TPenStyle>(Style));
  C->Pen()->SetWidth(2);
  C->MoveTo(X, y);
  C->LineTo(X + 32, y);
  C->Pen()->SetWidth(1);
  C->Pen()->SetStyle(psSolid);
}

// A check box, checked with a mark of three parallel two-segment lines from (X, Y).
void CheckBox(TCanvas* C, const TRect& Box, bool Checked, int X, int Y) {
  C->Pen()->SetColor(clBlack);
  C->Brush()->SetColor(clWhite);
  C->Rectangle(Box);
  if (!Checked) return;
  for (int i = 0; i < 3; ++i) {
    C->MoveTo(X, Y + i);
    C->LineTo(X + 2, Y + 2 + i);
    C->LineTo(X + 7, Y - 3 + i);
  }
}

}  // namespace

void TfrxBrushProperty::DrawListItem(TCustomListBox* List, int Index, const TRect& R) {
  TfrxPropertyEditor::DrawListItem(List, Index, R);
  const int h = ItemHeight();
  BrushSquare(List->Canvas(), {R.Left + 2, R.Top + 2, R.Left + h - 2, R.Bottom - 2},
              static_cast<TBrushStyle>(FirstPropInfo()->Enum->ValueOf(List->Items()->Strings(Index))));
}

void TfrxBrushProperty::DrawValueCell(TCanvas* Canvas, const TRect& R) {
  TfrxPropertyEditor::DrawValueCell(Canvas, R);
  const int side = ItemHeight() - 5;
  BrushSquare(Canvas, {R.Left, R.Top + 1, R.Left + side, R.Top + 1 + side}, static_cast<TBrushStyle>(ReadOrdinal()));
}

void TfrxFrameStyleProperty::DrawListItem(TCustomListBox* List, int Index, const TRect& R) {
  TCanvas* c = List->Canvas();
  c->FillRect(R);
  const String name = List->Items()->Strings(Index);
  c->TextOut(R.Left + 40, R.Top + 1, name);
  c->Pen()->SetColor(0x808080);
  c->Brush()->SetColor(clWhite);
  c->Rectangle(R.Left + 2, R.Top + 2, R.Left + 36, R.Bottom - 2);
  LineSample(c, R, R.Left + 3, FirstPropInfo()->Enum->ValueOf(name));
}

void TfrxFrameStyleProperty::DrawValueCell(TCanvas* Canvas, const TRect& R) {
  Canvas->TextOut(R.Left + 38, R.Top, ValueText());
  Canvas->Pen()->SetColor(0x808080);
  Canvas->Brush()->SetColor(clWhite);
  Canvas->Rectangle(R.Left, R.Top + 1, R.Left + 34, R.Bottom - 4);
  LineSample(Canvas, {R.Left, R.Top + 1, R.Left + 34, R.Bottom - 4}, R.Left + 1, static_cast<int>(ReadOrdinal()));
}

void TfrxBooleanProperty::DrawListItem(TCustomListBox* List, int Index, const TRect& R) {
  TfrxPropertyEditor::DrawListItem(List, Index, R);
  const int h = ItemHeight();
  CheckBox(List->Canvas(), {R.Left + 2, R.Top + 2, R.Left + h - 2, R.Bottom - 2},
           SameText(List->Items()->Strings(Index), "True"), R.Left + 5, R.Top + 6);
}

void TfrxBooleanProperty::DrawValueCell(TCanvas* Canvas, const TRect& R) {
  TfrxPropertyEditor::DrawValueCell(Canvas, R);
  CheckBox(Canvas, {R.Left, R.Top + 1, R.Left + ItemHeight() - 5, R.Bottom - 4}, ReadOrdinal() != 0, R.Left + 2,
           R.Top + 5);
}
