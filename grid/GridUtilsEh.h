#pragma once
// The small layer under every grid unit: a memory stream with a coarse growth step, the
// read-property interceptor registry (a class standing in for another while stored
// properties are read back), the one interceptor for forms, thin wrappers around the
// platform's text, window and region calls, and the locale-aware string helpers.
#include "core/Classes.h"
#include "gui/Forms.h"
#include "core/StrUtils.h"
#include "core/Variant.h"
#include "gui/WinGDI.h"

#include <functional>
#include <vector>

class TDataSet;

// ================================================================ memory stream

// A memory stream whose capacity grows in steps of twice HalfMemoryDelta (8192 bytes by
// default), so that streams written a little at a time reallocate seldom.
class TMemoryStreamEh : public TMemoryStream {
public:
  TMemoryStreamEh() = default;

  int HalfMemoryDelta() const { return FHalfMemoryDelta; }
  void SetHalfMemoryDelta(int Value) { FHalfMemoryDelta = Value > 0 ? Value : 1; }

protected:
  void* Realloc(Int64& NewCapacity) override;

private:
  int FHalfMemoryDelta = 4096;
};

// ================================================================ property interceptors

// Stands in for Target while its stored properties are read back: the reader sets the
// interceptor's published properties and calls Readed once they are all read.
class TStoragePropertyInterceptor : public TPersistent {
  KELM_CLASS(TStoragePropertyInterceptor, TPersistent)
public:
  explicit TStoragePropertyInterceptor(TPersistent* ATarget) : FTarget(ATarget) {}
  TPersistent* Target() const { return FTarget; }
  virtual bool NeedIntercept() { return true; }
  virtual void Readed() {}

private:
  TPersistent* FTarget;
};

// Reads a form's placement in the units of the screen it was stored on, and puts it back
// scaled to the current screen.
class TFormStoragePropertyInterceptor : public TStoragePropertyInterceptor {
  KELM_CLASS(TFormStoragePropertyInterceptor, TStoragePropertyInterceptor)
  template <class B> static void Published(B& b) {
    b.Prop("Left", &TFormStoragePropertyInterceptor::Left, &TFormStoragePropertyInterceptor::SetLeft);
    b.Prop("Top", &TFormStoragePropertyInterceptor::Top, &TFormStoragePropertyInterceptor::SetTop);
    b.Prop("Width", &TFormStoragePropertyInterceptor::Width, &TFormStoragePropertyInterceptor::SetWidth);
    b.Prop("Height", &TFormStoragePropertyInterceptor::Height, &TFormStoragePropertyInterceptor::SetHeight);
    b.Prop("PixelsPerInch", &TFormStoragePropertyInterceptor::PixelsPerInch,
           &TFormStoragePropertyInterceptor::SetPixelsPerInch);
    b.Prop("WindowState", &TFormStoragePropertyInterceptor::WindowState,
           &TFormStoragePropertyInterceptor::SetWindowState)
        .Default(wsNormal);
    b.Prop("ActiveControl", &TFormStoragePropertyInterceptor::ActiveControl,
           &TFormStoragePropertyInterceptor::SetActiveControl);
  }
public:
  explicit TFormStoragePropertyInterceptor(TPersistent* ATarget);
  void Readed() override;

  // The form's normal placement, read live (0 when the target is not a form).
  int Left() const;
  void SetLeft(int Value);
  int Top() const;
  void SetTop(int Value);
  int Width() const;
  void SetWidth(int Value) { FWidth = Value; }
  int Height() const;
  void SetHeight(int Value) { FHeight = Value; }
  int PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(int Value) { FPixelsPerInch = Value; }
  TWindowState WindowState() const { return FWindowState; }
  void SetWindowState(TWindowState Value) { FWindowState = Value; }
  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* Value) { FActiveControl = Value; }
  // Set once Left or Top was read from storage.
  bool PosPresent() const { return FPosPresent; }

private:
  TCustomForm* Form() const;
  TRect NormalBounds() const;

  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  int FPixelsPerInch = 96;
  TWindowState FWindowState = wsNormal;
  TWinControl* FActiveControl = nullptr;
  bool FPosPresent = false;
};

using TStoragePropertyInterceptorFactory = std::function<TStoragePropertyInterceptor*(TPersistent* Target)>;

// Every earlier registration for TargetClass is removed first; the pair is appended.
void RegisterReadPropertyInterceptor(TClass TargetClass, TClass InterceptorClass,
                                     TStoragePropertyInterceptorFactory Factory);
template <class TInterceptor> void RegisterReadPropertyInterceptor(TClass TargetClass) {
  RegisterReadPropertyInterceptor(TargetClass, TInterceptor::StaticClass(),
                                  [](TPersistent* Target) -> TStoragePropertyInterceptor* { return new TInterceptor(Target); });
}
// Removes every pair of exactly these two classes.
void UnregisterReadPropertyInterceptor(TClass TargetClass, TClass InterceptorClass);
// The interceptor class registered for the class or its nearest registered ancestor; nullptr
// when none is.
TClass GetReadPropertyInterceptorClass(TClass TargetClass);
// A new interceptor for the object (the caller frees it); nullptr when none is registered.
TStoragePropertyInterceptor* CreateReadPropertyInterceptor(TPersistent* Target);

// ================================================================ platform wrappers

// The grid units make their platform calls through these, each converting its arguments
// and calling the platform routine of the same name.
int DrawTextEh(HDC DC, const String& Text, int Count, TRect& Rect, UINT Format);
// Works on a copy of the parameters, so the caller's record is not written to.
int DrawTextExEh(HDC DC, const String& Text, int Count, const DRAWTEXTPARAMS& Params, UINT Format, TRect& Rect);
int DrawTextExEh(HDC DC, const String& Text, int Count, TRect& Rect, UINT Format);
// ExtTextOut without character spacing; Count < 0 writes the whole text.
BOOL ExtTextOutEh(HDC DC, int X, int Y, UINT Options, const TRect* Rect, const String& Text, int Count = -1);

LRESULT SendMessageEh(HWND Handle, UINT Msg, WPARAM WParam, LPARAM LParam);
LRESULT SendMessageEh(HWND Handle, UINT Msg, WPARAM WParam, const String& LParam);
// Sends a message that copies text into a 4096-byte buffer whose first word holds the
// buffer's size; the result is the number of bytes the window copied.
String SendGetTextMessageEh(HWND Handle, UINT Msg, WPARAM WParam);

BOOL InvalidateRectEh(HWND Handle, const TRect* Rect, bool Erase);
// Scrolls the window's contents within ScrollRect, clipped to ClipRect, leaving no update
// region to the caller.
BOOL ScrollWindowExEh(HWND Handle, int DX, int DY, const TRect* ScrollRect, const TRect* ClipRect);
// Converts the rectangle's two corners from logical to device coordinates.
BOOL LPtoDPEh(HDC DC, TRect& Rect);
HRGN CreatePolygonRgnEh(const std::vector<TPoint>& Points, int FillMode);
// The selection of an edit control (EM_GETSEL), in characters.
void GetEditSelectionEh(HWND Handle, int& SelStart, int& SelEnd);
// Registers the resource cursor Name at the first free id from 1 upward: "Cannot load cursor
// resource" when there is no such cursor, "Too many user-defined cursors" when no id up to
// 32767 is free.
TCursor RegisterResourceCursor(const String& Name);
// Loads a bitmap of the embedded resources by name into Bitmap.
void LoadBitmapEh(TBitmap* Bitmap, const String& ResourceName);
int DataSetCompareBookmarksEh(TDataSet* DataSet, const String& Bookmark1, const String& Bookmark2);
// The dataset of the TDataSource held by a class-typed published property of Component
// (e.g. "MasterSource"); nullptr when the property is missing, empty or not a data source.
TDataSet* DataSetOfDataSourcePropertyEh(TObject* Component, const String& PropName);
void VarArrayRedimEh(Variant& A, int HighBound);
constexpr TRect EmptyRectEh() { return TRect{0, 0, 0, 0}; }
// Copies the look of Source into Target without Target's change handler seeing it; nothing
// happens when Source is missing or the two already look alike. A column's title and footer
// fonts follow their defaults this way without counting as assigned.
void CopyFontSilently(TFont* Target, TFont* Source);

// Narrows the context's clipping to a rectangle for the scope's lifetime; afterwards the
// previous clip region is back, or clipping is removed when there was none.
class TClipRectScopeEh {
public:
  TClipRectScopeEh(HDC DC, const TRect& Rect);
  ~TClipRectScopeEh();
  TClipRectScopeEh(const TClipRectScopeEh&) = delete;
  TClipRectScopeEh& operator=(const TClipRectScopeEh&) = delete;

private:
  HDC FDC;
  HRGN FSaved;
  bool FHadClip;
};

// ================================================================ locale string helpers

// Case mapping and comparison in the user's locale; characters, not bytes, are compared.
String AnsiUpperCaseEh(const String& S);
String AnsiLowerCaseEh(const String& S);
int AnsiCompareStrEh(const String& S1, const String& S2);
int AnsiCompareTextEh(const String& S1, const String& S2);

// ================================================================ colours

// Color with each of red, green and blue raised by an eighth of itself (rounded), at most 255:
// the filter row's background, a shade lighter than the fixed cells.
TColor LightenedColor(TColor Color);
