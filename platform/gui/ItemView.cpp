// The base of the tree view and the list view.
#include "gui/ItemView.h"

#include "gui/CtrlUtils_p.h"
#include "gui/Edit.h"
#include "gui/ImageListLink_p.h"
#include "gui/ImgList.h"
#include "gui/WinScroll.h"

#include "core/ClassBuilder.h"

#include <algorithm>

namespace {

// The edit that renames a tree node or a list item in place: it keeps Enter and Escape for
// itself (not the form's default and cancel buttons) and ends the editing when it loses the
// focus. Done runs inside the edit's own handler, so the owner hides the edit, never frees it
// there.
class TInplaceLabelEdit : public TEdit {
public:
  explicit TInplaceLabelEdit(std::function<void(bool Cancel)> Done) : TEdit(nullptr), FDone(std::move(Done)) {
    SetBorderStyle(bsSingle);
    SetCtl3D(false);
  }
  void Dispatch(TMessage& M) override {
    switch (M.Msg) {
      case WM_GETDLGCODE:
        TEdit::Dispatch(M);
        M.Result |= DLGC_WANTALLKEYS;
        return;
      case WM_KEYDOWN:
        if (M.WParam == VK_RETURN || M.WParam == VK_ESCAPE) {
          if (FDone) FDone(M.WParam == VK_ESCAPE);
          return;
        }
        break;
      case WM_CHAR:
        if (M.WParam == '\r' || M.WParam == 27) return;
        break;
      case WM_KILLFOCUS:
        TEdit::Dispatch(M);
        if (Visible() && FDone) FDone(false);
        return;
      default:
        break;
    }
    TEdit::Dispatch(M);
  }

private:
  std::function<void(bool)> FDone;
};

}  // namespace

KELM_PUBLISH(TCustomItemView) {}

TCustomItemView::TCustomItemView(TComponent* AOwner, int Width, int Height) : TWinControl(AOwner) {
  FCanvas = std::make_unique<TControlCanvas>();
  FCanvas->SetControl(this);
  FBars = std::make_unique<TWindowScrollBars>(this);
  FImageLink = std::make_unique<TChangeLink>();
  FImageLink->SetOnChange(TNotifyEvent::Lambda([this](TObject*) { ImagesChanged(); }));
  SetControlStyle({csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque});
  SetBounds(0, 0, Width, Height);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
}

TCustomItemView::~TCustomItemView() {
  if (FStateImages) FStateImages->UnRegisterChanges(FImageLink.get());
  delete FEditor;
  FEditor = nullptr;
  FCanvas->SetControl(nullptr);
}

TCanvas* TCustomItemView::Canvas() const { return FCanvas.get(); }

void TCustomItemView::CreateParams(TCreateParams& P) {
  TWinControl::CreateParams(P);
  ctrl_utils::AddBorderStyle(P, FBorderStyle, Ctl3D());
}

void TCustomItemView::SetBorderStyle(TBorderStyle v) {
  if (FBorderStyle == v) return;
  FBorderStyle = v;
  RecreateWnd();
}

void TCustomItemView::SetHideSelection(bool v) {
  FHideSelection = v;
  Invalidate();
}

void TCustomItemView::SetStateImages(TCustomImageList* v) {
  if (SwapImages(FStateImages, v)) ImagesChanged();
}

bool TCustomItemView::SwapImages(TCustomImageList*& Slot, TCustomImageList* Value) {
  return SwapImageList(Slot, Value, FImageLink.get(), this);
}

void TCustomItemView::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FStateImages) {
    FStateImages = nullptr;
    ImagesChanged();
  }
}

void TCustomItemView::WndProc(TMessage& M) {
  if (FBars->MouseMessage(M)) return;
  TWinControl::WndProc(M);
}

void TCustomItemView::Dispatch(TMessage& M) {
  if (FBars->Dispatch(M)) return;
  switch (M.Msg) {
    case WM_GETDLGCODE:
      M.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
      return;
    case WM_ERASEBKGND:
      M.Result = 1;
      return;
    case WM_SIZE:
      TWinControl::Dispatch(M);
      LayoutChanged(false);
      return;
    case CM_FONTCHANGED:
      TWinControl::Dispatch(M);
      FontChanged();
      LayoutChanged(true);
      return;
    case WM_TIMER:
      if (M.WParam == EditDelayTimer) {
        KillTimer(Handle(), EditDelayTimer);
        EditDelayExpired();
        return;
      }
      if (TimerExpired(M.WParam)) return;
      break;
    default:
      break;
  }
  TWinControl::Dispatch(M);
}

void TCustomItemView::DefaultHandler(TMessage& M) {
  switch (M.Msg) {
    case WM_PAINT: PaintItems(reinterpret_cast<HDC>(M.WParam)); return;
    case WM_KEYDOWN: KeyDownDefault(M); return;
    case WM_CHAR: CharDefault(M); return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: MouseDownDefault(M, false, M.Msg == WM_LBUTTONDBLCLK); return;
    case WM_RBUTTONDOWN: WMRButtonDown(M); return;
    case WM_MOUSEMOVE:
      if (MouseMoveDefault(M)) return;
      break;
    case WM_LBUTTONUP: WMLButtonUp(M); return;
    case WM_VSCROLL: ScrollDefault(M, false); return;
    case WM_HSCROLL: ScrollDefault(M, true); return;
    case WM_MOUSEWHEEL: WMMouseWheelDefault(M); return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: Invalidate(); break;
    default: break;
  }
  TWinControl::DefaultHandler(M);
}

// A right press selects as a left one does, and goes on to the context menu.
void TCustomItemView::WMRButtonDown(TMessage& M) {
  MouseDownDefault(M, true, false);
  TWinControl::DefaultHandler(M);
}

int TCustomItemView::CellHeight() const {
  if (FCellHeight <= 0) FCellHeight = ctrl_utils::CellHeightOf(Font());
  return FCellHeight;
}

bool TCustomItemView::ViewFocused() const {
  return GetFocus() == const_cast<TCustomItemView*>(this)->Handle() || (FEditor && FEditor->Focused());
}

void TCustomItemView::ShowLabelEditor(std::function<void(bool Cancel)> Done, const TRect& Label, int Height,
                                      const String& Text) {
  if (!FEditor) {
    // Done runs inside the edit's own handler: the edit is hidden there, not freed.
    FEditor = new TInplaceLabelEdit(std::move(Done));
    FEditor->SetVisible(false);
    FEditor->SetParent(this);
  }
  FEditor->Font()->Assign(Font());
  FEditor->SetBounds(Label.Left - 1, Label.Top, std::max(Label.Width() + 40, 60), Height);
  FEditor->SetText(Text);
  FEditor->SetVisible(true);
  FEditor->SelectAll();
  if (FEditor->CanFocus()) FEditor->SetFocus();
}

String TCustomItemView::HideLabelEditor() {
  bool hadFocus = FEditor && FEditor->Focused();
  String s = FEditor ? FEditor->Text() : String();
  if (FEditor) FEditor->SetVisible(false);
  if (hadFocus && CanFocus()) SetFocus();
  return s;
}
