#pragma once
// The grid printer: prints the rows of a grid as pages with a page header and footer, a print
// title, the column titles, the data rows and the footer rows, onto a virtual printer (the
// shared preview for ShowPreview). The page frame (units, margins, macros) and the run live in
// PrnDbgeh.cpp; the layout of the grid block on the pages in PrnDbgehLayout.cpp.
#include "core/Component.h"
#include "core/Currency.h"
#include "grid/DBGridEh.h"
#include "gui/Graphics.h"

#include <memory>
#include <vector>

class TVirtualPrinter;
class TRichEdit;
class TFiler;

KELM_ENUM(TPrintDBGridEhOption, pghFitGridToPageWidth, pghColored, pghRowAutoStretch, pghFitingByColWidths,
          pghOptimalColWidths)
using TPrintDBGridEhOptions = TSet<TPrintDBGridEhOption>;
// Under MM a margin counts centimetres (2 = 2 cm).
KELM_ENUM(TMeasureUnits, MM, Inches)
KELM_ENUM(TPageColontitleLineType, pcltNon, pcltSingleLine, pcltDoubleLine)

// The four page margins, measured from the paper edge in the printer's Units.
class TPageParams : public TPersistent {
  KELM_CLASS(TPageParams, TPersistent)
  template <class B> static void Published(B& b) {
    PublishMargin<&TPageParams::BottomMargin>(b, "BottomMargin");
    PublishMargin<&TPageParams::LeftMargin>(b, "LeftMargin");
    PublishMargin<&TPageParams::RightMargin>(b, "RightMargin");
    PublishMargin<&TPageParams::TopMargin>(b, "TopMargin");
  }
  // A margin as the layout carries it: a Currency property, written only when it is not 2.
  template <Currency TPageParams::*Margin, class B> static void PublishMargin(B& b, const char* Name) {
    b.Prop(
         Name, [](const TPageParams* p) { return (p->*Margin).ToDouble(); },
         [](TPageParams* p, double v) { p->*Margin = Currency::FromDouble(v); })
        .Type("Currency")
        .Default(2.0);
  }

public:
  TPageParams() = default;
  void Assign(TPersistent* Source) override;
  Currency TopMargin = Currency::FromDouble(2), BottomMargin = Currency::FromDouble(2);
  Currency LeftMargin = Currency::FromDouble(2), RightMargin = Currency::FromDouble(2);
};

// A page header or footer: three texts (left, centred, right), their font and the line
// separating them from the page's content.
class TPageColontitle : public TPersistent {
  KELM_CLASS(TPageColontitle, TPersistent)
  template <class B> static void Published(B& b) {
    using C = TPageColontitle;
    b.Prop("CenterText", &C::CenterText, &C::SetCenterText);
    b.Prop("Font", &C::Font, &C::SetFont);
    b.Prop("LeftText", &C::LeftText, &C::SetLeftText);
    b.Prop("LineType", &C::LineType, &C::SetLineType).Default(pcltNon);
    b.Prop("RightText", &C::RightText, &C::SetRightText);
  }
public:
  TPageColontitle();
  ~TPageColontitle() override;
  void Assign(TPersistent* Source) override;
  TStrings* LeftText() const { return FLeft.get(); }
  void SetLeftText(TStrings* Value) { FLeft->Assign(Value); }
  TStrings* CenterText() const { return FCenter.get(); }
  void SetCenterText(TStrings* Value) { FCenter->Assign(Value); }
  TStrings* RightText() const { return FRight.get(); }
  void SetRightText(TStrings* Value) { FRight->Assign(Value); }
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  TPageColontitleLineType LineType() const { return FLineType; }
  void SetLineType(TPageColontitleLineType Value) { FLineType = Value; }

private:
  std::unique_ptr<TStringList> FLeft, FCenter, FRight;
  std::unique_ptr<TFont> FFont;
  TPageColontitleLineType FLineType = pcltNon;
};

// The lines of a rich text kept by a hidden rich edit of its own: lines read and written go to
// the edit, the streams carry its rich-text form (plain text in plain mode), and a stream that
// is no rich text is read again as plain text. Assigning another such list copies through a
// stream, so the text's formatting comes along.
class TRichEditStrings : public TStrings {
  KELM_CLASS(TRichEditStrings, TStrings)
public:
  TRichEditStrings();
  ~TRichEditStrings() override;
  TRichEdit* RichEdit() const { return FRichEdit.get(); }
  // No text at all (no line either).
  bool IsEmpty() const;

  void Assign(TPersistent* Source) override;
  void Clear() override;
  void Delete(int Index) override;
  void Insert(int Index, const String& S) override;
  // "Failed to Load Stream" / "Failed to Save Stream" when the edit cannot take or give it.
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;

protected:
  String Get(int Index) const override;
  int GetCount() const override;
  void Put(int Index, const String& S) override;
  void SetTextStr(const String& Value) override;

private:
  std::unique_ptr<TRichEdit> FRichEdit;
};

// ---- pieces of a run, open for tests

// The values the page macros stand for.
struct TPrintMacroValues {
  int Page = 1, Pages = 1;
  String ShortDate, LongDate, Time;
};
// Replaces "&[Page]", "&[ShortDate]", "&[Date]", "&[LongDate]", "&[Time]" and "&[Pages]" in any
// letter case; an occurrence after a second "&" stays as it is.
String ReplacePrintMacros(const String& Text, const TPrintMacroValues& Values);
// Whether Text holds "&[Pages]" in any letter case, so the pages must be counted first.
bool NeedsPageCount(const String& Text);
// A margin converted to the other unit: x 0.3937 to inches, x 2.54 back, four decimals.
Currency ConvertMargin(Currency Value, TMeasureUnits To);
// The horizontal page groups: for each page, the index of its last column. Widths are capped
// at the page width; a group ends before the column that would pass Right.
std::vector<int> PrintPageGroups(const std::vector<int>& Widths, int Left, int Right, int LineWidth);
// Widths shrunk in proportion so they add up to Available at most (the last gives the rest).
void FitWidthsToPage(std::vector<int>& Widths, int Available);

// The printable frame of a run in printer device pixels.
struct TPrintGeometry {
  int DpiX = 600, DpiY = 600;
  double Sx = 1, Sy = 1;
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int PadX = 0, PadY = 0, LineExtra = 0, LineWidth = 0;
};

class TPrintRun;

class TPrintDBGridEh : public TComponent {
  KELM_CLASS(TPrintDBGridEh, TComponent)
  template <class B> static void Published(B& b) {
    using C = TPrintDBGridEh;
    // The rich texts travel as binary data of their own (DefineProperties).
    b.Prop("AfterGridText", &C::AfterGridText, &C::SetAfterGridText).Stored(false);
    b.Prop("BeforeGridText", &C::BeforeGridText, &C::SetBeforeGridText).Stored(false);
    b.Prop("DBGridEh", &C::DBGridEh, &C::SetDBGridEh);
    b.Prop("Options", &C::Options, &C::SetOptions).NoDefault();
    b.Prop("Page", &C::Page, &C::SetPage);
    b.Prop("PageFooter", &C::PageFooter, &C::SetPageFooter);
    b.Prop("PageHeader", &C::PageHeader, &C::SetPageHeader);
    b.Prop("PrintFontName", &C::PrintFontName, &C::SetPrintFontName);
    b.Prop("Title", &C::Title, &C::SetTitle);
    b.Prop("Units", &C::Units, &C::SetUnits).Default(MM);
    b.Prop("OnAfterPrint", &C::OnAfterPrint, &C::OnAfterPrint);
    b.Prop("OnBeforePrint", &C::OnBeforePrint, &C::OnBeforePrint);
    b.Prop("OnPrinterSetupDialog", &C::OnPrinterSetupDialog, &C::OnPrinterSetupDialog);
  }
public:
  explicit TPrintDBGridEh(TComponent* AOwner);
  ~TPrintDBGridEh() override;

  TCustomDBGridEh* DBGridEh() const { return FDBGridEh; }
  void SetDBGridEh(TCustomDBGridEh* Value);
  TStrings* Title() const { return FTitle.get(); }
  void SetTitle(TStrings* Value) { FTitle->Assign(Value); }
  TPageParams* Page() const { return FPage.get(); }
  void SetPage(TPageParams* Value) { FPage->Assign(Value); }
  TPageColontitle* PageHeader() const { return FPageHeader.get(); }
  void SetPageHeader(TPageColontitle* Value) { FPageHeader->Assign(Value); }
  TPageColontitle* PageFooter() const { return FPageFooter.get(); }
  void SetPageFooter(TPageColontitle* Value) { FPageFooter->Assign(Value); }
  TPrintDBGridEhOptions Options() const { return FOptions; }
  void SetOptions(TPrintDBGridEhOptions Value) { FOptions = Value; }
  TMeasureUnits Units() const { return FUnits; }
  void SetUnits(TMeasureUnits Value);
  const String& PrintFontName() const { return FPrintFontName; }
  void SetPrintFontName(const String& Value) { FPrintFontName = Value; }
  // Rich text printed before the grid block and after it; made on first use.
  TRichEditStrings* BeforeGridText() const;
  void SetBeforeGridText(TStrings* Value) { BeforeGridText()->Assign(Value); }
  TRichEditStrings* AfterGridText() const;
  void SetAfterGridText(TStrings* Value) { AfterGridText()->Assign(Value); }

  TNotifyEvent OnBeforePrint, OnAfterPrint, OnPrinterSetupDialog;

  // Prints into the shared preview, whose window opens with the first finished page.
  void ShowPreview();
  // One run onto Printer. Nothing happens without an active dataset; a second run while one
  // lasts is refused (EInvalidOperation).
  void PrintGridTo(TVirtualPrinter* Printer);
  // The setup dialog with this printer's margins and options; true when confirmed and stored.
  bool RunSetupDialog();
  // The preview's setup handler: the dialog, and the pages laid out again when confirmed.
  void SetupAndPreview(TObject* Sender = nullptr);
  bool Printing() const { return FRun != nullptr; }
  // The frame a run on Printer uses, before header and footer take their height.
  TPrintGeometry Geometry(TVirtualPrinter* Printer) const;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // The rich texts go into layouts as "BeforeGridText_Data" and "AfterGridText_Data", each
  // only when it holds text.
  void DefineProperties(TFiler* Filer) override;

private:
  friend class TPrintRun;
  TCustomDBGridEh* FDBGridEh = nullptr;
  std::unique_ptr<TStringList> FTitle;
  std::unique_ptr<TPageParams> FPage;
  std::unique_ptr<TPageColontitle> FPageHeader, FPageFooter;
  TPrintDBGridEhOptions FOptions;
  TMeasureUnits FUnits = MM;
  String FPrintFontName;
  mutable std::unique_ptr<TRichEditStrings> FBeforeGridText, FAfterGridText;
  TPrintRun* FRun = nullptr;
};
