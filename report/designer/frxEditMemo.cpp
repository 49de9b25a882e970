#include "report/designer/frxEditMemo.h"

#include "core/ClassBuilder.h"
#include "report/designer/frxDialogFrame.h"
#include "core/FormatSettings.h"
#include "core/IniFiles.h"
#include "core/StrUtils.h"
#include "gui/GraphicsObjects.h"
#include "gui/Messages.h"
#include "gui/ToolBar.h"
#include "report/designer/frxEditFormat.h"
#include "report/designer/frxEditSysMemo.h"
#include "report/designer/frxUnicodeCtrls.h"
#include "report/frxClass.h"
#include "report/frxClassBases.h"
#include "report/frxMemoView.h"
#include "report/frxRes.h"

#include <algorithm>

KELM_PUBLISH(TfrxMemoEditorForm) {
  b.Method("FormCreate", &TfrxMemoEditorForm::FormCreate);
  b.Method("FormShow", &TfrxMemoEditorForm::FormShow);
  b.Method("FormHide", &TfrxMemoEditorForm::FormHide);
  b.Method("FormKeyDown", &TfrxMemoEditorForm::FormKeyDown);
  b.Method("ExprBClick", &TfrxMemoEditorForm::ExprBClick);
  b.Method("AggregateBClick", &TfrxMemoEditorForm::AggregateBClick);
  b.Method("LocalFormatBClick", &TfrxMemoEditorForm::LocalFormatBClick);
  b.Method("WordWrapBClick", &TfrxMemoEditorForm::WordWrapBClick);
  b.Method("OkBClick", &TfrxMemoEditorForm::OkBClick);
  b.Method("CancelBClick", &TfrxMemoEditorForm::CancelBClick);
  b.Method("MemoKeyDown", &TfrxMemoEditorForm::MemoKeyDown);
}

namespace {

constexpr const char* kSection = "Form.TfrxMemoEditorForm";

TfrxCustomDesigner* DesignerOf(const TComponent* Form) { return dynamic_cast<TfrxCustomDesigner*>(Form->Owner()); }

std::unique_ptr<TCustomIniFile> StoreOf(const TComponent* Form) {
  TfrxCustomDesigner* d = DesignerOf(Form);
  return d && d->Report() ? d->Report()->OpenSettingsStore() : nullptr;
}

}  // namespace

String DelimitedExpression(const String& Delimiters, const String& Expression) {
  std::size_t comma = Delimiters.find(',');
  const String open = Delimiters.substr(0, comma);
  const String close = comma == String::npos ? String() : Delimiters.substr(comma + 1);
  String e = Expression;
  if (e.size() >= 2 && e.front() == '<' && e.back() == '>' && std::count(e.begin(), e.end(), '<') == 1)
    e = e.substr(1, e.size() - 2);
  return open + e + close;
}

String FormatSuffix(const TfrxFormat* Format) {
  switch (Format->Kind()) {
    case fkNumeric: {
      String sep = Format->DecimalSeparator();
      const char c = sep.empty() ? FormatSettings().DecimalSeparator : sep[0];
      String f = Format->FormatStr();
      for (char& ch : f)
        if (ch == ',' || ch == '-' || ch == '.') ch = c;
      return " #n" + f;
    }
    case fkDateTime: return " #d" + Format->FormatStr();
    case fkBoolean: return " #b" + Format->FormatStr();
    default: return String();
  }
}

void TfrxMemoEditorForm::FormCreate(TObject*) {
  SetCaption(ResourceText(3900));
  const std::pair<TToolButton*, int> hints[] = {{ExprB, 3901}, {AggregateB, 3902}, {LocalFormatB, 3903},
                                                {WordWrapB, 3904}, {CancelB, 2}, {OkB, 1}};
  for (auto [button, key] : hints) {
    button->SetHint(ResourceText(key));
    button->SetShowHint(true);
  }
}

void TfrxMemoEditorForm::FormShow(TObject*) {
  if (!FMemo) {
    FMemo = new TUnicodeMemo(this);
    FMemo->SetParent(this);
    FMemo->SetAlign(alClient);
    FMemo->SetScrollBars(ssBoth);
    FMemo->SetTabOrder(1);
    FMemo->OnKeyDown = TKeyEvent(this, &TfrxMemoEditorForm::MemoKeyDown);
  }
  ToolBar->SetImages(ReportResources()->ToolImages());
  bool wrap = false;
  if (std::unique_ptr<TCustomIniFile> store = StoreOf(this)) {
    RestoreDialogLayout(store.get(), this);
    wrap = store->ReadBool(kSection, "WordWrap", false);
  }
  WordWrapB->SetDown(wrap);
  WordWrapBClick(nullptr);
  if (MemoView) {
    FMemo->Font()->Assign(MemoView->Font());
    FMemo->Font()->SetColor(clBlack);
    FMemo->SetWideText(Utf8ToUtf16(MemoView->Text()));
  }
  FMemo->SetSelStart(0);
  if (FMemo->CanFocus()) FMemo->SetFocus();
}

void TfrxMemoEditorForm::FormHide(TObject*) {
  if (std::unique_ptr<TCustomIniFile> store = StoreOf(this)) {
    SaveDialogLayout(store.get(), this);
    store->WriteBool(kSection, "WordWrap", FMemo->WordWrap());
  }
  Text = FMemo->WideText();
}

void TfrxMemoEditorForm::FormKeyDown(TObject*, Word& Key, TShiftState) { DialogHelpKey(this, Key); }

void TfrxMemoEditorForm::WordWrapBClick(TObject*) {
  if (!FMemo) return;
  const WideString text = FMemo->WideText();
  FMemo->SetWordWrap(WordWrapB->Down());
  FMemo->SetScrollBars(WordWrapB->Down() ? ssVertical : ssBoth);
  FMemo->SetWideText(text);
}

void TfrxMemoEditorForm::InsertExpression(const String& Expression) {
  if (Expression.empty()) return;
  const String delimiters = MemoView ? MemoView->ExpressionDelimiters() : String("[,]");
  FMemo->SetSelText(DelimitedExpression(delimiters, Expression));
}

void TfrxMemoEditorForm::ExprBClick(TObject*) {
  TfrxCustomDesigner* designer = DesignerOf(this);
  String expression;
  if (designer && designer->AskExpression(expression)) InsertExpression(expression);
}

void TfrxMemoEditorForm::AggregateBClick(TObject*) {
  TfrxSysMemoEditorForm form(Owner());
  form.InitForm();
  form.AggregateOnly = true;
  if (form.ShowModal() == mrOk) FMemo->SetSelText(form.Text);
}

void TfrxMemoEditorForm::InsertFormat(const TfrxFormat* Format) {
  const String suffix = FormatSuffix(Format);
  if (suffix.empty()) return;
  // Right after a closing bracket the suffix goes inside it.
  const std::u32string text = Utf8ToUtf32(FMemo->Text());
  const int at = FMemo->SelStart();
  if (FMemo->SelLength() == 0 && at > 0 && at <= int(text.size()) && text[std::size_t(at - 1)] == U']')
    FMemo->SetSelStart(at - 1);
  FMemo->SetSelText(suffix);
}

void TfrxMemoEditorForm::LocalFormatBClick(TObject*) {
  TfrxFormat format;
  if (EditDisplayFormat(Owner(), &format)) InsertFormat(&format);
}

void TfrxMemoEditorForm::OkBClick(TObject*) { SetModalResult(mrOk); }
void TfrxMemoEditorForm::CancelBClick(TObject*) { SetModalResult(mrCancel); }

void TfrxMemoEditorForm::MemoKeyDown(TObject*, Word& Key, TShiftState Shift) {
  if (Key == VK_RETURN && Shift.Contains(ssCtrl)) SetModalResult(mrOk);
  else if (Key == VK_ESCAPE) SetModalResult(mrCancel);
  else if (Key == 'A' && Shift == TShiftState{ssCtrl}) FMemo->SelectAll();
}
