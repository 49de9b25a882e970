// Text view data and view info: the text rectangle and flags, selection colours, painting
// the text in place of the inner edit, content sizing and the truncation test for hints.
#include "editors/cxTextEditViewInfo.h"

#include "core/StrUtils.h"
#include "editors/cxCanvas.h"
#include "editors/cxCustomEdit.h"
#include "editors/cxEditUtils.h"
#include "editors/cxTextEdit.h"
#include "gui/Graphics.h"
#include "gui/SysColors.h"

#include <climits>

namespace {
constexpr TcxTextOutFlags kVertBits = tofCenterVert | tofBottom;

int ZgHeight(TcxCanvas* C) { return C->TextHeightOf("Zg"); }

TColor Inverse(TColor C) { return TColor(ColorToRGB(C) ^ 0xFFFFFF); }

// Bytes of the first Count characters of a UTF-8 text.
int BytesOf(const char* Text, int Count) {
  int bytes = 0;
  for (int i = 0; i < Count && Text[bytes]; ++i) bytes += Utf8SeqLen(static_cast<unsigned char>(Text[bytes]));
  return bytes;
}
}  // namespace

// ================================================================ view info

void TcxCustomTextEditViewInfo::CopyFrom(TObject* Source) {
  TcxCustomEditViewInfo::CopyFrom(Source);
  auto* s = dynamic_cast<TcxCustomTextEditViewInfo*>(Source);
  if (!s) return;
  NativeDropDownLook = s->NativeDropDownLook;
  Highlighted = s->Highlighted;
  LayoutFlags = s->LayoutFlags;
  EditingStyle = s->EditingStyle;
  PopupOpen = s->PopupOpen;
  InnerEditShown = s->InnerEditShown;
  MaxLineCount = s->MaxLineCount;
  SelStart = s->SelStart;
  SelLength = s->SelLength;
  SelTextColor = s->SelTextColor;
  SelBackgroundColor = s->SelBackgroundColor;
  Text = s->Text;
  TextRect = s->TextRect;
}

void TcxCustomTextEditViewInfo::ShiftBy(int DX, int DY) {
  TcxCustomEditViewInfo::ShiftBy(DX, DY);
  OffsetRect(TextRect, DX, DY);
  if (!TextOutData.Prepared) return;
  OffsetRect(TextOutData.TextRect, DX, DY);
  for (TcxTextRow& r : TextOutData.Rows) {
    r.X += DX;
    r.Y += DY;
  }
}

void TcxCustomTextEditViewInfo::Draw(TcxCanvas* ACanvas) {
  const bool transparent = Properties && Properties->Transparent();
  int frameMode = 0;
  if (NativeDropDownLook) frameMode = EditingStyle == tesFixedList || EditingStyle == tesNoEdit ? 2 : 1;
  DrawEditBackground(ACanvas, this, !transparent && !Highlighted, frameMode);
  TRect r = ContentRect;
  if (!InPlace) {
    if ((!UsesTheme || Highlighted) && !transparent && EditingStyle != tesNoEdit)
      ACanvas->DrawBorderStrips(r, FillColor, 1, cxBordersAll);
    InflateRect(r, -1, -1);
  }
  if (OwnerDrawHookSet && OwnerDrawHook) {
    OwnerDrawHook(ACanvas, this, r);
  } else {
    if (Highlighted) {
      ACanvas->UseBrushColor(clHighlight);
      ACanvas->FillArea(r);
    }
    if (PaintingCopy || !InnerEditVisible || !InnerEditShown) PaintText(ACanvas);
  }
  if (!InnerEditShown && Focused && !InPlace && !PopupOpen) {
    ACanvas->Font()->SetColor(Highlighted ? clHighlightText : clBtnText);
    ACanvas->UseBrushColor(Highlighted ? clHighlight : FillColor);
    ACanvas->DrawFocusMarker(r);
  }
}

void TcxCustomTextEditViewInfo::PaintText(TcxCanvas* ACanvas) {
  if (Text.empty()) return;
  if (Font) ACanvas->Font()->Assign(Font);
  ACanvas->Font()->SetColor(Highlighted ? clHighlightText : TextColor);
  ACanvas->Canvas()->Brush()->SetStyle(bsClear);
  DrawTextOutData(ACanvas->Canvas(), TextOutData, Text, TextRect, LayoutFlags, SelStart, SelLength,
                  SelBackgroundColor, SelTextColor, MaxLineCount);
}

bool TcxCustomTextEditViewInfo::IsTextTruncated(TcxCanvas* ACanvas) {
  if (Text.empty()) return false;
  if (Font) ACanvas->Font()->Assign(Font);
  TcxTextOutFlags flags = LayoutFlags & ~kVertBits;
  TRect area = TextRect;
  if (!(flags & tofWordBreak)) area.Right = INT_MAX / 2;
  area.Bottom = INT_MAX / 2;
  TcxTextParams params;
  InitTextParams(ACanvas->Canvas(), flags, params);
  TcxTextRows rows;
  int count = 0;
  if (!LayOutTextRows(ACanvas->Canvas(), Text.c_str(), area, MaxLineCount, count, rows, params)) return true;
  const int line = ZgHeight(ACanvas);
  int y = TextRect.Top;
  for (int i = 0; i < count; ++i) {
    String row = rows[i].Text ? String(rows[i].Text, BytesOf(rows[i].Text, rows[i].Length)) : String();
    while (!row.empty() && row.back() == ' ') row.pop_back();
    const int w = row.empty() ? 0 : ACanvas->TextWidthOf(row);
    if (w > TextRect.Width()) return true;
    y += row.empty() ? line : std::max(rows[i].Height, line);
  }
  return y > TextRect.Bottom;
}

bool TcxCustomTextEditViewInfo::NeedsHintInRect(TcxCanvas* ACanvas, TPoint P, String& AText, const TRect& R) {
  TRect area = TextRect;
  if (!IsRectEmpty(R)) {
    TRect visible = R;
    OffsetRect(visible, -OffsetX, -OffsetY);
    IntersectRect(area, area, visible);
  }
  const TPoint at{P.X - OffsetX, P.Y - OffsetY};
  if (!PtInRect(area, at) || !IsTextTruncated(ACanvas)) return false;
  AText = Text;
  return true;
}

// ================================================================ view data

void TcxCustomTextEditViewData::InitializeFromProperties() {
  TcxCustomEditViewData::InitializeFromProperties();
  ValueFormattedByProvider = Properties->HasProviderDisplayFormat();
}

bool TcxCustomTextEditViewData::OwnerShowsInnerEdit() { return Edit && Edit->IsInnerEditShown(); }

void TcxCustomTextEditViewData::ComputeViewInfo(TcxCanvas* ACanvas, const TRect& R, TPoint P, TcxMouseButtonCode Button,
                                                TcxCustomEditViewInfo* V, TShiftState Shift, bool Recalculate) {
  TcxCustomEditViewData::ComputeViewInfo(ACanvas, R, P, Button, V, Shift, Recalculate);
  auto* t = dynamic_cast<TcxCustomTextEditViewInfo*>(V);
  if (!t) return;
  t->Highlighted = false;
  t->EditingStyle = TextProperties()->EditingStyle();
  t->InnerEditShown = OwnerShowsInnerEdit();
  t->PopupOpen = Edit && Edit->IsPopupOpen();
  ComputeTextRect(ACanvas, t);
  t->MaxLineCount = GetMaxLineCount();
  t->TextOutData.Prepared = false;
  CalculateTextFlags(ACanvas, t);
}

void TcxCustomTextEditViewData::GetTextMargins(TRect& M) {
  const TcxEditContentParameters& c = ContentParameters;
  M = Rect(c.OffsetLeft, c.OffsetTop, c.OffsetRight, c.OffsetBottom);
  const TcxTextEditingStyle s = TextProperties()->EditingStyle();
  if (!InPlace && (s == tesFixedList || s == tesNoEdit)) {
    if (VertAlignment == taTopJustify) {
      M.Top += 1;
      M.Bottom -= 1;
    }
    if (HorzAlignment == taRightJustify) M.Right += 1;
    else M.Left += 1;
  }
}

void TcxCustomTextEditViewData::ComputeTextRect(TcxCanvas* ACanvas, TcxCustomTextEditViewInfo* V) {
  TRect m;
  GetTextMargins(m);
  const TRect& c = V->ContentRect;
  V->TextRect = Rect(c.Left + m.Left, c.Top + m.Top, c.Right - m.Right, c.Bottom - m.Bottom);
  if (InPlace) return;
  if (V->Font) ACanvas->Font()->Assign(V->Font);
  const int line = ZgHeight(ACanvas);
  if (V->TextRect.Height() < line) V->TextRect.Bottom = std::min(V->TextRect.Top + line, std::max(c.Bottom, V->TextRect.Top + line));
}

TcxTextOutFlags TcxCustomTextEditViewData::GetTextFlags() {
  TcxTextOutFlags f = tofSingleLine | tofPreventLeftExceed | tofPreventTopExceed;
  if (HorzAlignment == taRightJustify) f |= tofRight;
  else if (HorzAlignment == taCenter) f |= tofCenterHorz;
  if (VertAlignment == taBottomJustify) f |= tofBottom;
  else if (VertAlignment == taVCenter) f |= tofCenterVert;
  return f;
}

void TcxCustomTextEditViewData::CalculateTextFlags(TcxCanvas* ACanvas, TcxCustomTextEditViewInfo* V) {
  V->LayoutFlags = GetTextFlags();
  const bool rowsAllowed = !TextProperties()->ForcesSingleRow() && (Properties->GetFeatureFlags() & 2) &&
                           (PaintOptions & 2);
  if (rowsAllowed && Style && Style->Font() && (V->PaintOptions & 2)) {
    ACanvas->Font()->Assign(Style->Font());
    TcxTextOutFlags multi = (V->LayoutFlags & ~tofSingleLine) | tofWordBreak | tofWholeRows;
    TRect m;
    GetTextMargins(m);
    int width = V->TextRect.Width() + m.Left + m.Right - ContentParameters.OffsetLeft - ContentParameters.OffsetRight -
                V->BorderExtent.Left - V->BorderExtent.Right;
    if (HorzAlignment == taRightJustify) ++width;
    TcxTextParams params;
    InitTextParams(ACanvas->Canvas(), multi, params);
    TcxTextRows rows;
    int count = 0;
    LayOutTextRows(ACanvas->Canvas(), V->Text.c_str(), Rect(0, 0, std::max(width, 1), INT_MAX / 2), 0, count, rows,
                   params);
    if (count > 1) {
      V->LayoutFlags = multi;
      int height = 0;
      for (int i = 0; i < count; ++i) height += rows[i].Height;
      if (height > V->TextRect.Height()) V->LayoutFlags &= ~kVertBits;
    }
  }
  if (V->PaintOptions & 8) V->LayoutFlags |= tofEndEllipsis;
  V->NativeDropDownLook = HasNativeDropDownLook();
}

void TcxCustomTextEditViewData::PrepareDisplayText(const Variant& Value, String& Text) {
  if (ValueFormattedByProvider) {
    Text = VarToStr(Value);
  } else {
    Variant shown;
    TextProperties()->FormatValue(Value, IsEditFocusedForDisplay(), shown);
    Text = VarToStr(shown);
  }
  TextProperties()->ApplyEchoAndCase(Text);
}

void TcxCustomTextEditViewData::FillValueText(TcxCanvas*, const Variant& Value, TcxCustomEditViewInfo* V) {
  auto* t = dynamic_cast<TcxCustomTextEditViewInfo*>(V);
  if (!t) return;
  if (TextFlag) t->Text.clear();
  else PrepareDisplayText(Value, t->Text);
  t->SelStart = SelStart;
  t->SelLength = SelLength;
  if (SelLength == 0) return;
  if (TextColorB == clDefault) {
    if (TextColorA != clDefault) {
      t->SelTextColor = TextColorA;
      t->SelBackgroundColor = Inverse(TextColorA);
    } else if (Style && Style->Color() == clHighlight) {
      // Highlight on highlight would hide the selection.
      t->SelTextColor = clWhite;
      t->SelBackgroundColor = clBlack;
    } else {
      t->SelTextColor = clHighlightText;
      t->SelBackgroundColor = clHighlight;
    }
  } else {
    t->SelBackgroundColor = TextColorB;
    t->SelTextColor = TextColorA != clDefault ? TextColorA : Inverse(TextColorB);
  }
}

void TcxCustomTextEditViewData::SetDisplayTextFromEditValue(const String& Text, TcxCustomTextEditViewInfo* V) {
  String t = Text;
  TextProperties()->ApplyEchoAndCase(t);
  V->Text = t;
  V->TextOutData.Prepared = false;
}

void TcxCustomTextEditViewData::ComputeContentExtent(TcxCanvas* ACanvas, TcxCustomEditViewInfo* V, TRect& E) {
  TcxCustomEditViewData::ComputeContentExtent(ACanvas, V, E);
  if (!InPlace && HasNativeDropDownLook() && NativeStyle) E.Right += 1;
}

TSize TcxCustomTextEditViewData::MeasureText(TcxCanvas* ACanvas, const String& Text,
                                             const TcxEditSizeParameters& Parameters, TcxTextOutFlags Flags) {
  if (Style && Style->VisibleFont()) ACanvas->Font()->Assign(Style->VisibleFont());
  const TcxTextEditingStyle s = TextProperties()->EditingStyle();
  const bool adjust = !InPlace && (s == tesFixedList || s == tesNoEdit) && !(HasNativeDropDownLook() && NativeStyle);
  const int line = ZgHeight(ACanvas);
  const TPoint sums = GetContentOffsetSums();
  TSize size{0, 0};
  if (Parameters.Width >= 0) {
    if (Parameters.LineCount > 0 && !(Flags & tofSingleLine) && false) {
      size = TSize{Parameters.Width, Parameters.LineCount * line};
    } else {
      const int w = Parameters.Width - (InPlace ? 2 : 0) - (adjust ? 1 : 0);
      size.cx = w <= 0 ? 0 : Parameters.Width;
      if (w <= 0 || Text.empty() || (Flags & tofSingleLine)) {
        size.cy = Text.empty() && TextFlag ? 0 : line;
      } else {
        TcxTextOutFlags f = ((Flags & ~tofSingleLine) | tofWordBreak | tofWholeRows) & ~kVertBits;
        TcxTextParams params;
        InitTextParams(ACanvas->Canvas(), f, params);
        TcxTextRows rows;
        int count = 0;
        LayOutTextRows(ACanvas->Canvas(), Text.c_str(), Rect(0, 0, w, INT_MAX / 2), 0, count, rows, params);
        if (Parameters.LineCount > 0) count = std::min(count, Parameters.LineCount);
        size.cy = line * std::max(count, 1);
      }
    }
  } else {
    size.cy = line;
    size.cx = Text.empty() ? 0 : ACanvas->TextWidthOf(Text);
    if (adjust) size.cx += 1;
    size.cx += sums.X;
  }
  if (size.cy > 0) size.cy += sums.Y;
  return size;
}

void TcxCustomTextEditViewData::GetTextSize(TcxCanvas* ACanvas, const Variant& Value, TSize& Size,
                                            const TcxEditSizeParameters& Parameters) {
  TcxCustomEditViewData::GetTextSize(ACanvas, Value, Size, Parameters);
  String text;
  PrepareDisplayText(Value, text);
  const TSize t = MeasureText(ACanvas, text, Parameters, GetTextFlags());
  Size.cx += t.cx;
  Size.cy += t.cy;
}
