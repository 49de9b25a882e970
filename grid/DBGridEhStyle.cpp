// The grid style object: the highlight rules and colours every grid asks for.
#include "grid/DBGridEhStyle.h"

#include "core/ClassBuilder.h"
#include "grid/DBGridEh.h"
#include "gui/Forms.h"
#include "gui/WinGDI.h"
#include "gui/Application.h"

#include <algorithm>
#include <cmath>

namespace {
TDBGridEhStyle* gShared = nullptr;
bool gSharedFreed = false;
}  // namespace

KELM_PUBLISH(TDBGridEhStyle) {}

TDBGridEhStyle* SharedGridStyle() {
  if (!gShared && !gSharedFreed) {
    gShared = new TDBGridEhStyle();
    AddExitProc(FreeSharedGridStyle);
  }
  return gShared;
}

void FreeSharedGridStyle() {
  gSharedFreed = true;
  delete gShared;
}

TDBGridEhStyle::TDBGridEhStyle() {
  FHandle = AllocateHWnd([this](TMessage& M) { StyleWindowProc(M); });
  RefreshScreenColors();
}

TDBGridEhStyle::~TDBGridEhStyle() {
  if (FHandle) DeallocateHWnd(FHandle);
  if (gShared == this) gShared = nullptr;
  while (!FGrids.empty()) FGrids.back()->SetStyle(nullptr);
}

void TDBGridEhStyle::AttachGrid(TCustomDBGridEh* Grid) {
  if (!IsGridAttached(Grid)) FGrids.push_back(Grid);
}

void TDBGridEhStyle::DetachGrid(TCustomDBGridEh* Grid) { std::erase(FGrids, Grid); }

bool TDBGridEhStyle::IsGridAttached(TCustomDBGridEh* Grid) const {
  return std::find(FGrids.begin(), FGrids.end(), Grid) != FGrids.end();
}

void TDBGridEhStyle::StyleWindowProc(TMessage& Message) {
  // A message window has no default handling beyond answering 0.
  if (Message.Msg != WM_SYSCOLORCHANGE) {
    Message.Result = 0;
    return;
  }
  try {
    RefreshScreenColors();
  } catch (Exception& E) {
    if (Application) Application->ShowException(E);
  }
}

void TDBGridEhStyle::RefreshScreenColors() {
  HDC dc = GetScreenDC();
  FScreenColorCount = GetDeviceCaps(dc, NUMCOLORS);
}

TColor TDBGridEhStyle::BlendHighlightColor(TColor Color, TColor HighlightColor, bool Deepen) const {
  COLORREF c = ColorToRGB(Color), h = ColorToRGB(HighlightColor);
  auto channel = [Deepen](int C, int H) {
    double v = C + (H - C) * 0.5;
    v = v + (225 - v) * 0.6;
    if (Deepen) v = v - (122 - v) * 0.25;
    // An exact half goes to the even neighbour.
    return std::clamp(static_cast<int>(std::nearbyint(v)), 0, 255);
  };
  return TColor(RGB(channel(GetRValue(c), GetRValue(h)), channel(GetGValue(c), GetGValue(h)),
                    channel(GetBValue(c), GetBValue(h))));
}

bool TDBGridEhStyle::HighlightDataCell(TCustomDBGridEh* Grid, int ACol, TFont* AFont, TColor& Background,
                                       TGridDrawState& State, int DataRow, int DataCol, int ARow) {
  TDBGridOptions opts = Grid->Options();
  TDBGridEhOptions optsEh = Grid->OptionsEh();
  bool currentRow = ARow == Grid->Row();
  bool currentCol = ACol == Grid->Col();
  bool selected = Grid->DataLink()->Active() && Grid->DataSet() &&
                  Grid->Selection()->ContainsDataCell(DataCol, Grid->DataSet()->GetBookmark());
  bool focusHighlight = false;
  if (!selected) {
    focusHighlight = Grid->HasInputFocus() && optsEh.Contains(dghHighlightFocus);
    if (optsEh.Contains(dghRowHighlight) && currentRow && Grid->Selection()->SelectionKind() == gstNon &&
        !currentCol) {
      focusHighlight = true;
      State.Include(gdSelected);
    }
    selected = (State.Contains(gdSelected) || (currentRow && opts.Contains(dgRowSelect))) &&
               (opts.Contains(dgAlwaysShowSelection) || focusHighlight) &&
               (Grid->InternalUpdateCount() == 0 || opts.Contains(dgRowSelect));
  }
  if (!selected) return false;
  bool onCurrent = currentRow && (currentCol || opts.Contains(dgRowSelect));
  if (!Grid->HasInputFocus()) {
    if (onCurrent && (focusHighlight || opts.Contains(dgAlwaysShowSelection))) {
      Background = clBtnShadow;
      AFont->SetColor(clHighlightText);
    } else {
      Background = TrueColor() ? BlendHighlightColor(Background, clBtnShadow, false) : clBtnFace;
    }
  } else if (FBlendSelection && TrueColor()) {
    if (onCurrent) {
      Background = clHighlight;
      AFont->SetColor(clHighlightText);
    } else {
      Background = BlendHighlightColor(Background, clHighlight, true);
    }
  } else {
    Background = clHighlight;
    AFont->SetColor(clHighlightText);
  }
  return true;
}

bool TDBGridEhStyle::HighlightFixedCell(TCustomDBGridEh* Grid, TFont* AFont, TColor& Background, bool Highlighted,
                                        int CellType) {
  if (!Highlighted) return false;
  int colArea = CellType & 0xFF, rowArea = CellType >> 8;
  bool indicator = colArea == TCustomDBGridEh::caIndicator && rowArea != TCustomDBGridEh::raFiller;
  bool titleOrFilter = colArea == TCustomDBGridEh::caData &&
                       (rowArea == TCustomDBGridEh::raTitle || rowArea == TCustomDBGridEh::raFilter);
  if (indicator || titleOrFilter) {
    Background = TColor(RGB(64, 64, 64));
    AFont->SetColor(clWhite);
  } else if (Grid->HasInputFocus()) {
    if (FBlendSelection && TrueColor()) Background = BlendHighlightColor(Background, clHighlight, true);
    else {
      Background = clHighlight;
      AFont->SetColor(clHighlightText);
    }
  } else {
    Background = TrueColor() ? BlendHighlightColor(Background, clBtnShadow, false) : clBtnFace;
  }
  return true;
}
