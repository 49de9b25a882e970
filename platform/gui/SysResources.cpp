#include "gui/SysResources.h"

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
  if (Id != OBM_COMBO || !Bitmap) return false;
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
