#pragma once
// The colours of the Office 2003 look: from a table when the blue, olive or silver scheme of
// the platform's visual style is active, else derived from the user's system colours. The
// scheme is computed at the first acquisition and again on every system colour change; the
// expand-button bitmaps live from the first acquisition to the last release.
#include "gui/Colors.h"
#include "gui/GdiTypes.h"

class TBitmap;

// The colours, named by their position in the scheme table; valid after the first
// acquisition, and still after the last release.
extern TColor Office11Color00, Office11Color01, Office11Color02, Office11Color03, Office11Color04,
    Office11Color11, Office11Color14, Office11Color15, Office11Color16, Office11Color18, Office11Color21,
    Office11Color22, Office11Color23, Office11Color24, Office11Color25, Office11Color30, Office11Color31,
    Office11Color32, Office11Color33, Office11Color34, Office11Color35;
extern TColor Office11HighlightColor;       // white with a theme scheme, clBtnHighlight without
extern TColor Office11BlendedShadowColor;   // Color04 and Color11 half and half
// The corner colours of the expand buttons.
constexpr TColor Office11ExpandButtonColor1 = TColor(RGB(158, 174, 191));
constexpr TColor Office11ExpandButtonColor2 = TColor(RGB(46, 70, 95));

// 0 no theme scheme, 1 blue, 2 olive, 3 silver.
int DetectOffice11Scheme();
void ComputeOffice11Colors();
void AcquireOffice11Scheme();
void RefreshOffice11Scheme();
void ReleaseOffice11Scheme();
int Office11SchemeNumber();
// The colours come from the scheme table.
bool Office11SchemeFromTheme();
// The expand button, collapsed (plus) or expanded (minus); nullptr while not acquired.
TBitmap* Office11ExpandButtonBitmap(bool Expanded);

// Colour1 weighted by Percent, Colour2 by the rest, per channel, as the screen shows it.
TColor BlendColors(TColor Colour1, TColor Colour2, int Percent);
// Bands from Colour1 to Colour2 across R (left to right, or top to bottom), at most 256.
void FillGradientRect(HDC DC, const TRect& R, TColor Colour1, TColor Colour2, bool Horizontal);
void FillColorRect(HDC DC, const TRect& R, TColor Colour);
