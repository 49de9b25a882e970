#pragma once
// What the system itself holds for a program: its string table entries, its parameters (the
// fonts of the non-client metrics) and its own bitmaps (OBM_), drawn here.
#include "gui/Graphics.h"

// ---------------------------------------------------------------- string table
// The texts the platform library keeps under numbers; the empty string for others.
// 61258 "Previous Month|", 61259 "Previous Year|", 61260 "Next Month|", 61261 "Next Year|",
// 61262 "Select a Date" (the bar ends a short hint).
String LoadStr(int Ident);
// The platform's button captions.
extern const char* const SOKButton;      // "OK"
extern const char* const SCancelButton;  // "Cancel"

// ---------------------------------------------------------------- system parameters
constexpr UINT SPI_GETNONCLIENTMETRICS = 41;

struct NONCLIENTMETRICS {
  UINT cbSize = 340;  // the size the system's own record has
  int iBorderWidth = 1, iScrollWidth = 17, iScrollHeight = 17, iCaptionWidth = 18, iCaptionHeight = 18;
  LOGFONT lfCaptionFont;
  int iSmCaptionWidth = 12, iSmCaptionHeight = 15;
  LOGFONT lfSmCaptionFont;
  int iMenuWidth = 18, iMenuHeight = 18;
  LOGFONT lfMenuFont, lfStatusFont, lfMessageFont;
};

// SPI_GETNONCLIENTMETRICS fills a NONCLIENTMETRICS (Param its cbSize): every font is the
// message font 宋体 at -12 pixels (drawn with the substituted Chinese face). Other actions and
// a wrong size fail (0).
BOOL SystemParametersInfo(UINT Action, UINT Param, void* PvParam, UINT WinIni);

// ---------------------------------------------------------------- system bitmaps
constexpr int OBM_COMBO = 32738;       // the combo box's drop-down arrow
constexpr int OBM_CHECKBOXES = 32759;  // the sheet of check-box and radio-button pictures

// The system bitmap Id drawn into Bitmap; false for an unknown id. OBM_COMBO is a black
// 7 x 4 downward triangle centred on a 13 x 7 button-face picture. OBM_CHECKBOXES is a 52 x 39
// sheet of 13 x 13 pictures: rows check box, radio button, three-state box; columns normal,
// checked, pushed, pushed and checked.
bool LoadSystemBitmap(int Id, TBitmap* Bitmap);
