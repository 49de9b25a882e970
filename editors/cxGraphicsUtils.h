#pragma once
// The drawing types of the editor library (borders, text flags, clip combine modes, bitmap
// turns, the painters' view parameters) and its rectangle and colour helpers.
// Declares TcxViewParams.
#include "core/TypInfo.h"
#include "core/Types.h"
#include "gui/Colors.h"

class TBitmap;
class TFont;

KELM_ENUM(TcxBorder, bLeft, bTop, bRight, bBottom)
using TcxBorders = TSet<TcxBorder>;
constexpr TcxBorders cxBordersAll = {bLeft, bTop, bRight, bBottom};

// Text output flags: alignment, line and clipping options, as one 16-bit set.
using TcxTextFlags = Word;
constexpr TcxTextFlags txAlignLeft = 0x0001, txAlignRight = 0x0002, txAlignHCenter = 0x0004,
                       txAlignTop = 0x0008, txAlignBottom = 0x0010, txAlignVCenter = 0x0020,
                       txSingleLine = 0x0040, txNoClip = 0x0080, txExpandTabs = 0x0100,
                       txShowPrefix = 0x0200,  // an ampersand marks the next character
                       txWordBreak = 0x0400, txEndEllipsis = 0x0800, txCalcRect = 0x1000,
                       txPathEllipsis = 0x2000,
                       txNoCharBreak = 0x4000;  // with txWordBreak: break only between words

KELM_ENUM(TcxRegionCombineMode, rcmReplace, rcmUnion, rcmDifference, rcmIntersection)
// btLeft90 turns a quarter counter-clockwise, btRight90 clockwise.
KELM_ENUM(TcxBitmapTurn, btNone, btLeft90, btRight90, btHalf)

// How a painter fills an area: a background bitmap (tiled; may be nil) or a colour, and the
// text font and colour.
struct TcxViewParams {
  TBitmap* Bitmap = nullptr;
  TColor Color = clWindow;
  TFont* Font = nullptr;
  TColor TextColor = clWindowText;
};

void DeflateRectBy(TRect& R, const TRect& Margins);
// The platform's text drawing format for a set of text flags.
UINT TextFlagsToDrawTextFlags(TcxTextFlags Flags);
// The closest colour the screen shows.
TColor ScreenNearestColor(TColor Color);
// clBtnFace, clHighlight and clWindow weighted per channel by the percentages (signed),
// limited to 0..255; clHighlight itself when clBtnFace is black or white.
TColor BlendSystemColors(int FacePercent, int HighlightPercent, int WindowPercent);
TColor PressedBlendColor();
TColor HotTrackBlendColor();
// Whether text of the charset lays out from the right. Only the right-to-left charsets
// (Hebrew 177, Arabic 178) do, and a text that starts with a plain ASCII character does not.
bool IsMirroredTextCharset(int Charset, const String& Text);
