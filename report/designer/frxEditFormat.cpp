#include "report/designer/frxEditFormat.h"

#include "core/ClassBuilder.h"
#include "report/designer/frxDialogFrame.h"
#include "core/FormatSettings.h"
#include "gui/Canvas.h"
#include "gui/Edit.h"
#include "gui/ListCtrls.h"
#include "gui/Messages.h"
#include "gui/StdCtrls.h"
#include "report/designer/frxCustomEditors.h"
#include "report/frxRes.h"
#include "report/frxView.h"

KELM_PUBLISH(TfrxFormatEditorForm) {
  b.Method("FormCreate", &TfrxFormatEditorForm::FormCreate);
  b.Method("FormShow", &TfrxFormatEditorForm::FormShow);
  b.Method("FormHide", &TfrxFormatEditorForm::FormHide);
  b.Method("FormKeyDown", &TfrxFormatEditorForm::FormKeyDown);
  b.Method("CategoryLBClick", &TfrxFormatEditorForm::CategoryLBClick);
  b.Method("FormatLBClick", &TfrxFormatEditorForm::FormatLBClick);
  b.Method("FormatLBDrawItem", &TfrxFormatEditorForm::FormatLBDrawItem);
}

namespace {

// The catalogue's category keys, by TfrxFormatKind.
constexpr const char* kCategoryKeys[] = {"fkText", "fkNumber", "fkDateTime", "fkBoolean"};

// A catalogue entry is "sample;format string".
String SampleOf(const String& Entry) {
  std::size_t at = Entry.find(';');
  return at == String::npos ? Entry : Entry.substr(0, at);
}
String FormatOf(const String& Entry) {
  std::size_t at = Entry.find(';');
  return at == String::npos ? String() : Entry.substr(at + 1, 255);
}

}  // namespace

TfrxFormatEditorForm::TfrxFormatEditorForm(TComponent* AOwner) : inherited(AOwner), FFormat(std::make_unique<TfrxFormat>()) {}
TfrxFormatEditorForm::~TfrxFormatEditorForm() = default;

void TfrxFormatEditorForm::FormCreate(TObject*) {
  SetCaption(ResourceText(4500));
  CategoryL->SetCaption(ResourceText(4501));
  FormatL->SetCaption(ResourceText(4502));
  FormatStrL->SetCaption(ResourceText(4503));
  SeparatorL->SetCaption(ResourceText(4504));
  OkB->SetCaption(ResourceText(1));
  CancelB->SetCaption(ResourceText(2));
}

void TfrxFormatEditorForm::FormShow(TObject*) {
  CategoryLB->Items()->Clear();
  for (const char* key : kCategoryKeys) CategoryLB->Items()->Add(ReportResources()->TextOf(key));
  CategoryLB->SetItemIndex(static_cast<int>(FFormat->Kind()));
  CategoryLBClick(nullptr);
  FormatLB->SetItemIndex(-1);
  for (int i = 0; i < FormatLB->Items()->Count(); ++i)
    if (FormatOf(FormatLB->Items()->Strings(i)) == FFormat->FormatStr()) {
      FormatLB->SetItemIndex(i);
      break;
    }
  FormatE->SetText(FFormat->FormatStr());
  SeparatorE->SetText(FFormat->DecimalSeparator());
}

void TfrxFormatEditorForm::CategoryLBClick(TObject*) {
  FormatLB->Items()->Clear();
  const int kind = CategoryLB->ItemIndex();
  SeparatorE->SetEnabled(kind == 1);
  SeparatorL->SetEnabled(kind == 1);
  if (kind < 1 || kind > 3) return;
  for (int i = 1; i <= 10; ++i) {
    // An unknown key answers with itself, so texts holding "fk" are no entries.
    String text = ReportResources()->TextOf(String(kCategoryKeys[kind]) + IntToStr(i));
    if (text.find("fk") == String::npos) FormatLB->Items()->Add(text);
  }
}

void TfrxFormatEditorForm::FormatLBClick(TObject*) {
  int i = FormatLB->ItemIndex();
  if (i >= 0) FormatE->SetText(FormatOf(FormatLB->Items()->Strings(i)));
}

void TfrxFormatEditorForm::FormatLBDrawItem(TWinControl*, int Index, const TRect& ARect, TOwnerDrawState) {
  TCanvas* c = FormatLB->Canvas();
  c->FillRect(ARect);
  c->TextOut(ARect.Left + 2, ARect.Top + 1, SampleOf(FormatLB->Items()->Strings(Index)));
}

void TfrxFormatEditorForm::FormKeyDown(TObject*, Word& Key, TShiftState) { DialogHelpKey(this, Key); }

void TfrxFormatEditorForm::FormHide(TObject*) {
  if (ModalResult() != mrOk) return;
  FFormat->SetKind(static_cast<TfrxFormatKind>(std::max(0, CategoryLB->ItemIndex())));
  FFormat->SetFormatStr(FormatE->Text());
  const String typed = SeparatorE->Text();
  FFormat->SetDecimalSeparator(typed.empty() ? String(1, FormatSettings().DecimalSeparator) : typed.substr(0, 1));
}

bool EditDisplayFormat(TComponent* Owner, TfrxFormat* Format) {
  TfrxFormatEditorForm form(Owner);
  form.InitForm();
  form.Format()->Assign(Format);
  if (form.ShowModal() != mrOk) return false;
  Format->Assign(form.Format());
  return true;
}

namespace {
// The text objects' "Display Format..." entry opens this dialog.
[[maybe_unused]] const bool kHooked = (EditDisplayFormatHook = &EditDisplayFormat, true);
}  // namespace
