// The rich-text object: its record, expansion of bracketed expressions inside formatted text,
// measuring and rendering through the rich edit's range formatting, the height search, the
// split over pages, the newer XML format, and the editor dialog with its tool bar and ruler.
#include "report_legacy/FR_Rich.h"

#include "report_legacy/FR_Class.h"
#include "report_legacy/FR_DBRel.h"
#include "report_legacy/FR_Pars.h"
#include "report_legacy/FR_Utils.h"

#include "core/ClassBuilder.h"
#include "core/FileUtils.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/Streams.h"
#include "core/SysUtils.h"
#include "data/Fields.h"
#include "gui/Application.h"
#include "gui/Canvas.h"
#include "gui/Dialogs.h"
#include "gui/Menus.h"
#include "gui/Pictures.h"
#include "gui/RichEdit.h"
#include "gui/WinGDI.h"
#include "print/Metafile.h"

#include <algorithm>
#include <cmath>

using namespace frstream;

namespace {

TfrRichForm* gRichForm = nullptr;

// The screen's device context for as long as the scope lasts.
class TScreenDC {
public:
  TScreenDC() : FDC(GetDC(0)) {}
  ~TScreenDC() { ReleaseDC(0, FDC); }
  HDC Handle() const { return FDC; }
  int Dpi() const {
    const int p = GetDeviceCaps(FDC, LOGPIXELSY);
    return p > 0 ? p : 96;
  }

private:
  HDC FDC;
};

// Twips of a length in pixels less two gaps, on a device of Dpi pixels per inch.
int Twips(int Pixels, int Gap, int Dpi) {
  return static_cast<int>(std::lround((Pixels * 1440.0 - Gap * 2880.0) / Dpi));
}

void RunEventScript(TfrView* v) {
  if (v->EventScript.Count() > 0) TfrGlobals::Instance()->Interpretator->RunSource(&v->EventScript);
}

// Removes the characters [From, To) of an editor.
void DeleteRange(TCustomRichEdit* Edit, int From, int To) {
  From = std::clamp(From, 0, Edit->GetTextLen());
  To = std::clamp(To, From, Edit->GetTextLen());
  if (From == To) return;
  Edit->SetSelStart(From);
  Edit->SetSelLength(To - From);
  Edit->SetSelText("");
}

// Byte offset of character Index in UTF-8 text.
std::size_t ByteOfChar(const String& S, int Index) {
  std::size_t b = 0;
  for (int i = 0; i < Index && b < S.size(); ++i) DecodeUtf8(S, b);
  return b;
}

int CharOfByte(const String& S, std::size_t Byte) { return Length(std::string_view(S).substr(0, Byte)); }

// While a report measures and cuts text in the measuring editor nothing is kept for undo: the
// text there is a scratch copy, and keeping every cut would copy it each time.
class TMeasuring {
public:
  TMeasuring() { MeasureRichEdit()->SetUndoLimit(0); }
  ~TMeasuring() { MeasureRichEdit()->SetUndoLimit(100); }
};

const bool kRegistered = [] {
  RegisterRichView();
  return true;
}();

}  // namespace

// ================================================================ the hidden form

void RegisterRichView() {
  RegisterAddInObject("TfrRichView", [] { return new TfrRichView; }, nullptr, IntToStr(55223));
}

TfrRichForm* RichForm() {
  if (!gRichForm) {
    gRichForm = new TfrRichForm(Application);
    gRichForm->InitForm();
  }
  return gRichForm;
}

TRichEdit* MeasureRichEdit() { return RichForm()->RichEdit1; }

void CopyRichText(TCustomRichEdit* Target, TCustomRichEdit* Source) {
  Source->SelectAll();
  Source->SelAttributes()->SetProtected(false);
  Target->SetDocument(Source->Document());
}

// ================================================================ TfrRichView

TfrRichView::TfrRichView() {
  NamePrefix = "Rich";
  TypeCode = 10;
  AddInClassName = "TfrRichView";
  RichEdit = new TRichEdit(nullptr);
  RichEdit->SetVisible(false);
  RichEdit->SetUndoLimit(0);
  RichEdit->SetParent(RichForm());
}

TfrRichView::~TfrRichView() {
  // Once the form is gone it has freed its child controls, this editor among them.
  if (gRichForm) delete RichEdit;
}

Word TfrRichView::FlagBit(const String& n) const {
  if (n == "TEXTONLY") return frmemo::TextOnly;
  return TfrView::FlagBit(n);
}

void TfrRichView::RegisterScriptProps() {
  TfrView::RegisterScriptProps();
  AddScriptProp("GapX", frkind::Whole);
  AddScriptProp("GapY", frkind::Whole);
  AddScriptProp("Lines", frkind::Text | frkind::Editor, [this] { OpenEditor(); }, this);
  AddScriptProp("Stretched", frkind::Boolean);
  AddScriptProp("TextOnly", frkind::Boolean);
  // The data-field editor belongs to a designer of this format, which the system has none of.
  AddScriptProp("DataField", frkind::Text | frkind::Editor);
}

void TfrRichView::LoadFromBlobField(TField* Field) {
  if (!Field) return;
  RichEdit->SetRtfText(Field->AsString());
}

// ---- record

void TfrRichView::WriteToStream(TStream* S) {
  TfrView::WriteToStream(S);
  TCustomRichEdit* source = WriteMeasured ? static_cast<TCustomRichEdit*>(MeasureRichEdit()) : RichEdit;
  const bool any = source->Lines()->Count() > 0;
  WriteByte(S, any ? 1 : 0);
  const Int64 at = S->Position();
  WriteInt(S, 0);
  if (any) source->Lines()->SaveToStream(S);
  const Int64 end = S->Position();
  S->SetPosition(at);
  WriteInt(S, static_cast<std::int32_t>(end));
  S->SetPosition(end);
}

void TfrRichView::ReadFromStream(TStream* S) {
  TfrView::ReadFromStream(S);
  const Byte any = ReadByte(S);
  const Int64 at = S->Position();
  const Int64 end = ReadInt(S);
  // An end before the record or past the stream would read someone else's bytes.
  if (end < at + 4 || end > S->Size()) throw EReadError("Rich text record: end position " + IntToStr(end) + " out of place");
  if (any) {
    String data(static_cast<std::size_t>(end - S->Position()), '\0');
    if (!data.empty()) S->ReadBuffer(data.data(), static_cast<Int64>(data.size()));
    RichEdit->SetRtfText(data);
  } else {
    RichEdit->Clear();
  }
  S->SetPosition(end);
}

// ---- expansion, formatting, heights

void TfrRichView::ExpandRichBrackets() {
  if (Flags & frmemo::TextOnly) return;
  TfrReport* r = frState().CurrentReport;
  if (!r) return;
  TRichEdit* m = MeasureRichEdit();
  String s = m->Text();
  std::size_t from = 0;
  while (from < s.size()) {
    const std::size_t open = s.find('[', from);
    if (open == String::npos) break;
    std::size_t start = open, finish = 0;
    const String inner = ReadBracketed(s, start, finish);
    if (start < open || finish >= s.size() || s[start] != '[') break;
    String value;
    r->GetValueText(inner, value);
    const int a = CharOfByte(s, start), b = CharOfByte(s, finish + 1);
    const int before = m->GetTextLen();
    m->SetSelStart(a);
    m->SetSelLength(b - a);
    m->SetSelText(value);
    const int inserted = m->GetTextLen() - before + (b - a);
    m->SetSelStart(a);
    m->SetSelLength(inserted);
    m->SelAttributes()->SetCharset(static_cast<TFontCharset>(frState().DefaultCharset));
    s = m->Text();
    from = ByteOfChar(s, a + inserted);
  }
}

void TfrRichView::FormatRich(bool Render) {
  TScreenDC screen;
  const int p = screen.Dpi();
  if (!Render) {
    TRichEdit* m = MeasureRichEdit();
    m->SetColor(FillColor == clNone ? clWhite : FillColor);
    TFormatRange fr;
    fr.hdc = fr.hdcTarget = screen.Handle();
    fr.rc = fr.rcPage = {0, 0, Twips(Width, GapX, p), Twips(Height, GapY, p)};
    fr.cpMin = StartPos;
    NextPos = m->FormatRange(fr, false);
    return;
  }
  RichEdit->SetColor(FillColor == clNone ? clWhite : FillColor);
  const TfrSavedGeometry& g = SavedGeometry;
  TMetafile mf;
  mf.SetWidth(std::max(1, g.Width - 2 * g.GapX));
  mf.SetHeight(std::max(1, g.Height - 2 * g.GapY));
  {
    TMetafileCanvas mc(&mf, screen.Handle());
    mc.Brush()->SetStyle(bsClear);
    const int saved = SetMapMode(mc.Handle(), MM_TEXT);
    TFormatRange fr;
    fr.hdc = fr.hdcTarget = mc.Handle();
    fr.rc = fr.rcPage = {0, 0, Twips(g.Width, g.GapX, p), Twips(g.Height, g.GapY, p)};
    fr.cpMin = StartPos;
    RichEdit->FormatRange(fr, true);
    SetMapMode(mc.Handle(), saved);
  }
  if (frState().EngineMode == 1) {
    DrawCanvas->StretchDraw(PaintRect, &mf);
    return;
  }
  TBitmap bmp;
  bmp.SetSize(PaintRect.Width() + 1, PaintRect.Height() + 1);
  bmp.Canvas()->Brush()->SetColor(FillColor == clNone ? clWhite : FillColor);
  bmp.Canvas()->FillRect({0, 0, bmp.Width(), bmp.Height()});
  bmp.Canvas()->StretchDraw({0, 0, bmp.Width(), bmp.Height()}, &mf);
  DrawCanvas->Draw(PaintRect.Left, PaintRect.Top, &bmp);
}

int TfrRichView::FitHeight() {
  TRichEdit* m = MeasureRichEdit();
  TScreenDC screen;
  const int p = screen.Dpi();
  const int len = m->GetTextLen();
  TFormatRange fr;
  fr.hdc = fr.hdcTarget = screen.Handle();
  fr.cpMin = StartPos;
  int low = 0, high = 1000000;
  // Every step halves the range: at most twenty layouts' worth of questions, and the rich
  // edit answers repeated questions about one range from the lines it laid out once.
  while (high - low > 1) {
    const int mid = low + (high - low) / 2;
    fr.rc = fr.rcPage = {0, 0, Twips(Width, GapX, p), static_cast<int>(std::lround(mid * 1440.0 / p))};
    const int next = m->FormatRange(fr, false);
    // A range that holds no line answers its own start: that is no fit, also at the start.
    if (next >= len || next == -1) high = mid;
    else low = mid;
  }
  const int result = high < 2 ? 8 : high;
  return result + 2 * GapY;
}

int TfrRichView::CalcHeight() {
  NextPos = 0;
  PrintedPos = 0;
  FJustEmitted = false;
  BeginDraw(TfrGlobals::Instance()->WorkCanvas());
  RunEventScript(this);
  if (!IsVisible()) return 0;
  ExpandedMemo.Assign(&Memo);
  if (TfrReport* r = frState().CurrentReport) r->BeforePrint(&ExpandedMemo, this);
  TMeasuring measuring;
  CopyRichText(MeasureRichEdit(), RichEdit);
  ExpandRichBrackets();
  StartPos = 0;
  return FitHeight();
}

int TfrRichView::LeftoverHeight() {
  // The part of the page this object fills: the one just emitted, or the one about to be.
  const bool after = FJustEmitted;
  FJustEmitted = false;
  const int start = after ? FLastStart : PrintedPos;
  TRestore<int> height(Height, after ? FLastHeight : Height);
  TRestore<int> next(NextPos), printed(PrintedPos), from(StartPos, 0);
  TMeasuring measuring;
  TRichEdit* m = MeasureRichEdit();
  CopyRichText(m, RichEdit);
  ExpandRichBrackets();
  DeleteRange(m, 0, start);
  FormatRich(false);
  DeleteRange(m, NextPos, m->GetTextLen());
  // The room the part leaves unused below its last line goes to the next page, where the
  // part there needs its own gaps and frame.
  const int h = FitHeight();
  return std::max(0, Height - h) + 2 * GapY + frNear(2 * FrameWidth);
}

// ---- drawing and output

void TfrRichView::DrawOnCanvas(TCanvas* Canvas) {
  BeginDraw(Canvas);
  StoreGeometry();
  PaintBackground();
  PaintRect = {PaintRect.Left + GapX, PaintRect.Top + GapY, PaintRect.Right - GapX, PaintRect.Bottom - GapY};
  StartPos = 0;
  if (Width > 0 && Height > 0) FormatRich(true);
  PaintFrame();
  RestoreGeometry();
}

void TfrRichView::EmitPrepared(TStream* Stream) {
  const int pass = LayoutPass;
  TScopeExit reset([this] { LayoutPass = 0; });
  BeginDraw(DrawCanvas);
  ExpandedMemo.Assign(&Memo);
  TfrReport* r = frState().CurrentReport;
  if (r) r->BeforePrint(&ExpandedMemo, this);
  RunEventScript(this);
  if (!IsVisible()) return;
  TRestore<String> tag(Tag);
  if (Tag.find('[') != String::npos) Tag = ExpandBrackets(Tag);
  TMeasuring measuring;
  TRichEdit* m = MeasureRichEdit();
  CopyRichText(m, RichEdit);
  ExpandRichBrackets();
  if (pass == 2) {
    // The part that fits this page: from where the last page stopped to the first character
    // that does not fit.
    StartPos = NextPos;
    FormatRich(false);
    DeleteRange(m, NextPos, m->GetTextLen());
    DeleteRange(m, 0, PrintedPos);
    FLastStart = PrintedPos;
    FLastHeight = Height;
    FJustEmitted = true;
    PrintedPos = NextPos;
  }
  WriteByte(Stream, TypeCode);
  WriteCountedString(Stream, AddInClassName);
  TRestore<bool> prepared(PreparedForm, true), measured(WriteMeasured, true);
  WriteToStream(Stream);
}

void TfrRichView::WriteNewFormatXml(TStream* S) {
  WriteViewXml(S, "TfrxRichView");
  // The text as the newer format stores a binary property: its name, the binary value type,
  // the length and the bytes.
  TMemoryStream ps;
  const String name = "RichEdit";
  const auto len = static_cast<unsigned char>(name.size());
  ps.WriteBuffer(&len, 1);
  ps.WriteBuffer(name.data(), len);
  WriteByte(&ps, 10);
  const String rtf = RichEdit->RtfText();
  WriteInt(&ps, static_cast<std::int32_t>(rtf.size()));
  ps.WriteBuffer(rtf.data(), static_cast<Int64>(rtf.size()));
  WriteXmlAttr(S, "Propdata", StreamToHex(&ps));
  if (Flags & frmemo::Stretched) WriteXmlAttr(S, "StretchMode", "smMaxHeight");
  if (Flags & frmemo::TextOnly) WriteXmlAttr(S, "AllowExpressions", "False");
  if (Memo.Count() > 0) {
    TComponent* c = nullptr;
    String field;
    ParseFieldReference(Memo.Strings(0), c, field);
    if (c && !field.empty()) {
      WriteXmlAttr(S, "DataSet", EscapeXml((c->Owner() ? c->Owner()->Name() + "." : String()) + c->Name()));
      WriteXmlAttr(S, "DataField", EscapeXml(field));
    }
  }
}

void TfrRichView::FillPopupMenu(TPopupMenu* Menu) {
  TfrView::FillPopupMenu(Menu);
  auto* item = new TMenuItem(Menu);
  item->SetCaption(LocaleText(55433));
  item->SetChecked(Flags & frmemo::TextOnly);
  item->OnClick = TNotifyEvent::Lambda([this, item](TObject*) {
    item->SetChecked(!item->Checked());
    ToggleFlagOnSelection(frmemo::TextOnly, true);
  });
  Menu->Items()->Add(item);
}

void TfrRichView::OpenEditor() {
  TfrRichForm* f = RichForm();
  CopyRichText(f->RichEdit1, RichEdit);
  f->RichEdit1->ClearUndo();
  if (f->ShowModal() == mrOk) CopyRichText(RichEdit, f->RichEdit1);
  f->RichEdit1->Clear();
}

// ================================================================ TfrRichForm

KELM_PUBLISH(TfrRichForm) {
  b.Method("FormCreate", &TfrRichForm::FormCreate);
  b.Method("FormShow", &TfrRichForm::FormShow);
  b.Method("FormActivate", &TfrRichForm::FormActivate);
  b.Method("FormPaint", &TfrRichForm::FormPaint);
  b.Method("FormResize", &TfrRichForm::FormResize);
  b.Method("FormMouseDown", &TfrRichForm::FormMouseDown);
  b.Method("SelectionChange", &TfrRichForm::SelectionChange);
  b.Method("BoldButtonClick", &TfrRichForm::BoldButtonClick);
  b.Method("AlignButtonClick", &TfrRichForm::AlignButtonClick);
  b.Method("BulletsButtonClick", &TfrRichForm::BulletsButtonClick);
  b.Method("FontNameChange", &TfrRichForm::FontNameChange);
  b.Method("FontSizeChange", &TfrRichForm::FontSizeChange);
  b.Method("SelectFont", &TfrRichForm::SelectFont);
  b.Method("EditUndo", &TfrRichForm::EditUndo);
  b.Method("FileOpen", &TfrRichForm::FileOpen);
  b.Method("FileSaveAs", &TfrRichForm::FileSaveAs);
  b.Method("OkBtnClick", &TfrRichForm::OkBtnClick);
  b.Method("CancBtnClick", &TfrRichForm::CancBtnClick);
  b.Method("RulerItemMouseDown", &TfrRichForm::RulerItemMouseDown);
  b.Method("RulerItemMouseMove", &TfrRichForm::RulerItemMouseMove);
  b.Method("FirstIndMouseUp", &TfrRichForm::FirstIndMouseUp);
  b.Method("LeftIndMouseUp", &TfrRichForm::LeftIndMouseUp);
  b.Method("RightIndMouseUp", &TfrRichForm::RightIndMouseUp);
}

TTextAttributes* TfrRichForm::CurrText() const {
  return RichEdit1->SelLength() > 0 ? RichEdit1->SelAttributes() : RichEdit1->DefAttributes();
}

void TfrRichForm::FormCreate(TObject*) {
  const String folder = ProgramFolder();
  OpenDialog->SetInitialDir(folder);
  SaveDialog->SetInitialDir(folder);
  String scale;
  for (int i = 0; i < 100; ++i) scale += "\t|";
  Ruler->SetCaption(scale);
  Synchronise();
}

void TfrRichForm::FormShow(TObject*) {
  SetCaption(LocaleText(53560));
  TControl* const hinted[] = {OpenButton, SaveButton, UndoButton, SpeedButton1, SpeedButton2, FontName, FontSize,
                              BoldButton, ItalicButton, UnderlineButton, LeftAlign, CenterAlign, RightAlign};
  int id = 53561;
  for (TControl* c : hinted) c->SetHint(LocaleText(id++));
  const std::pair<TControl*, int> more[] = {{BulletsButton, 53575}, {CancBtn, 53576}, {OkBtn, 53577}, {HelpBtn, 53032}};
  for (const auto& [c, text] : more) c->SetHint(LocaleText(text));
}

void TfrRichForm::FormActivate(TObject*) {
  if (RichEdit1->CanFocus()) RichEdit1->SetFocus();
}

void TfrRichForm::SetEditRect() {
  TRect r = RichEdit1->ClientRect();
  r.Left += 6;
  r.Right -= 6;
  SendMessage(RichEdit1->Handle(), EM_SETRECT, 0, reinterpret_cast<LPARAM>(&r));
}

void TfrRichForm::FormPaint(TObject*) { SetEditRect(); }

void TfrRichForm::FormResize(TObject*) {
  SetEditRect();
  Synchronise();
}

// No help viewer in this system: a click on the form asks nothing.
void TfrRichForm::FormMouseDown(TObject*, TMouseButton, TShiftState, int, int) {}

void TfrRichForm::SelectionChange(TObject*) { Synchronise(); }

void TfrRichForm::Synchronise() {
  TRestore<bool> updating(FUpdating, true);
  TParaAttributes* p = RichEdit1->Paragraph();
  FirstInd->SetLeft(static_cast<int>(std::lround(p->FirstIndent() * 4.0 / 3)) + 2);
  LeftInd->SetLeft(static_cast<int>(std::lround((p->LeftIndent() + p->FirstIndent()) * 4.0 / 3)) + 2);
  RightInd->SetLeft(Ruler->ClientWidth() - static_cast<int>(std::lround((p->RightIndent() + 6) * 4.0 / 3)) - 6);
  TTextAttributes* a = RichEdit1->SelAttributes();
  const TFontStyles st = a->Style();
  BoldButton->SetDown(st.Contains(fsBold));
  ItalicButton->SetDown(st.Contains(fsItalic));
  UnderlineButton->SetDown(st.Contains(fsUnderline));
  BulletsButton->SetDown(p->Numbering() == nsBullet);
  FontSize->SetText(IntToStr(a->Size()));
  FontName->SetItemIndex(FontName->Items()->IndexOf(a->Name()));
  if (FontName->ItemIndex() < 0) FontName->SetText(a->Name());
  switch (p->Alignment()) {
    case taRightJustify: RightAlign->SetDown(true); break;
    case taCenter: CenterAlign->SetDown(true); break;
    default: LeftAlign->SetDown(true); break;
  }
}

void TfrRichForm::BoldButtonClick(TObject*) {
  if (FUpdating) return;
  TFontStyles s;
  if (BoldButton->Down()) s.Include(fsBold);
  if (ItalicButton->Down()) s.Include(fsItalic);
  if (UnderlineButton->Down()) s.Include(fsUnderline);
  CurrText()->SetStyle(s);
}

void TfrRichForm::AlignButtonClick(TObject* Sender) {
  if (FUpdating) return;
  switch (static_cast<TComponent*>(Sender)->Tag()) {
    case 313: RichEdit1->Paragraph()->SetAlignment(taCenter); break;
    case 314: RichEdit1->Paragraph()->SetAlignment(taRightJustify); break;
    default: RichEdit1->Paragraph()->SetAlignment(taLeftJustify); break;
  }
}

void TfrRichForm::BulletsButtonClick(TObject*) {
  if (FUpdating) return;
  RichEdit1->Paragraph()->SetNumbering(BulletsButton->Down() ? nsBullet : nsNone);
}

void TfrRichForm::FontNameChange(TObject*) {
  if (FUpdating || FontName->Text().empty()) return;
  CurrText()->SetName(FontName->Text());
  if (RichEdit1->CanFocus()) RichEdit1->SetFocus();
}

void TfrRichForm::FontSizeChange(TObject*) {
  if (FUpdating) return;
  const int size = StrToIntDef(FontSize->Text(), 0);
  if (size > 0) CurrText()->SetSize(size);
  if (RichEdit1->CanFocus()) RichEdit1->SetFocus();
}

void TfrRichForm::SelectFont(TObject*) {
  FontDialog1->Font()->Assign(RichEdit1->SelAttributes());
  if (FontDialog1->Execute()) CurrText()->Assign(FontDialog1->Font());
  Synchronise();
  if (RichEdit1->CanFocus()) RichEdit1->SetFocus();
}

void TfrRichForm::EditUndo(TObject*) { RichEdit1->Undo(); }

void TfrRichForm::FileOpen(TObject*) {
  OpenDialog->SetFilter(LocaleText(55218) + " (*.rtf)|*.rtf");
  if (!OpenDialog->Execute()) return;
  RichEdit1->Lines()->LoadFromFile(OpenDialog->FileName());
  if (RichEdit1->CanFocus()) RichEdit1->SetFocus();
  Synchronise();
}

void TfrRichForm::FileSaveAs(TObject*) {
  SaveDialog->SetFilter(LocaleText(55218) + " (*.rtf)|*.rtf|" + LocaleText(55212) + " (*.txt)|*.txt");
  if (!SaveDialog->Execute()) return;
  // Rich text whichever filter was chosen.
  const bool plain = RichEdit1->PlainText();
  TScopeExit back([this, plain] { RichEdit1->SetPlainText(plain); });
  RichEdit1->SetPlainText(false);
  RichEdit1->Lines()->SaveToFile(SaveDialog->FileName());
}

void TfrRichForm::OkBtnClick(TObject*) { SetModalResult(mrOk); }
void TfrRichForm::CancBtnClick(TObject*) { SetModalResult(mrCancel); }

// ---- ruler markers

void TfrRichForm::RulerItemMouseDown(TObject* Sender, TMouseButton, TShiftState, int X, int) {
  auto* c = static_cast<TControl*>(Sender);
  FDragOfs = c->Width() / 2;
  c->SetLeft(std::max(0, c->Left() + X - FDragOfs));
  FDragging = true;
}

void TfrRichForm::RulerItemMouseMove(TObject* Sender, TShiftState Shift, int X, int) {
  if (!FDragging || !Shift.Contains(ssLeft)) return;
  auto* c = static_cast<TControl*>(Sender);
  c->SetLeft(std::max(0, c->Left() + X - FDragOfs));
}

void TfrRichForm::FirstIndMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
  FDragging = false;
  RichEdit1->Paragraph()->SetFirstIndent(static_cast<int>(std::lround((FirstInd->Left() + FDragOfs - 6) * 3.0 / 4)));
  LeftIndMouseUp(Sender, Button, Shift, X, Y);
}

void TfrRichForm::LeftIndMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  FDragging = false;
  RichEdit1->Paragraph()->SetLeftIndent(static_cast<int>(std::lround((LeftInd->Left() + FDragOfs - 6) * 3.0 / 4)) -
                                        RichEdit1->Paragraph()->FirstIndent());
  Synchronise();
}

void TfrRichForm::RightIndMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  FDragging = false;
  RichEdit1->Paragraph()->SetRightIndent(
      static_cast<int>(std::lround((Ruler->ClientWidth() + FDragOfs - RightInd->Left() - 2) * 3.0 / 4)) - 12);
  Synchronise();
}
