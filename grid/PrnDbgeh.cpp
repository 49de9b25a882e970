// The grid printer component: its page frame (units, margins, macros, header and footer),
// its properties and the entry points; the run itself is in PrnDbgehLayout.cpp.
#include "grid/PrnDbgeh.h"

#include "core/ClassBuilder.h"
#include "core/FilerBase.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "grid/PrViewFormEh.h"
#include "grid/PrnDBGridEhSetupDialog.h"
#include "grid/PrnDbgehRun.h"
#include "gui/ComCtrlsBasic.h"
#include "gui/Forms.h"
#include "gui/Application.h"
#include "gui/Screen.h"
#include "core/Scope.h"

#include <array>
#include <cassert>

// ================================================================ TPageParams

KELM_PUBLISH(TPageParams) { Published(b); }

void TPageParams::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TPageParams*>(Source)) {
    TopMargin = p->TopMargin;
    BottomMargin = p->BottomMargin;
    LeftMargin = p->LeftMargin;
    RightMargin = p->RightMargin;
    return;
  }
  inherited::Assign(Source);
}

// ================================================================ TPageColontitle

KELM_PUBLISH(TPageColontitle) { Published(b); }

TPageColontitle::TPageColontitle()
    : FLeft(std::make_unique<TStringList>()), FCenter(std::make_unique<TStringList>()),
      FRight(std::make_unique<TStringList>()), FFont(std::make_unique<TFont>()) {}

TPageColontitle::~TPageColontitle() = default;

void TPageColontitle::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TPageColontitle*>(Source)) {
    FLeft->Assign(p->FLeft.get());
    FCenter->Assign(p->FCenter.get());
    FRight->Assign(p->FRight.get());
    FFont->Assign(p->FFont.get());
    FLineType = p->FLineType;
    return;
  }
  inherited::Assign(Source);
}

// ================================================================ macros and units

namespace {

// In the order they are replaced.
enum TMacro { mPage, mShortDate, mDate, mLongDate, mTime, mPages };
constexpr std::array<const char*, 6> MacroNames = {"&[Page]", "&[ShortDate]", "&[Date]", "&[LongDate]", "&[Time]",
                                                    "&[Pages]"};

String MacroValue(int Macro, const TPrintMacroValues& V) {
  switch (Macro) {
    case mPage: return IntToStr(V.Page);
    case mShortDate:
    case mDate: return V.ShortDate;
    case mLongDate: return V.LongDate;
    case mTime: return V.Time;
    case mPages: return IntToStr(V.Pages);
  }
  return String();
}

// Replaces every occurrence of Name (letters in any case) not preceded by a second "&".
String ReplaceMacro(const String& Text, const String& Name, const String& Value) {
  String upper = UpperCase(Text), name = UpperCase(Name), out;
  std::size_t from = 0;
  for (std::size_t at; (at = upper.find(name, from)) != String::npos;) {
    bool escaped = at > 0 && Text[at - 1] == '&';
    out += Text.substr(from, at - from);
    out += escaped ? Text.substr(at, name.size()) : Value;
    from = at + name.size();
  }
  return out + Text.substr(from);
}

}  // namespace

String ReplacePrintMacros(const String& Text, const TPrintMacroValues& Values) {
  String s = Text;
  for (int m = 0; m < int(MacroNames.size()); ++m) s = ReplaceMacro(s, MacroNames[m], MacroValue(m, Values));
  return s;
}

bool NeedsPageCount(const String& Text) {
  return UpperCase(Text).find(UpperCase(String(MacroNames[mPages]))) != String::npos;
}

Currency ConvertMargin(Currency Value, TMeasureUnits To) {
  double f = To == Inches ? 0.3937 : 2.54;
  return Currency::FromDouble(Value.ToDouble() * f);
}

std::vector<int> PrintPageGroups(const std::vector<int>& Widths, int Left, int Right, int LineWidth) {
  std::vector<int> groups;
  int x = Left + LineWidth;
  for (int i = 0; i < int(Widths.size()); ++i) {
    int w = std::min(Widths[i], Right - Left);
    if (i > 0 && x + w > Right) {
      groups.push_back(i - 1);
      x = Left + LineWidth;
    }
    x += w;
  }
  if (!Widths.empty()) groups.push_back(int(Widths.size()) - 1);
  return groups;
}

void FitWidthsToPage(std::vector<int>& Widths, int Available) {
  long long sum = 0;
  for (int w : Widths) sum += w;
  if (Widths.empty() || sum <= Available) return;
  long long fitted = 0;
  for (int& w : Widths) {
    w = int(Round(Extended(w) * Available / sum));
    fitted += w;
  }
  if (fitted > Available) Widths.back() -= int(fitted - Available);
}

// ================================================================ TPrintDBGridEh

// ================================================================ TRichEditStrings

KELM_PUBLISH(TRichEditStrings) {}

TRichEditStrings::TRichEditStrings() : FRichEdit(std::make_unique<TRichEdit>(nullptr)) {
  FRichEdit->SetVisible(false);
}

TRichEditStrings::~TRichEditStrings() = default;

bool TRichEditStrings::IsEmpty() const { return FRichEdit->Text().empty(); }

void TRichEditStrings::Assign(TPersistent* Source) {
  if (auto* rich = dynamic_cast<TRichEditStrings*>(Source)) {
    if (rich == this) return;
    TMemoryStream ms;
    rich->SaveToStream(&ms);
    ms.SetPosition(0);
    LoadFromStream(&ms);
    return;
  }
  inherited::Assign(Source);
}

void TRichEditStrings::Clear() { FRichEdit->Lines()->Clear(); }
void TRichEditStrings::Delete(int Index) { FRichEdit->Lines()->Delete(Index); }
void TRichEditStrings::Insert(int Index, const String& S) { FRichEdit->Lines()->Insert(Index, S); }
String TRichEditStrings::Get(int Index) const { return FRichEdit->Lines()->Strings(Index); }
int TRichEditStrings::GetCount() const { return FRichEdit->Lines()->Count(); }
void TRichEditStrings::Put(int Index, const String& S) { FRichEdit->Lines()->SetStrings(Index, S); }
void TRichEditStrings::SetTextStr(const String& Value) { FRichEdit->Lines()->SetText(Value); }

void TRichEditStrings::LoadFromStream(TStream* Stream) {
  try {
    FRichEdit->Lines()->LoadFromStream(Stream);
  } catch (const Exception&) {
    throw EOutOfResources("Failed to Load Stream");
  }
}

void TRichEditStrings::SaveToStream(TStream* Stream) {
  try {
    FRichEdit->Lines()->SaveToStream(Stream);
  } catch (const Exception&) {
    throw EOutOfResources("Failed to Save Stream");
  }
}

// ================================================================ TPrintDBGridEh

KELM_PUBLISH(TPrintDBGridEh) { Published(b); }

TPrintDBGridEh::TPrintDBGridEh(TComponent* AOwner)
    : TComponent(AOwner), FTitle(std::make_unique<TStringList>()), FPage(std::make_unique<TPageParams>()),
      FPageHeader(std::make_unique<TPageColontitle>()), FPageFooter(std::make_unique<TPageColontitle>()) {}

TPrintDBGridEh::~TPrintDBGridEh() {
  // A run still going (this printer freed from an event) stops at its next cell.
  if (FRun) FRun->OwnerGone();
  SetDBGridEh(nullptr);
}

TRichEditStrings* TPrintDBGridEh::BeforeGridText() const {
  if (!FBeforeGridText) FBeforeGridText = std::make_unique<TRichEditStrings>();
  return FBeforeGridText.get();
}

TRichEditStrings* TPrintDBGridEh::AfterGridText() const {
  if (!FAfterGridText) FAfterGridText = std::make_unique<TRichEditStrings>();
  return FAfterGridText.get();
}

void TPrintDBGridEh::DefineProperties(TFiler* Filer) {
  inherited::DefineProperties(Filer);
  auto define = [Filer](const char* Name, TRichEditStrings* Text) {
    Filer->DefineBinaryProperty(
        Name, [Text](TStream* s) { Text->LoadFromStream(s); }, [Text](TStream* s) { Text->SaveToStream(s); },
        !Text->IsEmpty());
  };
  define("BeforeGridText_Data", BeforeGridText());
  define("AfterGridText_Data", AfterGridText());
}

void TPrintDBGridEh::SetDBGridEh(TCustomDBGridEh* Value) {
  if (Value == FDBGridEh) return;
  if (FDBGridEh) FDBGridEh->RemoveFreeNotification(this);
  FDBGridEh = Value;
  if (FDBGridEh) FDBGridEh->FreeNotification(this);
}

void TPrintDBGridEh::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDBGridEh) {
    FDBGridEh = nullptr;
    if (FRun) FRun->GridGone();
  }
  if (Operation == opRemove && FRun) FRun->ComponentGone(AComponent);
}

void TPrintDBGridEh::SetUnits(TMeasureUnits Value) {
  if (Value == FUnits) return;
  FUnits = Value;
  if (ComponentState().Contains(csLoading)) return;
  for (Currency* m : {&FPage->TopMargin, &FPage->BottomMargin, &FPage->LeftMargin, &FPage->RightMargin})
    *m = ConvertMargin(*m, Value);
}

TPrintGeometry TPrintDBGridEh::Geometry(TVirtualPrinter* Printer) const {
  TPrintGeometry g;
  bool none = Printer->GetPrinters()->Count() == 0;
  g.DpiX = none ? 600 : Printer->GetPixelsPerInchX();
  g.DpiY = none ? 600 : Printer->GetPixelsPerInchY();
  int screen = Screen ? Screen->PixelsPerInch() : 96;
  g.Sx = double(std::max(screen, g.DpiX)) / std::min(screen, g.DpiX);
  g.Sy = double(std::max(screen, g.DpiY)) / std::min(screen, g.DpiY);
  int w = Printer->GetPageWidth(), h = Printer->GetPageHeight();
  int ox = (Printer->GetFullPageWidth() - w) / 2, oy = (Printer->GetFullPageHeight() - h) / 2;
  double d = FUnits == MM ? 2.54 : 1;
  auto px = [d](int dpi, Currency m) { return int(Round(dpi * m.ToDouble() / d)); };
  g.Left = px(g.DpiX, FPage->LeftMargin) - ox;
  g.Top = px(g.DpiY, FPage->TopMargin) - oy;
  g.Right = w + ox - px(g.DpiX, FPage->RightMargin);
  g.Bottom = h + oy - px(g.DpiY, FPage->BottomMargin);
  bool flat = FDBGridEh && FDBGridEh->Flat();
  g.PadX = int(Round(2 * g.Sx));
  g.PadY = int(Round(flat ? g.Sy : 2 * g.Sy));
  g.LineExtra = int(Round(flat ? g.Sy / 2 : g.Sy));
  g.LineWidth = int(Round((g.DpiX + g.DpiY) / 200.0));
  return g;
}

void TPrintDBGridEh::PrintGridTo(TVirtualPrinter* Printer) {
  assert(Printer);
  if (FRun) throw EInvalidOperation("The grid is being printed; wait for the print to end");
  TDataSet* ds = FDBGridEh ? FDBGridEh->DataSet() : nullptr;
  if (!ds || !ds->Active()) return;
  TPrintRun run(this, Printer);
  TRestore running(FRun, &run);
  run.Execute();
}

void TPrintDBGridEh::ShowPreview() {
  if (FRun) throw EInvalidOperation("The grid is being printed; wait for the print to end");
  TPrinterPreview* preview = GetSharedPrinterPreview();
  preview->SetSetupHandler(OnPrinterSetupDialog ? OnPrinterSetupDialog
                                                : TNotifyEvent::Lambda([this](TObject* s) { SetupAndPreview(s); }));
  preview->SetPrintSource(this);
  PrintGridTo(preview);
}

bool TPrintDBGridEh::RunSetupDialog() {
  TPrnDBGridEhSetupValues v;
  v.TopMargin = FPage->TopMargin;
  v.BottomMargin = FPage->BottomMargin;
  v.LeftMargin = FPage->LeftMargin;
  v.RightMargin = FPage->RightMargin;
  v.FitGridToPageWidth = FOptions.Contains(pghFitGridToPageWidth);
  v.FitingByColWidths = FOptions.Contains(pghFitingByColWidths);
  v.OptimalColWidths = FOptions.Contains(pghOptimalColWidths);
  v.RowAutoStretch = FOptions.Contains(pghRowAutoStretch);
  v.Colored = FOptions.Contains(pghColored);
  v.PrintFontName = FPrintFontName;
  if (!PrnDBGridEhSetupDialog()->Execute(v)) return false;
  FPage->TopMargin = v.TopMargin;
  FPage->BottomMargin = v.BottomMargin;
  FPage->LeftMargin = v.LeftMargin;
  FPage->RightMargin = v.RightMargin;
  const std::pair<bool, TPrintDBGridEhOption> flags[] = {
      {v.FitGridToPageWidth, pghFitGridToPageWidth}, {v.FitingByColWidths, pghFitingByColWidths},
      {v.OptimalColWidths, pghOptimalColWidths},     {v.RowAutoStretch, pghRowAutoStretch},
      {v.Colored, pghColored}};
  for (auto [on, option] : flags) {
    if (on) FOptions.Include(option);
    else FOptions.Exclude(option);
  }
  FPrintFontName = v.PrintFontName;
  return true;
}

void TPrintDBGridEh::SetupAndPreview(TObject*) {
  if (RunSetupDialog()) ShowPreview();
}
