// The report-aware design surface: tools, guides, field drops and drop-downs, pasted objects
// following the mouse.
#include "report/designer/frxDesgnWorkspace1.h"

#include "report/designer/frxDataTree.h"
#include "report/designer/frxDesgnCtrls.h"
#include "report/designer/frxDesignerForm.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxDMPClass.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxRes.h"
#include "report/frxUtils.h"

#include "core/ClassBuilder.h"
#include "core/FloatFormat.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Canvas.h"
#include "gui/ImgList.h"
#include "gui/ListCtrls.h"
#include "gui/TreeView.h"

#include <algorithm>
#include <cmath>

KELM_PUBLISH(TDesignerWorkspace) {}

TDesignerWorkspace::TDesignerWorkspace(TfrxDesignerForm* AOwner) : TfrxDesignerWorkspace(AOwner), FDesigner(AOwner) {}

TfrxReportPage* TDesignerWorkspace::ReportPage() const { return dynamic_cast<TfrxReportPage*>(FDesigner->Page()); }

bool TDesignerWorkspace::GuidesActive() const { return FShowGuides && ReportPage(); }

bool TDesignerWorkspace::DropFields() const { return FDesigner->DropFields(); }

bool TDesignerWorkspace::WantsTreeItem() const {
  TfrxDataTreeForm* tree = FDesigner->DataTreeForm();
  if (!tree) return false;
  return !tree->IsDataTabActive() || tree->InsFieldCB->Checked() || tree->InsCaptionCB->Checked();
}

void TDesignerWorkspace::SetTool(TfrxWorkspaceTool Value) {
  FTool = Value;
  StartInsertion(nullptr, 0, 0, 0);
  static const int cursors[] = {crDefault, kHandCursor, kZoomCursor, crIBeam, kFormatCursor};
  SetCursor(static_cast<TCursor>(cursors[Value]));
}

void TDesignerWorkspace::SetShowGuides(bool Value) {
  FShowGuides = Value;
  Invalidate();
}

void TDesignerWorkspace::Notification(TComponent* AComponent, TOperation Operation) {
  TfrxDesignerWorkspace::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopup) {
    FPopup = nullptr;
    FFieldList = nullptr;
    FPopupShown = false;
  }
}

// ---------------------------------------------------------------- pressing

void TDesignerWorkspace::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Locked()) return;
  switch (FTool) {
    case wtHand:
      ModeRef() = wmNone;
      MouseDownRef() = true;
      FHandX = X;
      FHandY = Y;
      return;
    case wtZoom:
    case wtText:
      ModeRef() = wmSelectRect;
      RubberBand() = {Extended(X), Extended(Y), Extended(X), Extended(Y)};
      break;
    case wtFormat:
      ModeRef() = wmNone;
      return;
    default:
      break;
  }
  if (PressOnDropButton(X, Y)) return;
  if (FTool == wtZoom && Button == mbRight) return;
  if (FTool == wtZoom || FTool == wtText) {
    // The rubber band is the tool's; a press never selects with these tools.
    MouseDownRef() = true;
    return;
  }
  TfrxDesignerWorkspace::MouseDown(Button, Shift, X, Y);
}

bool TDesignerWorkspace::PressOnDropButton(int X, int Y) {
  if (Inserting() || !FFieldTarget || !DropFields()) return false;
  Extended x = X / Scale(), y = Y / Scale();
  TfrxMemoView* t = FFieldTarget;
  Extended right = t->Left() + t->Width(), top = t->AbsTop();
  if (x < right - 16 || x > right || y < top || y > top + 16) return false;
  OpenFieldList();
  ModeRef() = wmNone;
  MouseDownRef() = false;
  return true;
}

void TDesignerWorkspace::OpenFieldList() {
  TfrxMemoView* t = FFieldTarget;
  FPopup = new TfrxPopupForm(this);
  FPopup->FreeNotification(this);
  FPopup->SetBounds(0, 0, 140, 162);
  FFieldList = new TListBox(FPopup);
  FFieldList->SetParent(FPopup);
  FFieldList->SetAlign(alClient);
  FFieldList->SetCtl3D(false);
  FFieldList->SetStyle(lbOwnerDrawFixed);
  FFieldList->SetItemHeight(16);
  FFieldList->OnClick = MakeEvent(this, &TDesignerWorkspace::FieldListClick);
  FFieldList->OnDrawItem = MakeEvent(this, &TDesignerWorkspace::FieldListDrawItem);
  FPopup->OnHide = MakeEvent(this, &TDesignerWorkspace::FieldPopupHidden);
  int left = static_cast<int>(Round((t->Left() + t->Width()) * Scale())) - 140;
  int top = static_cast<int>(Round(t->AbsTop() * Scale())) + 18;
  if (left < 0) left = 0;
  TPoint p = ClientToScreen({left, top});
  FPopup->SetBounds(p.X, p.Y, 140, 162);
  auto* band = dynamic_cast<TfrxDataBand*>(t->Parent());
  if (band && band->DataSet()) {
    TStringList fields;
    band->DataSet()->GetFieldList(&fields);
    FFieldList->Items()->Assign(&fields);
    FFieldList->SetItemIndex(fields.IndexOf(t->DataField()));
    FPopup->Show();
    FPopupShown = true;
  }
}

void TDesignerWorkspace::FieldListClick(TObject*) {
  if (!FFieldTarget || !FFieldList || FFieldList->ItemIndex() < 0) return;
  auto* band = dynamic_cast<TfrxDataBand*>(FFieldTarget->Parent());
  FFieldTarget->SetDataSet(band ? band->DataSet() : nullptr);
  FFieldTarget->SetDataField(FFieldList->Items()->Strings(FFieldList->ItemIndex()));
  FPopup->Hide();
  Changed();
  FlushModified();
  Invalidate();
}

void TDesignerWorkspace::FieldListDrawItem(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState) {
  auto* list = static_cast<TListBox*>(Control);
  TCanvas* c = list->Canvas();
  c->FillRect(Rect);
  ReportResources()->ToolImages()->Draw(c, Rect.Left, Rect.Top, 54);
  c->TextOut(Rect.Left + 20, Rect.Top + 1, list->Items()->Strings(Index));
}

void TDesignerWorkspace::FieldPopupHidden(TObject*) { FPopupShown = false; }

// ---------------------------------------------------------------- hovering and dragging

void TDesignerWorkspace::MouseMove(TShiftState Shift, int X, int Y) {
  if (Locked()) return;
  if (FTool == wtZoom || FTool == wtText) {
    // The tool's own rubber band; the plain surface would start selecting.
    TPanel::MouseMove(Shift, X, Y);
    if (MouseHeld() && Mode() == wmSelectRect) {
      RubberBand().Right = X;
      RubberBand().Bottom = Y;
      Invalidate();
    }
  } else if (FTool != wtHand && FTool != wtFormat) {
    TfrxDesignerWorkspace::MouseMove(Shift, X, Y);
  } else {
    TPanel::MouseMove(Shift, X, Y);
  }
  switch (FTool) {
    case wtHand: {
      SetCursor(static_cast<TCursor>(kHandCursor));
      if (!MouseHeld()) break;
      TControlScrollBar* h = FDesigner->ScrollBox->HorzScrollBar();
      TControlScrollBar* v = FDesigner->ScrollBox->VertScrollBar();
      int oldH = h->Position(), oldV = v->Position();
      h->SetPosition(oldH - static_cast<int>(Round(X - FHandX)));
      v->SetPosition(oldV - static_cast<int>(Round(Y - FHandY)));
      // At the end of a range the point under the cursor becomes the reference.
      if (h->Position() == oldH) FHandX = X;
      if (v->Position() == oldV) FHandY = Y;
      return;
    }
    case wtZoom: SetCursor(static_cast<TCursor>(kZoomCursor)); return;
    case wtText: SetCursor(crIBeam); return;
    case wtFormat: SetCursor(static_cast<TCursor>(kFormatCursor)); return;
    default: break;
  }
  Extended x = X / Scale(), y = Y / Scale();
  if (!MouseHeld() && !Inserting() && (Mode() == wmNone || Mode() == wmMoveGuide) && !FPopupShown) {
    HoverGuides(x, y);
    if (Mode() == wmNone) HoverFieldTarget(x, y);
  }
  if (MouseHeld() && Mode() == wmMoveGuide) MoveGuide(X, Y);
}

void TDesignerWorkspace::HoverGuides(Extended X, Extended Y) {
  TfrxReportPage* page = ReportPage();
  if (!page) return;
  if (Mode() == wmMoveGuide) ModeRef() = wmNone;
  TStrings* h = page->HGuides();
  for (int i = 0; i < h->Count(); ++i) {
    Extended g = StrToFloatAnySep(h->Strings(i));
    if (g - 5 < Y && Y < g + 5) {
      ModeRef() = wmMoveGuide;
      SetCursor(crVSplit);
      FGuide = i;
      FGuideVertical = false;
    }
  }
  TStrings* v = page->VGuides();
  for (int i = 0; i < v->Count(); ++i) {
    Extended g = StrToFloatAnySep(v->Strings(i));
    if (g - 5 < X && X < g + 5) {
      ModeRef() = wmMoveGuide;
      SetCursor(crHSplit);
      FGuide = i;
      FGuideVertical = true;
    }
  }
}

void TDesignerWorkspace::HoverFieldTarget(Extended X, Extended Y) {
  TfrxMemoView* found = nullptr;
  TObjectList& o = Objects();
  for (auto it = o.rbegin(); it != o.rend() && !found; ++it) {
    auto* m = dynamic_cast<TfrxMemoView*>(*it);
    if (!m) continue;
    if (X < m->Left() || X > m->Left() + m->Width() - 4 || Y < m->AbsTop() || Y > m->AbsTop() + m->Height()) continue;
    auto* band = dynamic_cast<TfrxDataBand*>(m->Parent());
    if (band && band->DataSet() && band->DataSet()->FieldsCount() > 0) found = m;
  }
  if (found != FFieldTarget) {
    FFieldTarget = found;
    Invalidate();
  }
}

void TDesignerWorkspace::MoveGuide(int X, int Y) {
  TfrxReportPage* page = ReportPage();
  if (!page || FGuide < 0) return;
  TStrings* list = FGuideVertical ? page->VGuides() : page->HGuides();
  if (FGuide >= list->Count()) return;
  Extended step = FGuideVertical ? GridX() : GridY();
  Extended& last = FGuideVertical ? LastX() : LastY();
  Extended d = (FGuideVertical ? X : Y) / Scale() - last;
  if (GridAlign()) {
    if (std::fabs(d) < step) return;
    d = std::trunc(d / step) * step;
  }
  if (d == 0) return;
  Changed();
  list->SetStrings(FGuide, FloatToStr(Round8(StrToFloatAnySep(list->Strings(FGuide)) + d)));
  last += d;
  Invalidate();
}

void TDesignerWorkspace::SnapDelta(Extended& DX, Extended& DY, bool&) {
  TfrxReportPage* page = ReportPage();
  if (!FShowGuides || !page) return;
  TStrings* hs = page->HGuides();
  TStrings* vs = page->VGuides();
  auto snap = [](TStrings* Guides, Extended V, Extended& D) {
    for (int i = 0; i < Guides->Count(); ++i) {
      Extended g = StrToFloatAnySep(Guides->Strings(i));
      if (std::fabs(V + D - g) < 6) {
        D = g - V;
        return;
      }
    }
  };
  if (Mode() == wmSizeBand && SizedBand()) {
    snap(hs, SizedBand()->Top() + SizedBand()->Height(), DY);
    return;
  }
  if (Inserting()) {
    TfrxInsertion& in = InsertionRef();
    if (!MouseHeld()) {
      snap(vs, in.Left, DX);
      snap(hs, in.Top, DY);
      snap(vs, in.Left + in.Width, DX);
      snap(hs, in.Top + in.Height, DY);
    } else {
      snap(vs, in.Left + DX, DX);
      snap(hs, in.Top + DY, DY);
    }
    return;
  }
  if (Mode() == wmMove) {
    for (TfrxComponent* c : SelectedObjects()) {
      snap(vs, c->Left(), DX);
      snap(hs, c->AbsTop(), DY);
      snap(hs, c->Top(), DY);
      snap(vs, c->Left() + c->Width(), DX);
      snap(hs, c->AbsTop() + c->Height(), DY);
    }
    return;
  }
  if (Mode() == wmSize && !SelectedObjects().empty()) {
    TfrxComponent* c = SelectedObjects().front();
    int h = Handle_();
    if (h == 1 || h == 4 || h == 6) snap(vs, c->Left(), DX);
    if (h == 1 || h == 3 || h == 7) snap(hs, c->AbsTop(), DY);
    if (h == 2 || h == 3 || h == 5) snap(vs, c->Left() + c->Width(), DX);
    if (h == 2 || h == 4 || h == 8) snap(hs, c->AbsTop() + c->Height(), DY);
  }
}

// ---------------------------------------------------------------- releasing

void TDesignerWorkspace::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Locked()) return;
  FPasteDrag = false;
  switch (FTool) {
    case wtHand:
      TPanel::MouseUp(Button, Shift, X, Y);
      MouseDownRef() = false;
      return;
    case wtZoom:
      TPanel::MouseUp(Button, Shift, X, Y);
      ZoomRelease(Button);
      MouseDownRef() = false;
      return;
    case wtText:
      TPanel::MouseUp(Button, Shift, X, Y);
      if (MouseHeld()) TextToolRelease();
      return;
    case wtFormat:
      TPanel::MouseUp(Button, Shift, X, Y);
      FormatPaint(X, Y);
      FlushModified();
      return;
    default:
      break;
  }
  if (Mode() == wmMoveGuide) DropGuide();
  TfrxDesignerWorkspace::MouseUp(Button, Shift, X, Y);
}

// The zoom tool's right click zooms out; no tool but the select tool opens the page menu.
void TDesignerWorkspace::DoContextPopup(TPoint MousePos, bool& Handled) {
  if (FTool != wtSelect) {
    Handled = true;
    return;
  }
  TfrxDesignerWorkspace::DoContextPopup(MousePos, Handled);
}

namespace {
TfrxRect Normalized(TfrxRect r) {
  if (r.Left > r.Right) std::swap(r.Left, r.Right);
  if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
  return r;
}
}  // namespace

void TDesignerWorkspace::ZoomRelease(TMouseButton Button) {
  ModeRef() = wmNone;
  TfrxRect r = Normalized(RubberBand());
  Extended old = Scale();
  TfrxReportPage* page = ReportPage();
  Extended ml = page ? page->LeftMargin() * 3.77953 : 0, mt = page ? page->TopMargin() * 3.77953 : 0;
  TfrxScrollBox* box = FDesigner->ScrollBox;
  Extended cw = box->ClientWidth() - 16, ch = box->ClientHeight() - 16;
  Extended bw = r.Right - r.Left, bh = r.Bottom - r.Top;
  if (bw > 5 && bh > 5) {
    Extended scale = bw / cw >= bh / ch ? cw / bw * old : ch / bh * old;
    FDesigner->SetScale(scale);
    Extended now = FDesigner->Scale();
    box->HorzScrollBar()->SetPosition(static_cast<int>(Round((r.Left / old + ml) * now)));
    box->VertScrollBar()->SetPosition(static_cast<int>(Round((r.Top / old + mt) * now)));
    return;
  }
  Extended scale = old;
  if (Button == mbLeft) scale += old >= 1 ? 1 : 0.25;
  else if (old >= 2) scale -= 1;
  else if (old > 0.4) scale -= 0.25;
  if (scale == old) return;
  FDesigner->SetScale(scale);
  Extended now = FDesigner->Scale();
  box->HorzScrollBar()->SetPosition(static_cast<int>(Round((r.Left / old + ml) * now - box->ClientWidth() * 0.5)));
  box->VertScrollBar()->SetPosition(static_cast<int>(Round((r.Top / old + mt) * now - box->ClientHeight() * 0.5)));
}

void TDesignerWorkspace::TextToolRelease() {
  ModeRef() = wmNone;
  MouseDownRef() = false;
  TfrxRect r = Normalized(RubberBand());
  if (InplaceMemo()->Visible()) EndEdit();
  TfrxComponent* target = nullptr;
  if (r.Right - r.Left >= 5 && r.Bottom - r.Top >= 5) {
    if (GridAlign()) {
      Extended gx = GridX() * Scale(), gy = GridY() * Scale();
      r = {std::trunc(r.Left / gx) * gx, std::trunc(r.Top / gy) * gy, std::trunc(r.Right / gx) * gx,
           std::trunc(r.Bottom / gy) * gy};
    }
    TfrxInsertion& in = InsertionRef();
    in.Left = r.Left / Scale();
    in.Top = r.Top / Scale();
    in.Width = (r.Right - r.Left) / Scale();
    in.Height = (r.Bottom - r.Top) / Scale();
    in.ComponentClass = dynamic_cast<TfrxDMPPage*>(FDesigner->Page()) ? TfrxDMPMemoView::StaticClass()
                                                                         : TfrxMemoView::StaticClass();
    if (OnInsertRequest) OnInsertRequest(this);
    in.ComponentClass = nullptr;
    ArrangeBands();
    if (!SelectedObjects().empty() && dynamic_cast<TfrxCustomMemoView*>(SelectedObjects().front()))
      target = SelectedObjects().front();
  } else {
    Extended x = r.Left / Scale(), y = r.Top / Scale();
    for (TfrxComponent* c : Objects())
      if (dynamic_cast<TfrxCustomMemoView*>(c) && x >= c->AbsLeft() && x <= c->AbsLeft() + c->Width() &&
          y >= c->AbsTop() && y <= c->AbsTop() + c->Height())
        target = c;
  }
  if (target) {
    SelectedObjects().assign(1, target);
    SelectionChanged();
    BeginEdit(target);
  }
  Invalidate();
}

void TDesignerWorkspace::FormatPaint(int X, int Y) {
  if (SelectedObjects().empty()) return;
  auto* source = dynamic_cast<TfrxView*>(SelectedObjects().front());
  if (!source) return;
  Extended x = X / Scale(), y = Y / Scale();
  TObjectList& o = Objects();
  for (auto it = o.rbegin(); it != o.rend(); ++it) {
    auto* m = dynamic_cast<TfrxMemoView*>(*it);
    if (!m || m == source || m->Restrictions().Contains(rfDontModify)) continue;
    if (x < m->AbsLeft() || x > m->AbsLeft() + m->Width() + 1 || y < m->AbsTop() || y > m->AbsTop() + m->Height() + 1)
      continue;
    m->SetColor(source->Color());
    m->SetFont(source->Font());
    m->Frame()->Assign(source->Frame());
    m->SetBrushStyle(source->BrushStyle());
    if (auto* sm = dynamic_cast<TfrxCustomMemoView*>(source)) {
      m->SetHAlign(sm->HAlign());
      m->SetVAlign(sm->VAlign());
    }
    Changed();
    Invalidate();
    return;
  }
}

void TDesignerWorkspace::DropGuide() {
  TfrxReportPage* page = ReportPage();
  if (!page || FGuide < 0) return;
  TStrings* list = FGuideVertical ? page->VGuides() : page->HGuides();
  if (FGuide >= list->Count()) return;
  Extended g = StrToFloatAnySep(list->Strings(FGuide));
  Extended limit = (FGuideVertical ? Width() : Height()) / Scale();
  if (g < 3 || g > limit - 3) {
    list->Delete(FGuide);
    Changed();
  }
  FGuide = -1;
  Invalidate();
}

// ---------------------------------------------------------------- pasting, keys, deleting

void TDesignerWorkspace::StartPasteDrag() {
  TfrxBoundsRect b = GetSelectionBounds();
  int x = static_cast<int>(Round(b.Left * Scale())) + 20, y = static_cast<int>(Round(b.Top * Scale())) + 20;
  ModeRef() = wmMove;
  TfrxDesignerWorkspace::MouseDown(mbLeft, {}, x, y);
  ModeRef() = wmMove;
  FPasteDrag = true;
}

void TDesignerWorkspace::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE && FPasteDrag) {
    TfrxBoundsRect b = GetSelectionBounds();
    MouseUp(mbLeft, {}, static_cast<int>(Round(b.Left * Scale())), static_cast<int>(Round(b.Top * Scale())));
    Key = VK_DELETE;
  }
  TfrxDesignerWorkspace::KeyDown(Key, Shift);
}

void TDesignerWorkspace::DblClick() {
  if (FTool == wtSelect) TfrxDesignerWorkspace::DblClick();
}

void TDesignerWorkspace::DeleteSelection() {
  FFieldTarget = nullptr;
  bool subreport = false;
  for (TfrxComponent* c : SelectedObjects())
    if (c->Is<TfrxSubreport>()) subreport = true;
  TfrxPage* page = FDesigner->Page();
  TfrxDesignerWorkspace::DeleteSelection();
  if (!subreport) return;
  int index = 0;
  TfrxReport* report = FDesigner->Report();
  while (index < report->CountPages() && report->PageAt(index) != page) ++index;
  FDesigner->RebuildPageTabs(index);
}

// ---------------------------------------------------------------- painting

void TDesignerWorkspace::DrawObjects(TCanvas* Canvas) {
  TfrxReportPage* page = ReportPage();
  if (page && page->Columns() > 1) {
    Canvas->Pen()->SetColor(static_cast<TColor>(0xC0C0C0));
    Canvas->Pen()->SetStyle(psSolid);
    Canvas->Pen()->SetWidth(1);
    TStrings* cols = page->ColumnPositions();
    for (int i = 0; i < cols->Count(); ++i) {
      int x = static_cast<int>(Round(StrToFloatAnySep(cols->Strings(i)) * 3.77953 * Scale()));
      if (x == 0) continue;
      Canvas->MoveTo(x, 0);
      Canvas->LineTo(x, Height());
    }
  }
  if (page && FShowGuides) {
    Canvas->Pen()->SetColor(static_cast<TColor>(0xFFCC00));
    Canvas->Pen()->SetStyle(psSolid);
    Canvas->Pen()->SetWidth(1);
    TStrings* h = page->HGuides();
    for (int i = 0; i < h->Count(); ++i) {
      int y = static_cast<int>(Round(StrToFloatAnySep(h->Strings(i)) * Scale()));
      Canvas->MoveTo(0, y);
      Canvas->LineTo(Width(), y);
    }
    TStrings* v = page->VGuides();
    for (int i = 0; i < v->Count(); ++i) {
      int x = static_cast<int>(Round(StrToFloatAnySep(v->Strings(i)) * Scale()));
      Canvas->MoveTo(x, 0);
      Canvas->LineTo(x, Height());
    }
  }
  TfrxDesignerWorkspace::DrawObjects(Canvas);
  if (FFieldTarget && DropFields()) {
    int x = static_cast<int>(Round((FFieldTarget->Left() + FFieldTarget->Width()) * Scale())) - 16;
    int y = static_cast<int>(Round(FFieldTarget->AbsTop() * Scale())) + 2;
    Canvas->Brush()->SetColor(clBtnFace);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Pen()->SetColor(clBtnShadow);
    Canvas->Rectangle(x, y, x + 16, y + 16);
    Canvas->Brush()->SetColor(clBlack);
    Canvas->Pen()->SetColor(clBlack);
    Canvas->Polygon({{x + 4, y + 6}, {x + 7, y + 9}, {x + 10, y + 6}});
  }
}

// ---------------------------------------------------------------- drag and drop

void TDesignerWorkspace::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  Accept = false;
  if (!ReportPage()) return;
  TfrxDataTreeForm* tree = FDesigner->DataTreeForm();
  auto* ruler = dynamic_cast<TfrxRuler*>(Source);
  bool fromTree = tree && Source && dynamic_cast<TTreeView*>(Source) &&
                  static_cast<TComponent*>(static_cast<TTreeView*>(Source))->Owner() == tree;
  if (fromTree) Accept = FDesigner->CheckOp(drDontInsertObject) && !tree->SelectedItemText().empty();
  else if (ruler) Accept = FDesigner->ShowGuides();
  if (!Accept) return;
  if (ruler) {
    Repaint();
    if (GridAlign()) {
      X = static_cast<int>(Round(std::trunc(X / (GridX() * Scale())) * GridX() * Scale()));
      Y = static_cast<int>(Round(std::trunc(Y / (GridY() * Scale())) * GridY() * Scale()));
    }
    Canvas()->Pen()->SetColor(clBlack);
    Canvas()->Pen()->SetWidth(1);
    if (ruler->Vertical()) {
      Canvas()->MoveTo(X, 0);
      Canvas()->LineTo(X, Height());
    } else {
      Canvas()->MoveTo(0, Y);
      Canvas()->LineTo(Width(), Y);
    }
    MouseMove({}, X, Y);
    return;
  }
  if (!Inserting() && WantsTreeItem()) {
    String text = tree->SelectedItemText();
    TfrxDataSet* ds = nullptr;
    String field;
    FDesigner->Report()->SplitDataSetField(text.substr(1, text.size() >= 2 ? text.size() - 2 : 0), ds, field);
    int chars = 10;
    if (ds && !field.empty()) chars = ds->DisplayWidth(field);
    chars = std::min(chars, 100);
    Extended w = Round(chars * 8 / GridX()) * GridX();
    StartInsertion(TfrxMemoView::StaticClass(), 0, w, DefaultObjectSize(FDesigner->Units()).Height);
  }
  MouseMove({}, X - 8, Y - 8);
}

void TDesignerWorkspace::DragDrop(TObject* Source, int X, int Y) {
  if (auto* ruler = dynamic_cast<TfrxRuler*>(Source)) {
    DropRulerGuide(ruler, X, Y);
  } else if (WantsTreeItem()) {
    DropTreeItem(X, Y);
  }
  Changed();
  TfrxDesignerWorkspace::MouseUp(mbLeft, {}, X, Y);
  SelectionChanged();
}

void TDesignerWorkspace::DropRulerGuide(TObject* Ruler, int X, int Y) {
  TfrxReportPage* page = ReportPage();
  if (!page) return;
  bool vertical = static_cast<TfrxRuler*>(Ruler)->Vertical();
  Extended v = vertical ? X / Scale() : Y / Scale();
  Extended step = vertical ? GridX() : GridY();
  if (GridAlign()) v = std::trunc(v / step) * step;
  (vertical ? page->VGuides() : page->HGuides())->Add(FloatToStr(Round8(v)));
}

void TDesignerWorkspace::DropTreeItem(int, int) {
  TfrxDataTreeForm* tree = FDesigner->DataTreeForm();
  TfrxPage* page = FDesigner->Page();
  String text = tree->SelectedItemText();
  bool dmp = dynamic_cast<TfrxDMPPage*>(page) != nullptr;
  auto make = [&]() -> TfrxCustomMemoView* {
    TfrxCustomMemoView* m = dmp ? static_cast<TfrxCustomMemoView*>(new TfrxDMPMemoView(page))
                                : static_cast<TfrxCustomMemoView*>(new TfrxMemoView(page));
    m->SetParent(page);
    m->AssignNumberedName();
    m->SetIsDesigning(true);
    return m;
  };
  SelectedObjects().clear();
  String inner = text.size() >= 2 ? text.substr(1, text.size() - 2) : String();
  TfrxDataSet* ds = nullptr;
  String field;
  FDesigner->Report()->SplitDataSetField(inner, ds, field);
  TfrxInsertion& in = InsertionRef();
  bool dataTab = tree->IsDataTabActive();
  if (!dataTab || tree->InsFieldCB->Checked()) {
    TfrxCustomMemoView* m = make();
    m->SetDataSet(ds);
    m->SetDataField(field);
    if (!ds && field.empty()) m->SetText(StartsStr("<", text) ? "[" + inner + "]" : "[" + text + "]");
    m->SetBounds(Round8(in.Left), Round8(in.Top), Round8(in.Width), Round8(in.Height));
    Objects().push_back(m);
    SelectedObjects().push_back(m);
    in.Top -= in.Height;
  }
  if (dataTab && tree->InsCaptionCB->Checked()) {
    TfrxCustomMemoView* m = make();
    m->SetText(field);
    m->SetBounds(Round8(in.Left), Round8(in.Top), Round8(in.Width), Round8(in.Height));
    Objects().push_back(m);
    SelectedObjects().push_back(m);
  }
  StartInsertion(nullptr, 0, 0, 0);
}
