#include "report/designer/frxDesgnCtrls.h"

#include "core/ClassBuilder.h"
#include "core/DateUtils.h"
#include "core/SysUtils.h"
#include "core/Streams.h"
#include "gui/Canvas.h"
#include "gui/Clipbrd.h"
#include "gui/Dialogs.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxClassBases.h"
#include "report/frxDMPClass.h"
#include "report/frxPages.h"
#include "report/frxXML.h"
#include "report/frxXMLSerializer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <string>

KELM_PUBLISH(TfrxPopupForm) {}
KELM_PUBLISH(TfrxRuler) { Published(b); }
KELM_PUBLISH(TfrxScrollBox) {}
KELM_PUBLISH(TfrxCustomSelector) {}
KELM_PUBLISH(TfrxColorSelector) {}
KELM_PUBLISH(TfrxLineSelector) {}

namespace {
int R(Extended v) { return static_cast<int>(Round(v)); }
}  // namespace

// ================================================================ popup form

TfrxPopupForm::TfrxPopupForm(TComponent* AOwner) : TForm(AOwner) {
  SetBorderStyle(bsNone);
  SetFormStyle(fsStayOnTop);
}

DWORD& TfrxPopupForm::PopupFormCloseTime() {
  static DWORD t = 0;
  return t;
}

void TfrxPopupForm::Deactivate() {
  TForm::Deactivate();
  PopupFormCloseTime() = GetTickCount();
  Close();
}

void TfrxPopupForm::DoClose(TCloseAction& Action) {
  TForm::DoClose(Action);
  Action = caFree;
}

// ================================================================ ruler

TfrxRuler::TfrxRuler(TComponent* AOwner) : TPanel(AOwner) { SetBevelOuter(bvNone); }

void TfrxRuler::SetOffset(int v) {
  FOffset = v;
  Invalidate();
}
void TfrxRuler::SetScale(Extended v) {
  FScale = v;
  Invalidate();
}
void TfrxRuler::SetStart(int v) {
  FStart = v;
  Invalidate();
}
void TfrxRuler::SetUnits(TfrxRulerUnits v) {
  FUnits = v;
  Invalidate();
}
void TfrxRuler::SetPosition(Extended v) {
  FPosition = v;
  Invalidate();
}

Extended TfrxRuler::Step() const {
  switch (FUnits) {
    case ruCM: return frx_units::PixPerMM * FScale;
    case ruInches: return 9.6 * FScale;
    case ruChars: return FScale * (Vertical() ? frx_units::CharHeight : frx_units::CharWidth) / 10;
    case ruPixels: return FScale;
  }
  return FScale;
}

int TfrxRuler::Origin() const {
  int o = FOffset - FStart;
  if (FUnits == ruChars) o += R((Vertical() ? frx_units::CharHeight : frx_units::CharWidth) * FScale * 0.5);
  return o;
}

std::vector<TfrxRulerMark> TfrxRuler::Marks(int LabelWidth) const {
  std::vector<TfrxRulerMark> marks;
  Extended step = Step();
  if (!(step > 0)) return marks;
  bool pixels = FUnits == ruPixels;
  int major = pixels ? 100 : 10, middle = pixels ? 50 : 5;
  Extended length = (Vertical() ? Height() : Width()) + FStart;
  int origin = Origin();
  bool minors = !pixels && major * step >= 41;
  bool middles = major * step >= 21;
  int every = LabelWidth > major * step * 1.5 ? 4 * major : LabelWidth > major * step * 0.7 ? 2 * major : major;
  for (int n = 0; n * step < length; ++n) {
    int p = R(origin + n * step);
    if (p < FOffset || n == 0) continue;
    TfrxRulerMark m;
    m.Pos = p;
    if (n % major == 0) m.Length = 6;
    else if (n % middle == 0) m.Length = middles ? 4 : 0;
    else m.Length = minors ? 2 : 0;
    if (n % every == 0) m.Number = pixels ? n : n / 10;
    if (m.Length || m.Number >= 0) marks.push_back(m);
  }
  return marks;
}

void TfrxRuler::Paint() {
  TCanvas* c = Canvas();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(ClientRect());
  c->Font()->SetName("Arial");
  c->Font()->SetSize(7);
  c->Font()->SetColor(clBlack);
  bool vertical = Vertical();
  c->Brush()->SetColor(clWindow);
  if (vertical) c->FillRect(TRect{3, FOffset, Width() - 5, Height()});
  else c->FillRect(TRect{FOffset, 3, Width(), Height() - 5});
  if (vertical) c->Font()->SetOrientation(900);
  Extended length = (vertical ? Height() : Width()) + FStart;
  Extended step = Step();
  int largest = step > 0 ? R(length / step) + FStart : 0;
  if (FUnits != ruPixels) largest /= 10;
  int labelWidth = c->TextWidth(std::to_string(largest));
  c->Brush()->SetStyle(bsClear);
  c->Pen()->SetColor(clBlack);
  for (const TfrxRulerMark& m : Marks(labelWidth)) {
    if (m.Number >= 0) {
      String text = std::to_string(m.Number);
      int w = c->TextWidth(text);
      if (vertical) c->TextOut(Width() - c->TextHeight(text) - 6, m.Pos + 1 + w / 2, text);
      else c->TextOut(m.Pos - w / 2, 4, text);
      continue;
    }
    int from = (13 - m.Length) / 2 + 3;
    if (vertical) {
      c->MoveTo(from, m.Pos);
      c->LineTo(from + m.Length, m.Pos);
    } else {
      c->MoveTo(m.Pos, from);
      c->LineTo(m.Pos, from + m.Length);
    }
  }
  int mark = R(Origin() + FPosition * step * (FUnits == ruPixels ? 1 : 10));
  if (mark >= FOffset) {
    if (vertical) {
      c->MoveTo(3, mark);
      c->LineTo(16, mark);
    } else {
      c->MoveTo(mark, 3);
      c->LineTo(mark, 16);
    }
  }
  c->Brush()->SetStyle(bsSolid);
}

// ================================================================ scroll box

TfrxScrollBox::TfrxScrollBox(TComponent* AOwner) : TScrollBox(AOwner) {}

void TfrxScrollBox::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_GETDLGCODE:
      M.Result = DLGC_WANTARROWS | DLGC_WANTTAB;
      return;
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_KEYUP:
      for (int i = 0; i < ControlCount(); ++i)
        if (auto* w = dynamic_cast<TWinControl*>(Controls(i))) w->Perform(M.Msg, M.WParam, M.LParam);
      break;
    default:
      break;
  }
  TScrollBox::Dispatch(M);
}

// ================================================================ selectors

// The panel belongs to its drop-down form, which frees it when the form goes.
TfrxCustomSelector::TfrxCustomSelector(TControl* Invoker) : TPanel(new TfrxPopupForm(nullptr)) {
  FForm = static_cast<TfrxPopupForm*>(Owner());
  FForm->SetAutoSize(true);
  SetParent(FForm);
  SetBevelOuter(bvNone);
  if (Invoker) {
    SetTag(Invoker->Tag());
    TPoint p = Invoker->ClientToScreen({0, Invoker->Height() + 2});
    FForm->SetBounds(p.X, p.Y, 20, 20);
  }
  FForm->Show();
}

void TfrxCustomSelector::MouseMove(TShiftState Shift, int X, int Y) {
  TPanel::MouseMove(Shift, X, Y);
  HighlightItem(X, Y, false);
}

void TfrxCustomSelector::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TPanel::MouseDown(Button, Shift, X, Y);
  HighlightItem(X, Y, true);
}

void TfrxCustomSelector::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(r);
  Frame3D(c, r, clBtnHighlight, clBtnShadow, 1);
}

void TfrxCustomSelector::DrawHighlight(const TRect& R0, bool Pressed) {
  TRect r = R0;
  Frame3D(Canvas(), r, Pressed ? clBtnShadow : clBtnHighlight, Pressed ? clBtnHighlight : clBtnShadow, 1);
}

void TfrxCustomSelector::Chosen() {
  Repaint();
  if (OnSelect) OnSelect(this);
  FForm->Hide();
}

TfrxColorSelector::TfrxColorSelector(TControl* Invoker) : TfrxCustomSelector(Invoker) { SetBounds(0, 0, 155, 125); }

std::array<TColor, 40>& TfrxColorSelector::Colors() {
  static std::array<TColor, 40> table = {
      clNone,   0xFFFFFF, 0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,  //
      0x808080, 0xC0C0C0, 0x808000, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF,  //
      0xCCCCCC, 0xE4E4E4, 0xFFFF00, 0x00CCFF, 0x00CC98, 0x98FFFF, 0xFFCC00, 0xFF98CC,  //
      0xD8D8D8, 0xF0F0F0, 0xFFFFDC, 0xCAE4FF, 0xCCFFCC, 0xCCFFFF, 0xFFF4CC, 0xCC98FF,  //
      clBtnFace, clBtnFace, clBtnFace, clBtnFace, clBtnFace, clBtnFace, clBtnFace, clBtnFace};
  return table;
}

void TfrxColorSelector::AddCustomColor(TColor Color) {
  auto& t = Colors();
  if (std::find(t.begin(), t.end(), Color) != t.end()) return;
  for (size_t i = 32; i < 40; ++i)
    if (t[i] == clBtnFace) {
      t[i] = Color;
      return;
    }
  std::move(t.begin() + 33, t.end(), t.begin() + 32);
  t[39] = Color;
}

void TfrxColorSelector::Paint() {
  TfrxCustomSelector::Paint();
  TCanvas* c = Canvas();
  const auto& t = Colors();
  c->Pen()->SetColor(0x808080);
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 8; ++j) {
      TColor col = t[static_cast<size_t>(i * 8 + j)];
      c->Brush()->SetColor(i == 0 && j == 0 ? clWhite : col);
      c->Rectangle(8 + 18 * j, 8 + 18 * i, 20 + 18 * j, 20 + 18 * i);
      if (i == 0 && j == 0) {
        c->MoveTo(8, 8);
        c->LineTo(20, 20);
        c->MoveTo(19, 8);
        c->LineTo(7, 20);
      }
    }
  c->Brush()->SetColor(clBtnFace);
  c->Rectangle(8, 98, Width() - 9, Height() - 9);
  c->Brush()->SetStyle(bsClear);
  String other = "Other...";
  c->TextOut((Width() - c->TextWidth(other)) / 2, 100, other);
  c->Brush()->SetStyle(bsSolid);
}

void TfrxColorSelector::HighlightItem(int X, int Y, bool Pressed) {
  Repaint();
  int row = (Y - 5) / 18;
  if (row > 4) {
    DrawHighlight(TRect{5, 95, Width() - 6, Height() - 6}, Pressed);
    return;
  }
  int col = std::min((X - 5) / 18, 7);
  DrawHighlight(TRect{18 * col + 5, 18 * row + 5, 18 * col + 23, 18 * row + 23}, Pressed);
}

void TfrxColorSelector::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TfrxCustomSelector::MouseUp(Button, Shift, X, Y);
  int row = (Y - 5) / 18;
  if (row > 4) {
    PopupForm()->SetAutoSize(false);
    PopupForm()->SetHeight(0);
    TColorDialog dlg(nullptr);
    dlg.SetOptions({cdFullOpen});
    dlg.SetColor(FColor);
    if (!dlg.Execute()) return;
    FColor = dlg.Color();
    AddCustomColor(FColor);
  } else {
    FColor = Colors()[static_cast<size_t>(std::max(0, row) * 8 + std::clamp((X - 5) / 18, 0, 7))];
  }
  Chosen();
}

TfrxLineSelector::TfrxLineSelector(TControl* Invoker) : TfrxCustomSelector(Invoker) { SetBounds(0, 0, 98, 106); }

int TfrxLineSelector::RowAt(int Y) {
  int c = Y - 5;
  if (c < 0) c = Y + 10;
  return c < 96 ? std::max(0, c / 16) : 5;
}

void TfrxLineSelector::Paint() {
  TfrxCustomSelector::Paint();
  TCanvas* c = Canvas();
  static const TPenStyle styles[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot};
  c->Pen()->SetColor(clBlack);
  c->Brush()->SetStyle(bsClear);
  for (int i = 0; i < 6; ++i) {
    int y = 12 + 16 * i;
    auto line = [&](int at) {
      for (int k = 0; k < 2; ++k) {
        c->MoveTo(7, at + k);
        c->LineTo(Width() - 8, at + k);
      }
    };
    c->Pen()->SetStyle(i < 5 ? styles[i] : psSolid);
    if (i < 5) line(y);
    else {
      line(y - 2);
      line(y + 2);
    }
  }
  c->Pen()->SetStyle(psSolid);
  c->Brush()->SetStyle(bsSolid);
}

void TfrxLineSelector::HighlightItem(int X, int Y, bool Pressed) {
  Repaint();
  int row = RowAt(Y);
  DrawHighlight(TRect{5, 16 * row + 5, Width() - 5, 16 * row + 21}, Pressed);
}

void TfrxLineSelector::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TfrxCustomSelector::MouseUp(Button, Shift, X, Y);
  FStyle = RowAt(Y);
  Chosen();
}

// ================================================================ undo buffer

TfrxUndoBuffer::TfrxUndoBuffer() = default;
TfrxUndoBuffer::~TfrxUndoBuffer() = default;

void TfrxUndoBuffer::Add(TSnapshots& List, TfrxComponent* Report) {
  auto stream = std::make_unique<TMemoryStream>();
  // Snapshots of one report are alike in size: one allocation instead of a run of regrowths.
  if (!List.empty()) stream->SetCapacity(List.back()->Size());
  Report->SaveToStream(stream.get(), true, false);
  List.push_back(std::move(stream));
}

void TfrxUndoBuffer::AddUndo(TfrxComponent* Report) { Add(FUndo, Report); }
void TfrxUndoBuffer::AddRedo(TfrxComponent* Report) { Add(FRedo, Report); }

void TfrxUndoBuffer::Undo(TfrxComponent* Report) {
  if (FUndo.size() < 2) return;
  TMemoryStream* previous = FUndo[FUndo.size() - 2].get();
  previous->SetPosition(0);
  Report->LoadFromStream(previous);
  FUndo.pop_back();
}

void TfrxUndoBuffer::Redo(TfrxComponent* Report) {
  if (FRedo.empty()) return;
  TMemoryStream* last = FRedo.back().get();
  last->SetPosition(0);
  Report->LoadFromStream(last);
  FRedo.pop_back();
}

void TfrxUndoBuffer::ClearUndo() { FUndo.clear(); }
void TfrxUndoBuffer::ClearRedo() { FRedo.clear(); }

Int64 TfrxUndoBuffer::Size() const {
  Int64 total = 0;
  for (const auto& s : FUndo) total += s->Size();
  for (const auto& s : FRedo) total += s->Size();
  return total;
}

// ================================================================ clipboard

namespace {

bool IsOnePerPageBand(TfrxComponent* C) {
  return dynamic_cast<TfrxReportTitle*>(C) || dynamic_cast<TfrxReportSummary*>(C) || dynamic_cast<TfrxPageHeader*>(C) ||
         dynamic_cast<TfrxPageFooter*>(C) || dynamic_cast<TfrxColumnHeader*>(C) || dynamic_cast<TfrxColumnFooter*>(C);
}

// Whether an object may live on a page: dialog things on dialog pages only, dot-matrix
// objects on dot-matrix pages only, and nothing else but bands there.
bool FitsPage(TfrxComponent* C, TfrxPage* Page) {
  bool dialogThing = dynamic_cast<TfrxDialogControl*>(C) || dynamic_cast<TfrxDialogComponent*>(C);
  bool reportPage = dynamic_cast<TfrxReportPage*>(Page) != nullptr;
  if (dynamic_cast<TfrxDialogControl*>(C) && reportPage) return false;
  if (dynamic_cast<TfrxDialogPage*>(Page) && !dialogThing) return false;
  bool dmpObject = dynamic_cast<TfrxDMPMemoView*>(C) || dynamic_cast<TfrxDMPLineView*>(C);
  bool dmpPage = dynamic_cast<TfrxDMPPage*>(Page) != nullptr;
  if (dmpObject && !dmpPage) return false;
  if (dmpPage && !dmpObject && !dynamic_cast<TfrxBand*>(C)) return false;
  return true;
}

bool Contains(const std::vector<TfrxComponent*>& List, const TObject* O) {
  for (const TfrxComponent* c : List)
    if (static_cast<const TObject*>(c) == O) return true;
  return false;
}

}  // namespace

TfrxClipboard::TfrxClipboard(TfrxCustomDesigner* Designer) : FDesigner(Designer) {
  TClipboard* cb = Clipboard();
  FChainedOnChange = cb->OnChange;
  FOwnOnChange = TNotifyEvent::Lambda([this](TObject* Sender) { ClipboardChanged(Sender); });
  cb->OnChange = FOwnOnChange;
}

TfrxClipboard::~TfrxClipboard() {
  TClipboard* cb = Clipboard();
  if (cb->OnChange == FOwnOnChange) cb->OnChange = FChainedOnChange;
}

void TfrxClipboard::ClipboardChanged(TObject* Sender) {
  FKnown = false;
  FChainedOnChange(Sender);
}

String TfrxClipboard::CopyText() const {
  String text = String(Heading()) + "\n\r";
  TfrxPage* page = FDesigner->Page();
  if (!page) return text;
  const std::vector<TfrxComponent*>& selected = FDesigner->SelectedObjects();
  Extended minLeft = 100000, minTop = 100000;
  for (TObject* o : selected) {
    auto* c = dynamic_cast<TfrxComponent*>(o);
    if (!c || dynamic_cast<TfrxPage*>(c) || dynamic_cast<TfrxReport*>(o)) continue;
    minLeft = std::min(minLeft, c->AbsLeft());
    minTop = std::min(minTop, c->AbsTop());
  }
  TfrxXMLSerializer serializer(nullptr);
  serializer.SetOwner(page->FindParentReport());
  TFormatSettings point;
  point.DecimalSeparator = '.';
  auto append = [&](TfrxComponent* c) {
    // The object's own attribute text with Left and Top made relative: the same text a copy
    // moved there would give, without building and filling such a copy.
    TfrxXMLItem element;
    element.SetText(serializer.PropsToAttributes(c, String()));
    element.SetAttrValue("Left", FloatToStr(c->Left() - minLeft, point));
    element.SetAttrValue("Top", FloatToStr(c->AbsTop() - minTop, point));
    text += "<" + c->ClassName() + " Name=\"" + c->Name() + "\"";
    if (!element.Text().empty() && element.Text()[0] != ' ') text += ' ';
    text += element.Text() + "/>";
  };
  const std::vector<TfrxComponent*> all = page->AllObjects();
  for (TfrxComponent* c : all) {
    if (!Contains(selected, c)) continue;
    append(c);
    if (!dynamic_cast<TfrxBand*>(c)) continue;
    bool childSelected = false;
    for (int i = 0; i < c->ObjectCount() && !childSelected; ++i) childSelected = Contains(selected, c->Objects(i));
    if (!childSelected)
      for (int i = 0; i < c->ObjectCount(); ++i) append(c->Objects(i));
  }
  return text;
}

void TfrxClipboard::Copy() {
  Clipboard()->SetAsText(CopyText());
  FKnown = false;
}

bool TfrxClipboard::PasteAvailable() {
  if (FKnown) return FAvailable;
  try {
    String text = Clipboard()->AsText();
    FAvailable = text.compare(0, std::strlen(Heading()), Heading()) == 0;
  } catch (const Exception&) {
    FAvailable = false;
  }
  FKnown = true;
  return FAvailable;
}

void TfrxClipboard::Paste() {
  std::vector<TfrxComponent*>& selected = FDesigner->SelectedObjects();
  std::vector<TfrxComponent*>& objects = FDesigner->Objects();
  TfrxPage* page = FDesigner->Page();
  TfrxReport* report = FDesigner->Report();
  selected.clear();
  if (!page || !report) return;

  // Every line after the heading, each ended by CR LF.
  String text = Clipboard()->AsText();
  String body;
  {
    // CR, LF and CR LF each end a line; the heading's LF CR thus leaves an empty line.
    String line;
    bool heading = true;
    auto endLine = [&] {
      if (!heading) body += line + "\r\n";
      heading = false;
      line.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
      char ch = text[i];
      if (ch == '\r') {
        endLine();
        if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      } else if (ch == '\n') {
        endLine();
      } else {
        line += ch;
      }
    }
    if (!line.empty()) endLine();
  }
  TStringStream stream(body);
  TfrxXMLReader reader(&stream);
  TfrxXMLSerializer serializer(nullptr);
  std::vector<TfrxComponent*> pasted;
  std::map<String, int> nextNumber;

  auto place = [&](TfrxComponent* c, const String& name) {
    if (IsOnePerPageBand(c)) {
      for (int i = 0; i < page->ObjectCount(); ++i)
        if (page->Objects(i)->ClassType() == c->ClassType()) {
          delete c;
          return;
        }
    }
    if (!FitsPage(c, page)) {
      delete c;
      return;
    }
    pasted.push_back(c);
    if (dynamic_cast<TfrxBand*>(c)) {
      c->SetParent(page);
    } else {
      TfrxComponent* parent = page;
      for (auto it = pasted.rbegin(); it != pasted.rend(); ++it) {
        auto* band = dynamic_cast<TfrxBand*>(*it);
        if (band && band != c && band->Top() <= c->Top() && c->Top() < band->Top() + band->Height()) {
          parent = band;
          c->SetTop(c->Top() - band->Top());
          break;
        }
      }
      c->SetParent(parent);
    }
    TfrxComponent* holder = name.empty() ? nullptr : report->FindObject(name);
    if (name.empty() || (holder && holder != c)) {
      // The next free number of the class's base name. Pasting only adds names, so the
      // search for each base goes on from where the previous one stopped.
      String base = c->BaseName();
      int& next = nextNumber[base];
      if (next == 0) next = 1;
      while (report->FindObject(base + IntToStr(next))) ++next;
      c->SetName(base + IntToStr(next));
    } else {
      c->SetName(name);
    }
    c->SetGroupIndex(0);
    objects.push_back(c);
    if (c->Parent() == page) selected.push_back(c);
    c->AfterPaste();
  };
  auto finish = [&] {
    if (selected.empty()) selected.push_back(page);
  };

  try {
    while (reader.Position() < stream.Size()) {
      String name, attributes;
      reader.ReadTag(name, attributes);
      if (name.empty()) break;
      if (!name.empty() && name.back() == '/') name.pop_back();
      if (!attributes.empty() && attributes.back() == '/') attributes.pop_back();
      TfrxXMLItem item;
      item.SetText(attributes);
      String objectName = item.AttrValue("Name");
      // The name is given after placing (a taken one is renumbered then), so the leading
      // Name attribute the copy writes is not read as a property that would fail.
      if (attributes.compare(0, 6, "Name=\"") == 0) {
        std::size_t close = attributes.find('"', 6);
        if (close != String::npos) attributes.erase(0, close + 1);
      }
      TfrxComponent* c = serializer.ObjectFromText(report, name + " " + attributes);
      if (!c) break;
      place(c, objectName);
    }
  } catch (const EClassNotFound&) {
    finish();
    FDesigner->FlagModified(true);
    throw;
  }
  finish();
}
