#pragma once
// The painters of every button face and check box of the grid library, with their shared
// bitmap cache (TButtonsBitmapCache of TButtonBitmapInfoBitmapEh, keyed by TButtonFaceKey),
// and the placing of check boxes and images in cells.
#include "grid/ToolCtrlsEhButtons.h"

// ================================================================ button faces and their cache

struct TButtonFaceKey {
  TSize Size;  // negative extents are stored as 0
  TButtonFaceStyle FaceStyle = bfsDropDown;
  bool Flat = false;
  bool Pressed = false;
  bool Active = false;
  bool Enabled = true;
  int DownHalf = 0;    // 0 the top half or the whole button, 1 the bottom half
  int CheckState = 0;  // 0 unchecked, 1 checked, 2 grayed
  bool operator==(const TButtonFaceKey&) const = default;
};

TButtonFaceKey ButtonFaceKey(int Width, int Height, TButtonFaceStyle FaceStyle, bool Flat, bool Pressed, bool Active,
                             bool Enabled, int DownHalf, int CheckState);

// One painted face of the cache.
class TButtonBitmapInfoBitmapEh : public TObject {
public:
  TButtonBitmapInfoBitmapEh(const TButtonFaceKey& AKey, std::unique_ptr<TBitmap> ABitmap)
      : Key(AKey), Bitmap(std::move(ABitmap)) {}
  TButtonFaceKey Key;
  std::unique_ptr<TBitmap> Bitmap;
};

// Faces painted once per distinct key and afterwards only copied. The list does not own its
// items; Clear frees them and their bitmaps.
class TButtonsBitmapCache : public TObjectList {
public:
  TButtonsBitmapCache() = default;
  ~TButtonsBitmapCache() override;
  // The face of the key, painted on first request.
  TBitmap* GetButtonBitmap(const TButtonFaceKey& Key);
  TButtonBitmapInfoBitmapEh* Items(int Index) const { return static_cast<TButtonBitmapInfoBitmapEh*>(TObjectList::Items(Index)); }
  void Clear() override;
};

// The cache shared by every grid and edit of the process.
TButtonsBitmapCache* ButtonsBitmapCache();
// Frees every cached face (after the system colours changed).
void ResetButtonBitmapCache();
// The default width of a flat edit button, and the size of the system's check-box glyph.
int FlatButtonWidth();
int CheckBoxGlyphWidth();
int CheckBoxGlyphHeight();

// Paints one button face over Rect: the entry point of every edit button and check box.
// DownButton: 0 none, 1 the top half (or the whole button), 2 the bottom half of a spin
// button; CheckState 0 unchecked, 1 checked, 2 grayed (check boxes only).
void PaintEditButtonFace(HDC DC, const TRect& ARect, TColor ParentColor, TButtonFaceStyle FaceStyle, int DownButton,
                         bool Flat, bool Active, bool Enabled, int CheckState);
// One face (or one spin half) without the cache.
void DrawButtonByStyle(HDC DC, TButtonFaceStyle FaceStyle, const TRect& ARect, int DownHalf, bool Pressed,
                       bool Active, bool Flat, bool Enabled);
void DrawComboArrowButton(HDC DC, const TRect& ARect, bool Pressed, bool Active, bool Flat, bool Enabled);
void DrawDotsButton(HDC DC, const TRect& ARect, bool Pressed, bool Active, bool Flat, bool Enabled);
void DrawSpinHalfButton(HDC DC, const TRect& ARect, int DownHalf, bool Pressed, bool Active, bool Flat, bool Enabled);
void DrawSignButton(HDC DC, const TRect& ARect, bool Plus, bool Pressed, bool Active, bool Flat, bool Enabled);
void DrawCheckFrame(HDC DC, const TRect& ARect, int CheckState, bool Active, bool Pressed, bool Flat, bool Enabled);

// Odd, about two thirds of the screen font's character height, at most a scroll bar wide.
int CalcFlatButtonWidth();
int EditButtonHeightFor(int Width, bool Flat);
// The rectangle of a check-box glyph inside Rect.
TRect PlaceCheckBoxInCell(const TRect& Rect, TAlignment Alignment);
// Draws the image centred in Rect, clipped to Rect when it does not fit.
void DrawImageCentered(TCanvas* Canvas, const TRect& Rect, TCustomImageList* Images, bool Selected, int ImageIndex);
