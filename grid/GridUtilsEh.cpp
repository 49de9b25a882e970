#include "grid/GridUtilsEh.h"

#include "core/ClassBuilder.h"
#include "data/DB.h"
#include "gui/Edit.h"
#include "gui/Screen.h"
#include "core/SysUtils.h"

#include <algorithm>
#include <cstring>

// ================================================================ memory stream

void* TMemoryStreamEh::Realloc(Int64& NewCapacity) {
  const Int64 step = 2 * Int64(FHalfMemoryDelta);
  // A capacity equal to the size asks for a block that fits exactly.
  if (NewCapacity > 0 && NewCapacity != Size()) NewCapacity = (NewCapacity + step - 1) / step * step;
  return ResizeMemory(NewCapacity);
}

// ================================================================ interceptor registry

KELM_PUBLISH(TStoragePropertyInterceptor) {}

namespace {

struct TInterceptorEntry {
  TClass TargetClass;
  TClass InterceptorClass;
  TStoragePropertyInterceptorFactory Factory;
};

std::vector<TInterceptorEntry>& InterceptorRegistry() {
  static std::vector<TInterceptorEntry> registry;
  return registry;
}

const TInterceptorEntry* FindInterceptorEntry(TClass TargetClass) {
  const auto& registry = InterceptorRegistry();
  for (TClass c = TargetClass; c; c = c->Parent())
    for (const TInterceptorEntry& e : registry)
      if (e.TargetClass == c) return &e;
  return nullptr;
}

}  // namespace

void RegisterReadPropertyInterceptor(TClass TargetClass, TClass InterceptorClass,
                                     TStoragePropertyInterceptorFactory Factory) {
  auto& registry = InterceptorRegistry();
  std::erase_if(registry, [&](const TInterceptorEntry& e) { return e.TargetClass == TargetClass; });
  registry.push_back({TargetClass, InterceptorClass, std::move(Factory)});
}

void UnregisterReadPropertyInterceptor(TClass TargetClass, TClass InterceptorClass) {
  std::erase_if(InterceptorRegistry(), [&](const TInterceptorEntry& e) {
    return e.TargetClass == TargetClass && e.InterceptorClass == InterceptorClass;
  });
}

TClass GetReadPropertyInterceptorClass(TClass TargetClass) {
  const TInterceptorEntry* e = FindInterceptorEntry(TargetClass);
  return e ? e->InterceptorClass : nullptr;
}

TStoragePropertyInterceptor* CreateReadPropertyInterceptor(TPersistent* Target) {
  if (!Target) return nullptr;
  const TInterceptorEntry* e = FindInterceptorEntry(Target->ClassType());
  return e && e->Factory ? e->Factory(Target) : nullptr;
}

// ================================================================ cursors

TCursor RegisterResourceCursor(const String& Name) {
  constexpr int kLastCursor = 32767;
  int id = 1;
  while (id <= kLastCursor && Screen->Cursors(id)) ++id;
  if (id > kLastCursor) throw Exception("Too many user-defined cursors");
  HCURSOR cursor = LoadCursorFromResource(Name);
  if (!cursor) throw Exception("Cannot load cursor resource");
  Screen->SetCursors(id, cursor);
  return static_cast<TCursor>(id);
}

// ================================================================ form interceptor

KELM_PUBLISH(TFormStoragePropertyInterceptor) { Published(b); }

namespace {
// Forms register their interceptor when the grid library is loaded.
[[maybe_unused]] const bool kFormInterceptorRegistered =
    (RegisterReadPropertyInterceptor<TFormStoragePropertyInterceptor>(TCustomForm::StaticClass()), true);

int ScreenPixelsPerInch() { return Screen ? Screen->PixelsPerInch() : 96; }
}  // namespace

TFormStoragePropertyInterceptor::TFormStoragePropertyInterceptor(TPersistent* ATarget)
    : TStoragePropertyInterceptor(ATarget) {
  TRect r = NormalBounds();
  FLeft = r.Left;
  FTop = r.Top;
  FWidth = r.Width();
  FHeight = r.Height();
  FPixelsPerInch = ScreenPixelsPerInch();
  if (TCustomForm* f = Form()) {
    FWindowState = f->WindowState();
    FActiveControl = f->ActiveControl();
  }
}

TCustomForm* TFormStoragePropertyInterceptor::Form() const { return dynamic_cast<TCustomForm*>(Target()); }

// The layer keeps no separate restored placement: a form's bounds are its normal placement.
TRect TFormStoragePropertyInterceptor::NormalBounds() const {
  TCustomForm* f = Form();
  return f ? f->BoundsRect() : TRect{};
}

int TFormStoragePropertyInterceptor::Left() const { return NormalBounds().Left; }
int TFormStoragePropertyInterceptor::Top() const { return NormalBounds().Top; }
int TFormStoragePropertyInterceptor::Width() const { return NormalBounds().Width(); }
int TFormStoragePropertyInterceptor::Height() const { return NormalBounds().Height(); }

void TFormStoragePropertyInterceptor::SetLeft(int Value) {
  FLeft = Value;
  FPosPresent = true;
}

void TFormStoragePropertyInterceptor::SetTop(int Value) {
  FTop = Value;
  FPosPresent = true;
}

void TFormStoragePropertyInterceptor::Readed() {
  TCustomForm* f = Form();
  if (!f) return;
  int ppi = ScreenPixelsPerInch();
  // Stored at another resolution: keep the physical placement.
  if (FPixelsPerInch > 0 && FPixelsPerInch != ppi) {
    FLeft = MulDiv(FLeft, ppi, FPixelsPerInch);
    FTop = MulDiv(FTop, ppi, FPixelsPerInch);
    FWidth = MulDiv(FWidth, ppi, FPixelsPerInch);
    FHeight = MulDiv(FHeight, ppi, FPixelsPerInch);
  }
  // A minimised or maximised form restores to the stored placement, so the bounds go first.
  f->SetBounds(FLeft, FTop, FWidth, FHeight);
  f->SetWindowState(FWindowState);
  f->SetActiveControl(FActiveControl);
  if ((f->Position() == poScreenCenter || f->Position() == poDesktopCenter) && FPosPresent &&
      !f->ComponentState().Contains(csDesigning))
    f->SetPosition(poDesigned);
}

// ================================================================ platform wrappers

int DrawTextEh(HDC DC, const String& Text, int Count, TRect& Rect, UINT Format) {
  return DrawText(DC, Text, Count, &Rect, Format);
}

int DrawTextExEh(HDC DC, const String& Text, int Count, const DRAWTEXTPARAMS& Params, UINT Format, TRect& Rect) {
  DRAWTEXTPARAMS copy = Params;
  return DrawTextEx(DC, Text, Count, &Rect, Format, &copy);
}

int DrawTextExEh(HDC DC, const String& Text, int Count, TRect& Rect, UINT Format) {
  return DrawTextEx(DC, Text, Count, &Rect, Format, nullptr);
}

BOOL ExtTextOutEh(HDC DC, int X, int Y, UINT Options, const TRect* Rect, const String& Text, int Count) {
  return ExtTextOut(DC, X, Y, Options, Rect, Count < 0 ? Text : Copy(Text, 1, Count), nullptr);
}

LRESULT SendMessageEh(HWND Handle, UINT Msg, WPARAM WParam, LPARAM LParam) {
  return SendMessage(Handle, Msg, WParam, LParam);
}

LRESULT SendMessageEh(HWND Handle, UINT Msg, WPARAM WParam, const String& LParam) {
  return SendMessage(Handle, Msg, WParam, reinterpret_cast<LPARAM>(LParam.c_str()));
}

String SendGetTextMessageEh(HWND Handle, UINT Msg, WPARAM WParam) {
  constexpr std::size_t kBufferSize = 4096;
  std::vector<char> buffer(kBufferSize, '\0');
  const Word size = Word(kBufferSize);
  std::memcpy(buffer.data(), &size, sizeof size);
  LRESULT n = SendMessage(Handle, Msg, WParam, reinterpret_cast<LPARAM>(buffer.data()));
  n = std::clamp<LRESULT>(n, 0, LRESULT(kBufferSize));
  return String(buffer.data(), std::size_t(n));
}

BOOL InvalidateRectEh(HWND Handle, const TRect* Rect, bool Erase) { return InvalidateRect(Handle, Rect, Erase); }

BOOL ScrollWindowExEh(HWND Handle, int DX, int DY, const TRect* ScrollRect, const TRect* ClipRect) {
  return ScrollWindow(Handle, DX, DY, ScrollRect, ClipRect);
}

BOOL LPtoDPEh(HDC DC, TRect& Rect) {
  TPoint pts[2] = {Rect.TopLeft(), Rect.BottomRight()};
  BOOL ok = LPtoDP(DC, pts, 2);
  Rect = {pts[0].X, pts[0].Y, pts[1].X, pts[1].Y};
  return ok;
}

HRGN CreatePolygonRgnEh(const std::vector<TPoint>& Points, int FillMode) {
  std::vector<TPoint> copy = Points;
  return CreatePolygonRgn(copy.data(), int(copy.size()), FillMode);
}

void GetEditSelectionEh(HWND Handle, int& SelStart, int& SelEnd) {
  DWORD start = 0, end = 0;
  SendMessage(Handle, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  SelStart = int(start);
  SelEnd = int(end);
}

void LoadBitmapEh(TBitmap* Bitmap, const String& ResourceName) { Bitmap->LoadFromResourceName(ResourceName); }

int DataSetCompareBookmarksEh(TDataSet* DataSet, const String& Bookmark1, const String& Bookmark2) {
  return DataSet->CompareBookmarks(Bookmark1, Bookmark2);
}

TDataSet* DataSetOfDataSourcePropertyEh(TObject* Component, const String& PropName) {
  if (!Component) return nullptr;
  try {
    const TPropInfo* p = GetPropInfo(Component, PropName);
    if (!p || p->Kind != tkClass) return nullptr;
    auto* source = dynamic_cast<TDataSource*>(p->Access->GetObj(Component));
    return source ? source->DataSet() : nullptr;
  } catch (const Exception&) {
    return nullptr;
  }
}

TClipRectScopeEh::TClipRectScopeEh(HDC DC, const TRect& Rect)
    : FDC(DC), FSaved(CreateRectRgn(0, 0, 0, 0)), FHadClip(GetClipRgn(DC, FSaved) == 1) {
  IntersectClipRect(DC, Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
}

TClipRectScopeEh::~TClipRectScopeEh() {
  SelectClipRgn(FDC, FHadClip ? FSaved : nullptr);
  DeleteObject(FSaved);
}

void VarArrayRedimEh(Variant& A, int HighBound) { VarArrayRedim(A, HighBound); }

// ================================================================ locale string helpers

String AnsiUpperCaseEh(const String& S) { return AnsiUpperCase(S); }
String AnsiLowerCaseEh(const String& S) { return AnsiLowerCase(S); }
int AnsiCompareStrEh(const String& S1, const String& S2) { return AnsiCompareStr(S1, S2); }
int AnsiCompareTextEh(const String& S1, const String& S2) { return AnsiCompareText(S1, S2); }

namespace {
bool SameFontLook(TFont* A, TFont* B) {
  return A->Name() == B->Name() && A->Height() == B->Height() && A->Style() == B->Style() &&
         A->Color() == B->Color() && A->Charset() == B->Charset() && A->Pitch() == B->Pitch() &&
         A->Orientation() == B->Orientation();
}
}  // namespace

void CopyFontSilently(TFont* Target, TFont* Source) {
  if (!Source || Target == Source || SameFontLook(Target, Source)) return;
  TNotifyEvent handler = Target->OnChange();
  Target->SetOnChange(TNotifyEvent());
  Target->Assign(Source);
  Target->SetOnChange(handler);
}

TColor LightenedColor(TColor Color) {
  const COLORREF rgb = ColorToRGB(Color);
  auto up = [](int c) { return std::min(255, c + (c + 4) / 8); };
  return TColor(RGB(up(GetRValue(rgb)), up(GetGValue(rgb)), up(GetBValue(rgb))));
}
