#include "gui/SysResources.h"
#include "gui/GdiDraw.h"

#include <utility>

const char* const SOKButton = "OK";
const char* const SCancelButton = "Cancel";

String LoadStr(int Ident) {
  static const std::pair<int, const char*> kTable[] = {{61258, "Previous Month|"},
                                                      {61259, "Previous Year|"},
                                                      {61260, "Next Month|"},
                                                      {61261, "Next Year|"},
                                                      {61262, "Select a Date"}};
  for (const auto& [id, text] : kTable)
    if (id == Ident) return text;
  return String();
}

BOOL SystemParametersInfo(UINT Action, UINT Param, void* PvParam, UINT) {
  if (Action != SPI_GETNONCLIENTMETRICS || !PvParam) return 0;
  auto* m = static_cast<NONCLIENTMETRICS*>(PvParam);
  if (Param != 340 || m->cbSize != 340) return 0;
  LOGFONT font;
  font.lfHeight = -12;
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = 134;  // GB2312
  font.lfFaceName = "宋体";
  m->lfCaptionFont = m->lfSmCaptionFont = m->lfMenuFont = m->lfStatusFont = m->lfMessageFont = font;
  m->lfCaptionFont.lfWeight = FW_BOLD;
  return 1;
}

bool LoadSystemBitmap(int Id, TBitmap* Bitmap) {
  if (!Bitmap) return false;
  if (Id == OBM_CHECKBOXES) {
    Bitmap->SetSize(52, 39);
    static const UINT kKinds[3] = {DFCS_BUTTONCHECK, DFCS_BUTTONRADIO, DFCS_BUTTON3STATE};
    static const UINT kStates[4] = {0, DFCS_CHECKED, DFCS_PUSHED, DFCS_PUSHED | DFCS_CHECKED};
    for (int row = 0; row < 3; ++row)
      for (int col = 0; col < 4; ++col) {
        TRect r{col * 13, row * 13, col * 13 + 13, row * 13 + 13};
        DrawFrameControl(Bitmap->Canvas()->Handle(), r, DFC_BUTTON, kKinds[row] | kStates[col]);
      }
    return true;
  }
  if (Id != OBM_COMBO) return false;
  Bitmap->SetSize(13, 7);
  TCanvas* c = Bitmap->Canvas();
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(Rect(0, 0, 13, 7));
  c->Pen()->SetColor(clBlack);
  for (int row = 0; row < 4; ++row) {
    c->MoveTo(3 + row, 2 + row);
    c->LineTo(10 - row, 2 + row);
  }
  return true;
}
