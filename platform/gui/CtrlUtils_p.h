#pragma once
// Private to platform/gui: small helpers the controls share for window styles, measuring,
// drawing and text.
#include "gui/Controls.h"
#include "gui/Graphics.h"
#include "gui/WinGDI.h"

#include <algorithm>
#include <functional>
#include <string>

namespace ctrl_utils {

// A measuring context with a font selected, released at the end of the scope.
class TMeasureDC {
public:
  explicit TMeasureDC(TFont* Font) : FDC(GetDC(0)) { FOld = SelectObject(FDC, Font->Handle()); }
  ~TMeasureDC() {
    SelectObject(FDC, FOld);
    ReleaseDC(0, FDC);
  }
  TMeasureDC(const TMeasureDC&) = delete;
  TMeasureDC& operator=(const TMeasureDC&) = delete;
  operator HDC() const { return FDC; }

private:
  HDC FDC;
  HGDIOBJ FOld;
};

// Saves a paint context's state and selects a control's font and colours into it.
class TPaintState {
public:
  TPaintState(HDC DC, TFont* Font) : FDC(DC), FSaved(SaveDC(DC)) {
    SelectObject(DC, Font->Handle());
    SetTextColor(DC, ColorToRGB(Font->Color()));
    SetBkMode(DC, TRANSPARENT);
  }
  ~TPaintState() { RestoreDC(FDC, FSaved); }
  TPaintState(const TPaintState&) = delete;
  TPaintState& operator=(const TPaintState&) = delete;

private:
  HDC FDC;
  int FSaved;
};

inline bool IsBlank(char32_t c) { return c == U' ' || c == U'\t' || c == 0x3000; }
inline bool IsBreak(char32_t c) { return c == U'\r' || c == U'\n'; }

// Every line break as CR LF.
inline std::u32string NormaliseBreaks(const std::u32string& s) {
  std::u32string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c == U'\r') {
      out += U"\r\n";
      if (i + 1 < s.size() && s[i + 1] == U'\n') ++i;
    } else if (c == U'\n') {
      out += U"\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

// The frame a bsSingle border asks for: sunken with Ctl3D, a plain line without.
inline void AddBorderStyle(TCreateParams& P, TBorderStyle Style, bool Ctl3D) {
  if (Style != bsSingle) return;
  if (Ctl3D) P.ExStyle |= WS_EX_CLIENTEDGE;
  else P.Style |= WS_BORDER;
}

// The character cell height of a font, which native controls size their lines by.
inline int CellHeightOf(TFont* Font) {
  HDC dc = GetDC(0);
  HGDIOBJ old = SelectObject(dc, Font->Handle());
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(0, dc);
  return std::max(1, tm.tmHeight);
}

// The width of one line of text, prefix characters taken as text.
inline int TextWidthOf(TFont* Font, const String& S) {
  if (S.empty()) return 0;
  HDC dc = GetDC(0);
  HGDIOBJ old = SelectObject(dc, Font->Handle());
  TRect r{0, 0, 0, 0};
  DrawText(dc, S, -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(0, dc);
  return r.Width();
}

inline void Fill(HDC DC, const TRect& R, COLORREF Color) {
  HBRUSH b = CreateSolidBrush(Color);
  FillRect(DC, R, b);
  DeleteObject(b);
}

inline void Line(HDC DC, int X1, int Y1, int X2, int Y2, COLORREF Color) {
  HPEN pen = CreatePen(PS_SOLID, 1, Color);
  HGDIOBJ old = SelectObject(DC, pen);
  MoveToEx(DC, X1, Y1, nullptr);
  LineTo(DC, X2, Y2);
  SelectObject(DC, old);
  DeleteObject(pen);
}

inline bool IsKeyDown(int Vk) { return GetKeyState(Vk) < 0; }

}  // namespace ctrl_utils
