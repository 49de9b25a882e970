// The designer window's formatting commands (fonts, text alignment, frames, colours, rotation,
// dot-matrix styles, fit to grid) and the alignment palette.
#include "report/designer/frxDesignerForm.h"

#include "report/designer/frxDesgnWorkspace.h"
#include "report/designer/frxEditHighlight.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxDMPClass.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxUtils.h"
#include "report/frxView.h"

#include "core/ClassBuilder.h"
#include "core/Scope.h"
#include "core/SysUtils.h"
#include "gui/Dialogs.h"
#include "gui/Menus.h"
#include "gui/ToolBar.h"

#include <algorithm>
#include <cmath>
#include <functional>

void TfrxDesignerForm::PublishFormatting(TClassBuilder<TfrxDesignerForm>& b) {
  b.Method("ToolButtonClick", &TfrxDesignerForm::ToolButtonClick);
  b.Method("AlignButtonClick", &TfrxDesignerForm::AlignButtonClick);
  b.Method("HighlightBClick", &TfrxDesignerForm::HighlightBClick);
}

namespace {
TfrxFrame* FrameOfObject(TfrxComponent* C) {
  if (auto* v = dynamic_cast<TfrxView*>(C)) return v->Frame();
  if (auto* p = dynamic_cast<TfrxReportPage*>(C)) return p->Frame();
  return nullptr;
}

TfrxDMPFontStyles* DMPStylesOf(TfrxComponent* C, TfrxDMPFontStyles& Scratch) {
  if (auto* m = dynamic_cast<TfrxDMPMemoView*>(C)) Scratch = m->FontStyle();
  else if (auto* l = dynamic_cast<TfrxDMPLineView*>(C)) Scratch = l->FontStyle();
  else if (auto* p = dynamic_cast<TfrxDMPPage*>(C)) Scratch = p->FontStyle();
  else return nullptr;
  return &Scratch;
}

void SetDMPStyles(TfrxComponent* C, TfrxDMPFontStyles Styles) {
  if (auto* m = dynamic_cast<TfrxDMPMemoView*>(C)) m->SetFontStyle(Styles);
  else if (auto* l = dynamic_cast<TfrxDMPLineView*>(C)) l->SetFontStyle(Styles);
  else if (auto* p = dynamic_cast<TfrxDMPPage*>(C)) p->SetFontStyle(Styles);
}

Extended Snap(Extended Value, Extended Step) { return Step > 0 ? std::round(Value / Step) * Step : Value; }
}  // namespace

void TfrxDesignerForm::ToolButtonClick(TObject* Sender) {
  if (FUpdatingControls) return;
  auto* component = dynamic_cast<TComponent*>(Sender);
  if (!component) return;
  const int tag = static_cast<int>(component->Tag());
  auto* button = dynamic_cast<TToolButton*>(Sender);
  bool down = button && button->Down();

  // The font dialog works on the first object's font; every selected object takes the result.
  std::unique_ptr<TFont> chosen;
  if (tag == 43) {
    if (SelectedObjects().empty() || !SelectedObjects().front()->Font()) return;
    TFontDialog dialog(nullptr);
    dialog.Font()->Assign(SelectedObjects().front()->Font());
    if (!dialog.Execute()) return;
    chosen = std::make_unique<TFont>();
    chosen->Assign(dialog.Font());
  }
  int fontSize = 0;
  if (tag == 1) fontSize = StrToInt(FontSizeCB->Text());  // not a number: the conversion error, nothing changed
  Extended frameWidth = tag == 29 ? StrToFloatAnySep(FrameWidthCB->Text()) : 0;
  int angle = 0;
  if (auto* item = dynamic_cast<TMenuItem*>(Sender); item && tag == 30) angle = item->HelpContext();
  bool checked = false;
  if (auto* item = dynamic_cast<TMenuItem*>(Sender)) checked = item->Checked();

  bool changed = false;
  for (TfrxComponent* c : SelectedObjects()) {
    if (c->Restrictions().Contains(rfDontModify)) continue;
    changed = true;
    TFont* font = c->Font();
    auto* memo = dynamic_cast<TfrxCustomMemoView*>(c);
    TfrxFrame* frame = FrameOfObject(c);
    auto styleFlag = [&](TFontStyle S) {
      if (!font) return;
      TFontStyles st = font->Style();
      if (down) st += S;
      else st -= S;
      font->SetStyle(st);
    };
    auto frameLine = [&](TfrxFrameType T) {
      if (!frame) return;
      TfrxFrameTypes typ = frame->Typ();
      if (down) typ += T;
      else typ -= T;
      frame->SetTyp(typ);
    };
    switch (tag) {
      case 0: if (font) font->SetName(FontNameCB->Text()); break;
      case 1: if (font) font->SetSize(fontSize); break;
      case 2: styleFlag(fsBold); break;
      case 3: styleFlag(fsItalic); break;
      case 4: styleFlag(fsUnderline); break;
      case 5: if (font) font->SetColor(FPickedColor); break;
      case 7: case 8: case 9: case 10:
        if (memo) {
          if (TextAlignLeftB->Down()) memo->SetHAlign(haLeft);
          else if (TextAlignCenterB->Down()) memo->SetHAlign(haCenter);
          else if (TextAlignRightB->Down()) memo->SetHAlign(haRight);
          else if (TextAlignBlockB->Down()) memo->SetHAlign(haBlock);
        }
        break;
      case 11: case 12: case 13:
        if (memo) {
          if (TextAlignTopB->Down()) memo->SetVAlign(vaTop);
          else if (TextAlignMiddleB->Down()) memo->SetVAlign(vaCenter);
          else if (TextAlignBottomB->Down()) memo->SetVAlign(vaBottom);
        }
        break;
      case 20: frameLine(ftTop); break;
      case 21: frameLine(ftBottom); break;
      case 22: frameLine(ftLeft); break;
      case 23: frameLine(ftRight); break;
      case 24: if (frame) frame->SetTyp({ftLeft, ftRight, ftTop, ftBottom}); break;
      case 25: if (frame) frame->SetTyp({}); break;
      case 26:
        if (auto* v = dynamic_cast<TfrxView*>(c)) v->SetColor(FPickedColor);
        else if (auto* rp = dynamic_cast<TfrxReportPage*>(c)) rp->SetColor(FPickedColor);
        else if (auto* dp = dynamic_cast<TfrxDialogPage*>(c)) {
          dp->SetColor(FPickedColor);
          FWorkspace->SetPageColor(FPickedColor);
        } else if (auto* dc = dynamic_cast<TfrxDialogControl*>(c)) dc->SetColor(FPickedColor);
        break;
      case 27: if (frame) frame->SetColor(FPickedColor); break;
      case 28: if (frame) frame->SetStyle(FPickedFrameStyle); break;
      case 29: if (frame) frame->SetWidth(frameWidth); break;
      case 30: if (memo) memo->SetRotation(angle); break;
      case 31: {
        Extended gx = FWorkspace->GridX(), gy = FWorkspace->GridY();
        Extended w = Snap(c->Width(), gx), h = Snap(c->Height(), gy);
        // An object never shrinks to nothing: a zero size becomes one grid step.
        c->SetBounds(Snap(c->Left(), gx), Snap(c->Top(), gy), w == 0 ? gx : w, h == 0 ? gy : h);
        break;
      }
      case 32: if (frame) frame->SetDropShadow(down); break;
      case 33:
        if (memo) memo->SetStyle(StyleCB->ItemIndex() == 0 ? String() : StyleCB->Text());
        break;
      case 34: case 35: case 36: case 37: case 38: case 39: case 40: case 41: case 42: {
        TfrxDMPFontStyles scratch;
        if (TfrxDMPFontStyles* st = DMPStylesOf(c, scratch)) {
          auto s = static_cast<TfrxDMPFontStyle>(tag - 34);
          if (checked) *st -= s;
          else *st += s;
          SetDMPStyles(c, *st);
        }
        break;
      }
      case 43: if (font && chosen) font->Assign(chosen.get()); break;
      default: break;
    }
    // A text object whose look was changed by hand no longer follows its style.
    bool clearsStyle = (tag >= 0 && tag <= 5) || (tag >= 20 && tag <= 29) || tag == 32;
    if (memo && clearsStyle) {
      memo->SetStyle("");
      if (StyleCB->Items()->Count() > 0) StyleCB->SetItemIndex(0);
    }
  }
  if (changed) {
    FModifiedBy = this;
    FlagModified(true);
    if (tag == 24 || tag == 25 || (tag >= 34 && tag <= 43)) UpdateControls();
  }
  if (ScrollBox->CanFocus() && Visible()) ScrollBox->SetFocus();
}

// ---------------------------------------------------------------- highlight

void TfrxDesignerForm::HighlightBClick(TObject*) {
  if (SelectedObjects().empty()) return;
  auto* first = dynamic_cast<TfrxCustomMemoView*>(SelectedObjects().front());
  if (!first || !EditHighlight(this, first)) return;
  // The other selected text objects take the same highlight.
  for (TfrxComponent* c : SelectedObjects())
    if (auto* memo = dynamic_cast<TfrxMemoView*>(c); memo && memo != first) memo->SetHighlight(first->Highlight());
  FlagModified(true);
}

// ---------------------------------------------------------------- alignment palette

void TfrxDesignerForm::SpreadSelection(bool Vertical) {
  std::vector<TfrxComponent*> objects(SelectedObjects());
  if (objects.size() < 3) return;
  auto edge = [&](TfrxComponent* c) { return Vertical ? c->Top() : c->Left(); };
  // Sorted by the edges' values: a text key would put 10000 before 9999.
  std::stable_sort(objects.begin(), objects.end(),
                   [&](TfrxComponent* a, TfrxComponent* b) { return std::round(edge(a)) < std::round(edge(b)); });
  Extended step = (edge(objects.back()) - edge(objects.front())) / static_cast<Extended>(objects.size() - 1);
  for (std::size_t i = 1; i + 1 < objects.size(); ++i) {
    Extended e = edge(objects[i - 1]) + step;
    if (Vertical) objects[i]->SetTop(e);
    else objects[i]->SetLeft(e);
  }
}

void TfrxDesignerForm::AlignButtonClick(TObject* Sender) {
  std::vector<TfrxComponent*>& s = SelectedObjects();
  if (s.empty()) return;
  TfrxComponent* f = s.front();
  auto others = [&](bool SizeCommand, const std::function<void(TfrxComponent*)>& Do) {
    if (s.size() < 2) return;
    for (std::size_t i = 1; i < s.size(); ++i) {
      TfrxComponent* o = s[i];
      if (o->Restrictions().Contains(SizeCommand ? rfDontSize : rfDontMove)) continue;
      Do(o);
    }
  };
  auto absAlign = [&](bool Bottoms) {
    others(false, [&](TfrxComponent* o) {
      Extended fAbs = f->AbsTop() + (Bottoms ? f->Height() - o->Height() : 0);
      if (std::fabs(o->Top() - o->AbsTop()) < 0.0001) o->SetTop(fAbs);
      else o->SetTop(fAbs - o->AbsTop() + o->Top());
    });
  };
  auto centre = [&](bool Vertical) {
    for (TfrxComponent* c : s) {
      if (!c->Is<TfrxView>() || c->Restrictions().Contains(rfDontMove)) continue;
      Extended room;
      if (auto* band = dynamic_cast<TfrxBand*>(c->Parent())) room = Vertical ? band->Height() : band->Width();
      else room = (Vertical ? FWorkspace->Height() : FWorkspace->Width()) / FScale;
      if (Vertical) c->SetTop((room - c->Height()) * 0.5);
      else c->SetLeft((room - c->Width()) * 0.5);
    }
  };
  if (Sender == AlignLeftsB) others(false, [&](TfrxComponent* o) { o->SetLeft(f->Left()); });
  else if (Sender == AlignRightsB) others(false, [&](TfrxComponent* o) { o->SetLeft(f->Left() + f->Width() - o->Width()); });
  else if (Sender == AlignHorzCentersB)
    others(false, [&](TfrxComponent* o) { o->SetLeft(f->Left() + f->Width() / 2 - o->Width() / 2); });
  else if (Sender == AlignTopsB) absAlign(false);
  else if (Sender == AlignBottomsB) absAlign(true);
  else if (Sender == AlignVertCentersB)
    others(false, [&](TfrxComponent* o) { o->SetTop(f->Top() + f->Height() / 2 - o->Height() / 2); });
  else if (Sender == SpaceHorzB) SpreadSelection(false);
  else if (Sender == SpaceVertB) SpreadSelection(true);
  else if (Sender == CenterHorzB) centre(false);
  else if (Sender == CenterVertB) centre(true);
  else if (Sender == SameWidthB) others(true, [&](TfrxComponent* o) { o->SetWidth(f->Width()); });
  else if (Sender == SameHeightB) others(true, [&](TfrxComponent* o) { o->SetHeight(f->Height()); });
  else return;
  FlagModified(true);
}
