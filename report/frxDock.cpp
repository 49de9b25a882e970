#include "report/frxDock.h"

#include "core/ClassBuilder.h"
#include "core/IniFiles.h"
#include "gui/Application.h"
#include "gui/Buttons.h"
#include "gui/Canvas.h"
#include "gui/Window.h"

#include <algorithm>
#include <vector>

KELM_PUBLISH(TfrxDock) {}
KELM_PUBLISH(TfrxDragBox) {}
KELM_PUBLISH(TfrxFloatWindow) {}
KELM_PUBLISH(TfrxToolBar) {}

namespace {

std::vector<TfrxToolBar*> VisibleBars(TWinControl* Dock) {
  std::vector<TfrxToolBar*> r;
  for (int i = 0; i < Dock->ControlCount(); ++i)
    if (auto* b = dynamic_cast<TfrxToolBar*>(Dock->Controls(i)); b && b->Visible()) r.push_back(b);
  return r;
}

// A bar's near and far coordinate across the dock's rows.
int Near(TControl* C, bool Vertical) { return Vertical ? C->Left() : C->Top(); }
int Far(TControl* C, bool Vertical) { return Vertical ? C->Left() + C->Width() : C->Top() + C->Height(); }

TPoint CursorNow() { return Mouse ? Mouse->CursorPos() : TPoint{0, 0}; }

}  // namespace

// ================================================================ TfrxDock

TfrxDock::TfrxDock(TComponent* AOwner) : TPanel(AOwner) {
  SetAlign(alTop);
  SetBevelOuter(bvNone);
  SetColor(clBtnFace);
  SetCaption("");
}

void TfrxDock::ArrangeRows() {
  const bool vertical = IsVertical();
  const bool fromFar = Align() == alBottom || Align() == alRight;
  auto thickness = [&] { return vertical ? Width() : Height(); };
  // The alignment keeps the dock against its edge, so a bottom or right dock grows inwards.
  auto setThickness = [&](int T) {
    if (vertical) SetWidth(T);
    else SetHeight(T);
  };
  auto shift = [&](TControl* C, int By) {
    if (vertical) C->SetLeft(C->Left() + By);
    else C->SetTop(C->Top() + By);
  };
  std::vector<TfrxToolBar*> bars = VisibleBars(this);
  bool anyChild = false;
  for (int i = 0; i < ControlCount(); ++i)
    if (dynamic_cast<TfrxToolBar*>(Controls(i))) anyChild = true;
  if (!anyChild) {
    setThickness(1);
    return;
  }
  int rows = thickness() / FRowSize;
  int T = rows * FRowSize + 1;
  if (!fromFar) {
    int e = 0;
    for (int examined = 0; examined < rows;) {
      bool occupied = std::any_of(bars.begin(), bars.end(), [&](TfrxToolBar* b) {
        return Near(b, vertical) == e || (Near(b, vertical) < e && Far(b, vertical) > e);
      });
      if (occupied) {
        e += FRowSize;
        ++examined;
        continue;
      }
      for (TfrxToolBar* b : bars)
        if (Near(b, vertical) > e) shift(b, -FRowSize);
      --rows;
      T -= FRowSize;
    }
    for (TfrxToolBar* b : bars)
      if (Far(b, vertical) > T) {
        T = Far(b, vertical) + 1;
        break;
      }
  } else {
    int e = thickness();
    for (int examined = 0; examined < rows; ++examined, e -= FRowSize) {
      bool occupied = std::any_of(bars.begin(), bars.end(), [&](TfrxToolBar* b) {
        return Far(b, vertical) == e || (Far(b, vertical) > e && Near(b, vertical) < e);
      });
      if (occupied) continue;
      for (TfrxToolBar* b : bars)
        if (Far(b, vertical) > e) shift(b, -FRowSize);
      T -= FRowSize;
    }
    for (TfrxToolBar* b : bars)
      if (Near(b, vertical) < 0) {
        int by = 1 - Near(b, vertical);
        for (TfrxToolBar* o : bars) shift(o, by);
        T += by;
        break;
      }
    for (TfrxToolBar* b : bars) T = std::max(T, Far(b, vertical));
  }
  setThickness(T);
}

// ================================================================ TfrxDragBox

TfrxDragBox::TfrxDragBox(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 8, 8); }

TfrxToolBar* TfrxDragBox::Bar() const { return dynamic_cast<TfrxToolBar*>(Parent()); }

void TfrxDragBox::Paint() {
  TCanvas* c = Canvas();
  c->Brush()->SetColor(clBtnFace);
  c->FillRect({0, 0, Width(), Height()});
  c->Pen()->SetColor(clBtnShadow);
  TfrxToolBar* bar = Bar();
  bool vertical = bar && bar->DockOrientation() == doVertical;
  if (vertical) {
    for (int x = 1; x < Width(); x += 2) {
      c->MoveTo(x, 2);
      c->LineTo(x, 5);
    }
  } else {
    for (int y = 1; y < Height(); y += 2) {
      c->MoveTo(2, y);
      c->LineTo(5, y);
    }
  }
}

void TfrxDragBox::MouseDown(TMouseButton, TShiftState, int X, int Y) {
  if (TfrxToolBar* b = Bar()) b->BeginDrag(ClientToScreen({X, Y}));
}

void TfrxDragBox::MouseMove(TShiftState, int X, int Y) {
  if (TfrxToolBar* b = Bar()) b->DragTo(ClientToScreen({X, Y}));
}

void TfrxDragBox::MouseUp(TMouseButton, TShiftState, int, int) {
  if (TfrxToolBar* b = Bar()) b->EndDrag();
}

// ================================================================ TfrxFloatWindow

TfrxFloatWindow::TfrxFloatWindow(TComponent* AOwner) : TForm(AOwner) {
  SetBorderStyle(bsNone);
  SetFormStyle(fsStayOnTop);
  SetColor(clBtnFace);
  Font()->SetName("Tahoma");
  Font()->SetSize(8);
  SetClientWidth(213);
  SetClientHeight(61);
  auto* close = new TSpeedButton(this);
  close->SetParent(this);
  close->SetBounds(ClientWidth() - 14, 4, 11, 11);
  close->SetFlat(true);
  close->SetCaption("x");
  close->OnClick = TNotifyEvent::Lambda([this](TObject*) { Hide(); });
  CloseBtn = close;
}

TfrxFloatWindow::~TfrxFloatWindow() {
  if (ToolBar) ToolBar->ForgetWindow();
}

void TfrxFloatWindow::DoShow() {
  if (CloseBtn) CloseBtn->SetBounds(Width() - 14, 4, 11, 11);
  TForm::DoShow();
}

void TfrxFloatWindow::StartMove() {
  SetMouseCapture(true);
  PressAt(CursorNow());
}

void TfrxFloatWindow::PressAt(TPoint Screen) {
  LastCursor = Screen;
  Pressed = true;
}

void TfrxFloatWindow::MoveWithPointer(TPoint Screen) {
  if (!Pressed) return;
  SetBounds(Left() + Screen.X - LastCursor.X, Top() + Screen.Y - LastCursor.Y, Width(), Height());
  LastCursor = Screen;
  auto* form = dynamic_cast<TCustomForm*>(Owner());
  if (ToolBar && form) ToolBar->DockAtPoint(form, form->ScreenToClient(Screen));
}

void TfrxFloatWindow::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TForm::MouseDown(Button, Shift, X, Y);
  PressAt(ClientToScreen({X, Y}));
}

void TfrxFloatWindow::MouseMove(TShiftState Shift, int X, int Y) {
  TForm::MouseMove(Shift, X, Y);
  if (Shift.Contains(ssLeft)) MoveWithPointer(ClientToScreen({X, Y}));
}

void TfrxFloatWindow::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TForm::MouseUp(Button, Shift, X, Y);
  ReleasePointer();
}

void TfrxFloatWindow::Paint() {
  TCanvas* c = Canvas();
  int w = ClientWidth(), h = ClientHeight();
  c->Brush()->SetColor(clBtnFace);
  c->FillRect({0, 0, w, h});
  c->Pen()->SetColor(static_cast<TColor>(0x808080));
  c->Pen()->SetWidth(3);
  c->Brush()->SetStyle(bsClear);
  c->Rectangle(1, 1, w - 1, h - 1);
  c->Pen()->SetWidth(1);
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(static_cast<TColor>(0x808080));
  c->FillRect({3, 3, w - 3, 18});
  c->Pen()->SetColor(clBtnFace);
  c->MoveTo(2, 3);
  c->LineTo(2, h - 3);
  c->MoveTo(3, 2);
  c->LineTo(w - 3, 2);
  c->MoveTo(w - 3, 3);
  c->LineTo(w - 3, h - 3);
  c->MoveTo(3, h - 3);
  c->LineTo(w - 3, h - 3);
  c->Brush()->SetStyle(bsClear);
  c->Font()->Assign(Font());
  c->Font()->SetStyle({fsBold});
  c->Font()->SetColor(clCaptionText);
  c->TextOut(6, 3, Caption());
}

// ================================================================ TfrxToolBar

TfrxToolBar::TfrxToolBar(TComponent* AOwner) : TPanel(AOwner) {
  SetBevelOuter(bvNone);
  SetColor(clBtnFace);
  SetCaption("");
  SetHeight(26);
  FDragBox = new TfrxDragBox(this);
  FDragBox->SetParent(this);
  FDragBox->SetAlign(alLeft);
}

TfrxToolBar::~TfrxToolBar() {
  if (FFloatingWindow) {
    TfrxFloatWindow* w = FFloatingWindow;
    w->ToolBar = nullptr;
    FFloatingWindow = nullptr;
    SetParent(nullptr);
    delete w;
  }
}

void TfrxToolBar::Loaded() {
  TPanel::Loaded();
  FitToButtons();
}

TfrxDock* TfrxToolBar::Dock() const { return dynamic_cast<TfrxDock*>(Parent()); }

TfrxDockOrientation TfrxToolBar::DockOrientation() const {
  if (!Parent()) return doNone;
  switch (Parent()->Align()) {
    case alTop:
    case alBottom: return doHorizontal;
    case alLeft:
    case alRight: return doVertical;
    default: return doNone;
  }
}

void TfrxToolBar::PlaceGrip() {
  if (!FDragBox) return;
  FDragBox->SetAlign(DockOrientation() == doVertical ? alTop : alLeft);
  if (DockOrientation() == doVertical) FDragBox->SetHeight(8);
  else FDragBox->SetWidth(8);
}

void TfrxToolBar::Resize() {
  TPanel::Resize();
  PlaceGrip();
}

void TfrxToolBar::AdjustOrientation() {
  if (FDragBox) FDragBox->SetBounds(0, 0, 8, 8);
  const bool vertical = DockOrientation() == doVertical;
  std::vector<TControl*> controls;
  for (int i = 0; i < ControlCount(); ++i)
    if (Controls(i) != FDragBox) controls.push_back(Controls(i));
  if (!vertical) {
    if (Width() < Height()) SetBounds(Left(), Top(), Height(), Width());
    for (TControl* c : controls) {
      if (!c->Visible() || c->Align() == alLeft || c->Align() == alRight) continue;
      if (c->Align() == alBottom) {
        c->SetAlign(alRight);
        continue;
      }
      c->SetLeft(c->Top());
      c->SetAlign(alLeft);
    }
  } else {
    if (Height() < Width()) SetBounds(Left(), Top(), Height(), Width());
    for (TControl* c : controls) {
      if (!c->Visible() || c->Align() == alTop || c->Align() == alBottom) continue;
      if (c->Align() == alRight) {
        c->SetAlign(alBottom);
        continue;
      }
      c->SetTop(c->Left());
      c->SetAlign(alTop);
    }
  }
  PlaceGrip();
}

void TfrxToolBar::FitToButtons() {
  AdjustOrientation();
  const bool vertical = DockOrientation() == doVertical;
  int length = 4;
  for (int i = 0; i < ControlCount(); ++i)
    if (Controls(i)->Visible()) length += vertical ? Controls(i)->Height() : Controls(i)->Width();
  if (vertical) SetHeight(length);
  else SetWidth(length);
}

bool TfrxToolBar::IsShown() const { return FFloating && FFloatingWindow ? FFloatingWindow->Visible() : Visible(); }

void TfrxToolBar::SetShown(bool Value) {
  if (FFloating && FFloatingWindow) FFloatingWindow->SetVisible(Value);
  else SetVisible(Value);
}

void TfrxToolBar::DockInto(TfrxDock* ADock) {
  int x = 0, y = 0;
  switch (ADock->Align()) {
    case alBottom: y = 1 - Height(); break;
    case alLeft: x = ADock->Width() - 1; break;
    case alRight: x = 1 - Width(); break;
    default: y = ADock->Height() - 1; break;
  }
  DockAt(ADock, x, y);
}

void TfrxToolBar::DockAt(TfrxDock* ADock, int X, int Y) {
  Hide();
  if (FFloatingWindow) {
    TfrxFloatWindow* w = FFloatingWindow;
    FFloatingWindow = nullptr;
    w->ToolBar = nullptr;
    w->Hide();
    // The window may be inside its own mouse handler: it goes once that has returned.
    w->Release();
  }
  TfrxDock* left = Dock();
  SetParent(ADock);
  if (left && left != ADock) left->ArrangeRows();
  FFloating = false;
  if (FDragBox) FDragBox->Show();
  AdjustOrientation();
  SetBounds(X, Y, Width(), Height());
  Show();
  FitToButtons();
  ADock->ArrangeRows();
}

void TfrxToolBar::FloatAt(int X, int Y) {
  FFloating = true;
  if (FFloatingWindow) {
    FFloatingWindow->SetBounds(X, Y, FFloatingWindow->Width(), FFloatingWindow->Height());
    return;
  }
  Hide();
  if (FDragBox) FDragBox->Hide();
  TCustomForm* form = GetParentForm(this);
  auto* w = new TfrxFloatWindow(form ? static_cast<TComponent*>(form) : Application);
  w->SetCaption(Caption());
  w->ToolBar = this;
  FFloatingWindow = w;
  TfrxDock* left = Dock();
  SetParent(w);
  AdjustOrientation();
  FitToButtons();
  if (left) left->ArrangeRows();
  w->SetClientWidth(Width() + 6);
  w->SetClientHeight(Height() + 21);
  w->SetBounds(X, Y, w->Width(), w->Height());
  SetBounds(3, 18, Width(), Height());
  Show();
  w->Show();
}

void TfrxToolBar::FloatAtCursor() {
  FFloating = true;
  TPoint p = CursorNow();
  FloatAt(p.X, p.Y);
  if (FFloatingWindow) FFloatingWindow->StartMove();
}

bool TfrxToolBar::MoveTo(int X, int Y) {
  if (FFloating) return true;
  TfrxDock* dock = Dock();
  if (!dock) return true;
  const bool vertical = DockOrientation() == doVertical;
  int& along = vertical ? Y : X;
  const int across = vertical ? X : Y;
  const int length = vertical ? Height() : Width();
  const int thick = vertical ? Width() : Height();
  const int dockLength = vertical ? dock->Height() : dock->Width();
  bool floatMark = false;
  int passes = 0;
  while (passes < 4) {
    ++passes;
    bool changed = false;
    if (along < -20) floatMark = true;
    if (along < 0) {
      along = 0;
      changed = true;
    }
    if (along + length > dockLength) {
      along = dockLength - length;
      changed = true;
    }
    if (!floatMark)
      for (TfrxToolBar* other : VisibleBars(dock)) {
        if (other == this) continue;
        int oNear = Near(other, vertical), oFar = Far(other, vertical);
        bool overlap = (oNear <= across && across < oFar) || (across <= oNear && oNear < across + thick);
        if (!overlap) continue;
        int oStart = vertical ? other->Top() : other->Left();
        int oEnd = oStart + (vertical ? other->Height() : other->Width());
        if (along >= oStart && along < oEnd) {
          along = oEnd;
          changed = true;
        }
        if (oStart > along && oStart < along + length) {
          along = oStart - length;
          changed = true;
        }
      }
    if (!changed || floatMark) break;
  }
  if (!FCanFloat) floatMark = false;
  if (floatMark) {
    FloatAtCursor();
    return true;
  }
  if (passes >= 3) return false;
  const int extent = vertical ? dock->Width() : dock->Height();
  const int E = (across < 0 || across + thick > extent) ? extent : 0;
  SetBounds(X, Y, Width(), Height());
  dock->ArrangeRows();
  if (FCanFloat && E == (vertical ? dock->Width() : dock->Height())) FloatAtCursor();
  return true;
}

bool TfrxToolBar::DockAtPoint(TWinControl* Container, TPoint P) {
  TfrxDock* dock = nullptr;
  for (int i = 0; i < Container->ControlCount() && !dock; ++i) {
    auto* d = dynamic_cast<TfrxDock*>(Container->Controls(i));
    if (d && P.X >= d->Left() && P.X <= d->Left() + d->Width() && P.Y >= d->Top() && P.Y <= d->Top() + d->Height())
      dock = d;
  }
  if (!dock) return false;
  if (FOrientation == toHorzOnly && dock->IsVertical()) return false;
  if (FOrientation == toVertOnly && !dock->IsVertical()) return false;
  int x, y;
  if (dock->IsVertical()) {
    x = dock->Align() == alRight ? 1 - Height() : dock->Width() - 1;
    y = std::clamp(P.Y - dock->Top(), 0, std::max(0, dock->Height() - Height()));
  } else {
    y = dock->Align() == alBottom ? 1 - Height() : dock->Height() - 1;
    x = std::clamp(P.X - dock->Left(), 0, std::max(0, dock->Width() - Width()));
  }
  DockAt(dock, x, y);
  SetMouseCapture(true);
  BeginDrag(CursorNow());
  return true;
}

void TfrxToolBar::BeginDrag(TPoint Screen) {
  FDragOrigin = Screen;
  FDragging = true;
}

void TfrxToolBar::DragTo(TPoint Screen) {
  if (FFloating) {
    FDragging = false;
    return;
  }
  TfrxDock* dock = Dock();
  if (!FDragging || !dock) return;
  const bool vertical = DockOrientation() == doVertical;
  int stepX = vertical ? dock->RowSize() : 1, stepY = vertical ? 1 : dock->RowSize();
  int dx = (Screen.X - FDragOrigin.X) / stepX * stepX;
  int dy = (Screen.Y - FDragOrigin.Y) / stepY * stepY;
  if (dx == 0 && dy == 0) return;
  if (MoveTo(Left() + dx, Top() + dy)) {
    if (dx != 0) FDragOrigin.X = Screen.X;
    if (dy != 0) FDragOrigin.Y = Screen.Y;
  }
}

void TfrxToolBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TPanel::MouseDown(Button, Shift, X, Y);
  BeginDrag(ClientToScreen({X, Y}));
}

void TfrxToolBar::MouseMove(TShiftState Shift, int X, int Y) {
  TPanel::MouseMove(Shift, X, Y);
  DragTo(ClientToScreen({X, Y}));
}

void TfrxToolBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TPanel::MouseUp(Button, Shift, X, Y);
  EndDrag();
}

void TfrxToolBar::Paint() {
  TCanvas* c = Canvas();
  c->Brush()->SetColor(clBtnFace);
  c->FillRect({0, 0, Width(), Height()});
  if (FFloating) return;
  c->Pen()->SetColor(clBtnHighlight);
  c->MoveTo(0, Height() - 1);
  c->LineTo(0, 0);
  c->LineTo(Width() - 1, 0);
  c->Pen()->SetColor(clBtnShadow);
  c->LineTo(Width() - 1, Height() - 1);
  c->LineTo(0, Height() - 1);
}

// ================================================================ layouts

void SaveToolBarLayout(TCustomIniFile* Store, TfrxToolBar* Bar) {
  String s = "ToolBar." + Bar->Name();
  Store->WriteBool(s, "Float", Bar->Floating());
  Store->WriteBool(s, "Visible", Bar->IsShown());
  TControl* placed = Bar->Floating() && Bar->FloatingWindow() ? static_cast<TControl*>(Bar->FloatingWindow()) : Bar;
  Store->WriteInteger(s, "Left", placed->Left());
  Store->WriteInteger(s, "Top", placed->Top());
  Store->WriteInteger(s, "Width", Bar->Width());
  Store->WriteInteger(s, "Height", Bar->Height());
  if (Bar->Dock()) Store->WriteString(s, "Dock", Bar->Dock()->Name());
  else Store->DeleteKey(s, "Dock");
}

void RestoreToolBarLayout(TCustomIniFile* Store, TfrxToolBar* Bar) {
  String s = "ToolBar." + Bar->Name();
  Bar->Hide();
  int x = Store->ReadInteger(s, "Left", Bar->Left());
  int y = Store->ReadInteger(s, "Top", Bar->Top());
  if (Store->ReadBool(s, "Float", false)) {
    Bar->FloatAt(x, y);
  } else {
    Bar->SetBounds(x, y, Bar->Width(), Bar->Height());
    String dockName = Store->ReadString(s, "Dock", Bar->Parent() ? Bar->Parent()->Name() : String());
    TComponent* owner = Bar->Owner();
    auto* dock = owner ? dynamic_cast<TfrxDock*>(owner->FindComponent(dockName)) : nullptr;
    if (dock && dock != Bar->Parent()) Bar->DockAt(dock, x, y);
  }
  Bar->SetBounds(Bar->Left(), Bar->Top(), Store->ReadInteger(s, "Width", Bar->Width()),
                 Store->ReadInteger(s, "Height", Bar->Height()));
  Bar->FitToButtons();
  Bar->SetShown(Store->ReadBool(s, "Visible", true));
}

void SaveFormLayout(TCustomIniFile* Store, TCustomForm* Form) {
  String s = "Form." + Form->ClassName();
  Store->WriteInteger(s, "Left", Form->Left());
  Store->WriteInteger(s, "Top", Form->Top());
  Store->WriteInteger(s, "Width", Form->Width());
  Store->WriteInteger(s, "Height", Form->Height());
  Store->WriteBool(s, "Maximized", Form->WindowState() == wsMaximized);
  Store->WriteBool(s, "Visible", Form->Visible());
  TWinControl* host = Form->Parent();
  Store->WriteString(s, "Dock", host ? host->Name() : String());
}

void RestoreFormLayout(TCustomIniFile* Store, TCustomForm* Form) {
  String s = "Form." + Form->ClassName();
  if (Store->ReadBool(s, "Maximized", false)) {
    Form->SetWindowState(wsMaximized);
  } else {
    Form->SetBounds(Store->ReadInteger(s, "Left", Form->Left()), Store->ReadInteger(s, "Top", Form->Top()),
                    Store->ReadInteger(s, "Width", Form->Width()), Store->ReadInteger(s, "Height", Form->Height()));
  }
  // "Dock" names a dock site; forms are docked by the dock sites themselves.
  Form->SetVisible(Store->ReadBool(s, "Visible", true));
}
