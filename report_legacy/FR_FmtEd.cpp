#include "report_legacy/FR_FmtEd.h"

#include "report_legacy/FR_Utils.h"

#include "core/ClassBuilder.h"
#include "core/StringList.h"
#include "core/SysUtils.h"

KELM_PUBLISH(TfrFmtForm) {
  b.Method("FormCreate", &TfrFmtForm::FormCreate);
  b.Method("FormActivate", &TfrFmtForm::FormActivate);
  b.Method("FormCloseQuery", &TfrFmtForm::FormCloseQuery);
  b.Method("CatLBClick", &TfrFmtForm::CatLBClick);
  b.Method("TypeLBClick", &TfrFmtForm::TypeLBClick);
  b.Method("SplEditEnter", &TfrFmtForm::SplEditEnter);
}

namespace {
constexpr int kCustom = 4;
}  // namespace

void TfrFmtForm::FormCreate(TObject*) {
  SetCaption(LocaleText(53420));
  Label1->SetCaption(LocaleText(53422));
  Label2->SetCaption(LocaleText(53423));
  Label3->SetCaption(LocaleText(53424));
  Button1->SetCaption(LocaleText(55000));
  Button2->SetCaption(LocaleText(55001));
}

// The formats of a category: the texts that exist, each with its index in the category.
void TfrFmtForm::FillTypes(int Cat) {
  TypeLB->Items()->Clear();
  FTypeIndexes.clear();
  for (int i = 0; i <= kCustom; ++i) {
    const String t = LocaleText(55150 + 5 * Cat + i);
    if (t.empty()) continue;
    TypeLB->Items()->Add(t);
    FTypeIndexes.push_back(i);
  }
  TypeLB->SetItemIndex(0);
}

int TfrFmtForm::Category() const { return std::max(0, CatLB->ItemIndex()); }

int TfrFmtForm::FormatIndex() const {
  const int i = TypeLB->ItemIndex();
  return i >= 0 && i < static_cast<int>(FTypeIndexes.size()) ? FTypeIndexes[static_cast<std::size_t>(i)] : 0;
}

void TfrFmtForm::FormActivate(TObject*) {
  CatLB->Items()->Clear();
  for (int c = 0; c < 5; ++c) CatLB->Items()->Add(LocaleText(55130 + c));
  const int cat = std::min(4, (Format >> 24) & 0x0F);
  CatLB->SetItemIndex(cat);
  FillTypes(cat);
  const int index = (Format >> 16) & 0xFF;
  for (std::size_t i = 0; i < FTypeIndexes.size(); ++i)
    if (FTypeIndexes[i] == index) TypeLB->SetItemIndex(static_cast<int>(i));
  UpdateControls();
}

void TfrFmtForm::CatLBClick(TObject*) {
  FillTypes(Category());
  UpdateControls();
}

void TfrFmtForm::TypeLBClick(TObject*) { UpdateControls(); }

void TfrFmtForm::SplEditEnter(TObject*) { SplEdit->SelectAll(); }

void TfrFmtForm::UpdateControls() {
  const bool number = Category() == 1;
  EnableControls({Label1, Label2, DecEdit, SplEdit}, number);
  if (number) {
    DecEdit->SetText(IntToStr((Format >> 8) & 0xFF));
    SplEdit->SetText(String(1, static_cast<char>(Format & 0xFF)));
  } else {
    DecEdit->SetText("");
    SplEdit->SetText("");
  }
  const bool custom = FormatIndex() == kCustom;
  EnableControls({Label3, FormatEdit}, custom);
  FormatEdit->SetText(custom ? FormatText : String());
}

void TfrFmtForm::FormCloseQuery(TObject*, bool&) {
  if (ModalResult() != mrOk) return;
  const int decimals = StrToIntDef(DecEdit->Text(), 0);
  const String sep = SplEdit->Text();
  const unsigned char separator = sep.empty() ? ',' : static_cast<unsigned char>(sep[0]);
  Format = (Category() << 24) + (FormatIndex() << 16) + ((decimals & 0xFF) << 8) + separator;
  if (FormatEdit->Enabled()) FormatText = FormatEdit->Text();
}
