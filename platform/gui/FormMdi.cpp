// The MDI part of forms (declared in Forms.h): the client area of an MDI form, its children
// in their frames, and cascading, tiling and arranging them.
#include "gui/Forms.h"

#include "gui/Application.h"
#include "gui/QtBridge_p.h"
#include "gui/QtGlue_p.h"
#include "gui/Screen.h"

#include "core/SysUtils.h"

#include <QtCore/QEvent>
#include <QtWidgets/QMdiArea>
#include <QtWidgets/QMdiSubWindow>

namespace {

// Keeps an MDI child's Left and Top with its frame when the user or the MDI area moves it.
class TSubWindowWatcher : public QObject {
public:
  TSubWindowWatcher(QObject* parent, TCustomForm* form) : QObject(parent), Form(form) {}
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::Move) {
      auto* w = static_cast<QWidget*>(o);
      try {
        gui_glue::TAccess::WidgetMoved(Form, w->x(), w->y());
      } catch (...) {
        gui_glue::HandleCurrentException(Form);
      }
    }
    return false;
  }
  TCustomForm* Form;
};

}  // namespace

void TCustomForm::EnsureMdiArea() {
  if (FMdiArea) return;
  FMdiArea = new TMdiArea(Widget());
  FMdiArea->setBackground(QBrush(ToQColor(GetSysColor(COLOR_APPWORKSPACE))));
  FMdiArea->lower();
  FMdiArea->show();
  FClientHandle = AllocateHWnd([this](TMessage& M) {
    switch (M.Msg) {
      case WM_MDICASCADE: Cascade(); return;
      case WM_MDITILE: Tile(); return;
      case WM_MDIICONARRANGE: ArrangeIcons(); return;
      case WM_MDINEXT: Next(); return;
      case WM_MDIGETACTIVE: {
        TForm* f = ActiveMDIChild();
        M.Result = f ? static_cast<LRESULT>(f->Handle()) : 0;
        return;
      }
      default: return;
    }
  });
  QObject::connect(FMdiArea, &QMdiArea::subWindowActivated, FMdiArea, [](QMdiSubWindow* sub) {
    if (!sub) return;
    TCustomForm* f = gui_glue::FormOfWidget(sub->widget());
    try {
      if (f && Screen && Screen->ActiveCustomForm() != f && f->Visible()) gui_glue::ActivateForm(f);
    } catch (...) {
      gui_glue::HandleCurrentException(f);
    }
  });
  Realign();
}

void TCustomForm::AlignControls(TControl* AControl, TRect& R) {
  TScrollingWinControl::AlignControls(AControl, R);
  if (FMdiArea) {
    TRect a = AlignedRemainder();
    TRect in = InsideMargins();
    FMdiArea->setGeometry(a.Left + in.Left, a.Top + in.Top, std::max(0, a.Width()), std::max(0, a.Height()));
    FMdiArea->lower();
  }
}

void TCustomForm::MakeMDIChild() {
  if (FSubWindow) return;
  TForm* main = Application ? Application->MainForm() : nullptr;
  if (!main || main->FormStyle() != fsMDIForm || main == this)
    throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
  main->EnsureMdiArea();
  QWidget* w = Widget();
  FSubWindow = new TMdiSubWindow;
  FSubWindow->setWidget(w);
  main->FMdiArea->addSubWindow(FSubWindow);
  FSubWindow->setAttribute(Qt::WA_DeleteOnClose, false);
  FSubWindow->setWindowTitle(ToQString(WindowText()));
  FSubWindow->installEventFilter(new TSubWindowWatcher(FSubWindow, this));
  FSubWindow->hide();
  FFormState += fsCreatedMDIChild;
  SendNCCalcSize();
  ApplyGeometry();
  // The MDI frame's own state changes (minimise, maximise, restore) are the form's.
  QObject::connect(FSubWindow, &QMdiSubWindow::windowStateChanged, FSubWindow,
                   [this](Qt::WindowStates, Qt::WindowStates now) {
                     FWindowState = (now & Qt::WindowMinimized) ? wsMinimized
                                    : (now & Qt::WindowMaximized) ? wsMaximized
                                                                  : wsNormal;
                   });
}

int TCustomForm::MDIChildCount() const {
  if (!FMdiArea) return 0;
  return static_cast<int>(FMdiArea->subWindowList().size());
}

TForm* TCustomForm::MDIChildren(int Index) const {
  if (!FMdiArea) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  auto list = FMdiArea->subWindowList(QMdiArea::StackingOrder);
  int n = static_cast<int>(list.size());
  if (Index < 0 || Index >= n) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return dynamic_cast<TForm*>(gui_glue::FormOfWidget(list[n - 1 - Index]->widget()));
}

TForm* TCustomForm::ActiveMDIChild() const {
  if (!FMdiArea) return nullptr;
  QMdiSubWindow* s = FMdiArea->currentSubWindow();
  if (!s) {
    auto list = FMdiArea->subWindowList(QMdiArea::StackingOrder);
    for (auto it = list.rbegin(); it != list.rend(); ++it)
      if ((*it)->isVisible()) {
        s = *it;
        break;
      }
  }
  return s ? dynamic_cast<TForm*>(gui_glue::FormOfWidget(s->widget())) : nullptr;
}

void TCustomForm::Cascade() {
  if (FMdiArea) FMdiArea->cascadeSubWindows();
}

void TCustomForm::Tile() {
  if (FMdiArea) FMdiArea->tileSubWindows();
}

void TCustomForm::ArrangeIcons() {
  if (!FMdiArea) return;
  int x = 0;
  int bottom = FMdiArea->viewport()->height();
  for (QMdiSubWindow* s : FMdiArea->subWindowList(QMdiArea::CreationOrder)) {
    if (!s->isMinimized()) continue;
    QSize sz = s->size();
    s->move(x, bottom - sz.height());
    x += sz.width();
  }
}

void TCustomForm::Next() {
  if (FMdiArea) FMdiArea->activateNextSubWindow();
}

void TCustomForm::Previous() {
  if (FMdiArea) FMdiArea->activatePreviousSubWindow();
}

HWND TCustomForm::ClientHandle() const { return FClientHandle; }

namespace gui_glue {

QMdiArea* TAccess::MdiAreaOf(TCustomForm* F) { return F->FMdiArea; }
QMdiSubWindow* TAccess::SubWindowOf(TCustomForm* F) { return F->FSubWindow; }

}  // namespace gui_glue
