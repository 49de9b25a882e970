// The engine's shared services and the order they come to life in.
#include "report_legacy/FR_Class.h"

#include "report_legacy/FR_Intrp.h"
#include "report_legacy/FR_Pars.h"
#include "report_legacy/FR_Utils.h"

#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Canvas.h"
#include "gui/Forms.h"
#include "gui/Pictures.h"

namespace {
TfrGlobals*& Current() {
  static TfrGlobals* current = nullptr;
  return current;
}

// The constants every expression sees, in the order they are defined.
void DefineConstants(TfrVariables& c) {
  static const struct { const char* Name; Int64 Value; } kColors[] = {
      {"clWhite", 0xFFFFFF}, {"clBlack", 0},       {"clMaroon", 0x80},     {"clGreen", 0x8000},
      {"clOlive", 0x8080},   {"clNavy", 0x800000}, {"clPurple", 0x800080}, {"clTeal", 0x808000},
      {"clGray", 0x808080},  {"clSilver", 0xC0C0C0}, {"clRed", 0xFF},      {"clLime", 0xFF00},
      {"clYellow", 0xFFFF},  {"clBlue", 0xFF0000}, {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},
      {"clTransparent", 0x1FFFFFFF},
  };
  for (const auto& k : kColors) c.SetVariable(k.Name, Variant(static_cast<int>(k.Value)));
  static const char* const kSystemColors[] = {
      "clScrollBar",   "clBackground",  "clActiveCaption",  "clInactiveCaption", "clMenu",
      "clWindow",      "clWindowFrame", "clMenuText",       "clWindowText",      "clCaptionText",
      "clActiveBorder", "clInactiveBorder", "clAppWorkSpace", "clHighlight",       "clHighlightText",
      "clBtnFace",     "clBtnShadow",   "clGrayText",       "clBtnText",         "clInactiveCaptionText",
      "clBtnHighlight", "cl3DDkShadow", "cl3DLight",        "clInfoText",        "clInfoBk",
  };
  for (int i = 0; i < 25; ++i) c.SetVariable(kSystemColors[i], Variant(static_cast<int>(0xFF000000u + unsigned(i))));
  static const struct { const char* Name; int Value; } kNumbers[] = {
      {"mrNone", 0},      {"mrOk", 1},        {"mrCancel", 2},    {"mrYes", 6},         {"mrNo", 7},
      {"fsBold", 2},      {"fsItalic", 1},    {"fsUnderline", 4}, {"fsStrikeOut", 8},   {"frftNone", 0},
      {"frftRight", 1},   {"frftBottom", 2},  {"frftLeft", 4},    {"frftTop", 8},       {"frtaLeft", 0},
      {"frtaRight", 1},   {"frtaCenter", 2},  {"frtaVertical", 4}, {"frtaMiddle", 8},   {"frtaDown", 16},
      {"baNone", 0},      {"baLeft", 1},      {"baRight", 2},     {"baCenter", 3},      {"baWidth", 4},
      {"baBottom", 5},    {"baTop", 6},       {"baRest", 7},      {"psSolid", 0},       {"psDash", 1},
      {"psDot", 2},       {"psDashDot", 3},   {"psDashDotDot", 4}, {"psDouble", 5},     {"mb_Ok", 0},
      {"mb_OkCancel", 1}, {"mb_YesNo", 4},    {"mb_YesNoCancel", 3}, {"mb_IconError", 16}, {"mb_IconQuestion", 32},
      {"mb_IconInformation", 64}, {"mb_IconWarning", 48},
  };
  for (const auto& k : kNumbers) {
    c.SetVariable(k.Name, Variant(k.Value));
    if (String(k.Name) == "mrNo") {
      c.SetVariable("CRLF", Variant("\r\n"));
      c.SetVariable("Null", Null());
    }
  }
}

std::vector<String> Texts(int first, int count) {
  std::vector<String> r;
  for (int i = 0; i < count; ++i) r.push_back(LocaleText(first + i));
  return r;
}
}  // namespace

TfrGlobals::TfrGlobals() : FPrevious(Current()) {
  Current() = this;
  TfrEngineState& s = frState();
  s.DefaultCharset = StrToIntDef(LocaleText(55337), 1);
  BandKindNames = Texts(55077, 23);
  BooleanFormats = Texts(55170, 4);
  DateFormats = Texts(55175, 4);
  TimeFormats = Texts(55179, 4);

  WrapList = std::make_unique<TStringList>();
  CheckerBitmap = std::make_unique<TBitmap>();
  CheckerBitmap->SetSize(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) CheckerBitmap->Canvas()->SetPixels(x, y, (x + y) % 2 == 0 ? 0xFFFFFF : 0xC0C0C0);
  WorkBitmap = std::make_unique<TBitmap>();
  WorkBitmap->SetSize(8, 8);

  Parser = std::make_unique<TfrParser>();
  Interpretator = std::make_unique<TInterpretator>();
  ScriptVariables = std::make_unique<TfrVariables>();
  ScriptVariables->SetSorted(true);
  ScriptConstants = std::make_unique<TfrVariables>();
  ScriptConstants->SetSorted(true);
  DefineConstants(*ScriptConstants);
  Compressor = std::make_unique<TfrCompressor>();
  // Names and functions are the current report's; without one only the constants resolve.
  Parser->SetOnGetValue(TGetPValueEvent::Lambda([this](const String& n, Variant& v) {
    if (TfrReport* r = frState().CurrentReport) r->GetVariableValue(n, v);
    else if (ScriptConstants->IndexOf(n) >= 0) v = ScriptConstants->Variable(n);
  }));
  Parser->SetOnFunction(TFunctionEvent::Lambda([](const String& n, Variant p1, Variant p2, Variant p3, Variant& v) {
    if (TfrReport* r = frState().CurrentReport) r->ParserFunction(n, p1, p2, p3, v);
  }));
  RegisterFunctionLibrary("TfrStdFunctionLibrary", [] { return new TfrStdFunctionLibrary; });
  RegisterFunctionLibrary("TDatabaseFunctionLibrary", [] { return new TDatabaseFunctionLibrary; });
  // Libraries outlive a set of globals; a new set lists their functions again.
  if (FunctionDescriptions.empty())
    for (const auto& lib : FunctionLibraries()) {
      if (auto* std = dynamic_cast<TfrStdFunctionLibrary*>(lib.second.get())) std->Describe();
      else if (auto* db = dynamic_cast<TDatabaseFunctionLibrary*>(lib.second.get())) db->Describe();
    }
}

TForm* TfrGlobals::DialogForm() {
  if (!FDialogForm) {
    FDialogForm = std::make_unique<TForm>(nullptr);
    static_cast<TComponent*>(FDialogForm.get())->SetName("DialogForm");
    FDialogForm->SetBounds(-100, -100, 10, 10);
  }
  return FDialogForm.get();
}

TfrGlobals::~TfrGlobals() {
  FreeLocale();
  FDialogForm.reset();
  Current() = FPrevious;
}

TfrGlobals* TfrGlobals::Instance() {
  if (!Current()) {
    // The process's own instance lives until the program ends; it is never freed, so no
    // window outlives the platform it was made on.
    static TfrGlobals* process = new TfrGlobals;
    (void)process;
  }
  return Current();
}

TCanvas* TfrGlobals::WorkCanvas() const { return WorkBitmap->Canvas(); }

void TfrCompressor::Compress(TStream*, TStream*) {}
void TfrCompressor::DeCompress(TStream*, TStream*) {}
