#pragma once
// What every editor draws: its background and border (themed, or in one of five plain
// border styles), the frames of its buttons in six button styles and the button faces (an
// ellipsis, a down arrow, a glyph or a caption) with their pressed, hot and disabled looks;
// also a button's width and frame allowance and a few questions of the view data. Button
// states are those of the view info: 0 disabled, 1 normal, 2 pressed, 3 hot.
#include "editors/cxEditStyles.h"
#include "editors/cxGraphicsUtils.h"
#include "editors/cxLookAndFeelPainters.h"
#include "gui/GdiTypes.h"

#include <vector>

class TBitmap;
class TCanvas;
class TcxCanvas;
class TcxCustomEditProperties;
class TcxCustomEditViewData;
class TcxCustomEditViewInfo;
class TcxEditButtonViewInfo;

// FrameMode: 0 the whole frame, 1 and 2 the themed text editor's variants.
void DrawEditBackground(TcxCanvas* ACanvas, TcxCustomEditViewInfo* V, bool FillContent, int FrameMode);
void DrawEditButtonFrame(TcxCanvas* ACanvas, TcxCustomEditViewInfo* V, int Index, const TRect& R,
                         TcxEditButtonStyle Style);
void DrawEditButtonFace(TcxCanvas* ACanvas, TcxCustomEditViewInfo* V, int Index, TColor BackColour,
                        TColor ContentColour, const TRect& C, const TRect& G);
void CalculateButtonThemeData(TcxEditButtonViewInfo* K);
int EditButtonWidth(TcxCanvas* ACanvas, TcxEditButtonViewInfo* K);
int ButtonFrameHeightAllowance(TcxCanvas* ACanvas, TcxCustomEditViewInfo* V);
int InnerEditHeightCorrection(TcxCustomEditProperties* AProperties, bool InPlace);
TColor HighlightBorderColor(bool Office11);
TColor HighlightedButtonFaceColor(bool Pressed, bool Office11);
bool EditShowsShadow(TcxCustomEditViewData* AViewData);
TcxLookAndFeelPainterClass ButtonPainterClass(bool NativeStyle, TcxLookAndFeelKind Kind);
bool HasUsableGlyph(TBitmap* ABitmap);
// Lines along the chosen sides on the last pixel row and column inside R, which shrinks
// past each one.
void DrawEdgeLines(TcxCanvas* ACanvas, TRect& R, TcxBorders Sides, TColor Colour);
void DrawPixelLines(TcxCanvas* ACanvas, const std::vector<TPoint>& Points, TColor Colour, bool UseBrush);
void DrawGlyph(TCanvas* ACanvas, int X, int Y, TBitmap* Back, TColor BackColour, bool Enabled, TBitmap* Glyph);
void DrawGlyph(TcxCanvas* ACanvas, int X, int Y, TBitmap* Back, TColor BackColour, bool Enabled, TBitmap* Glyph);
// Where a W x H thing sits centred in R; pressed moves it by a pixel where it fits.
TPoint PlaceCentred(const TRect& R, int W, int H, bool Pressed);
void FillRingBetween(TcxCanvas* ACanvas, const TRect& Outer, const TRect& Inner, HBRUSH Brush);
