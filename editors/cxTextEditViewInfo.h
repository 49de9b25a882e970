#pragma once
// What a text editor shows when its live inner edit is hidden (an unfocused right- or
// centre-aligned editor, a fixed-list or non-editable one, an in-place editor drawn by its
// host): the text, its alignment and wrapping, the highlighted completion or host selection,
// the content size for automatic sizing, and whether the text is cut off (a hint shows it).
// Declares TcxCustomTextEditViewInfo and TcxCustomTextEditViewData.
#include "editors/cxEditTextUtils.h"
#include "editors/cxEditViewInfo.h"
#include "editors/cxTextEditProperties.h"

using TcxTextEditOwnerDrawHook = TEvent<void(TcxCanvas* ACanvas, TcxCustomEditViewInfo* V, const TRect& R)>;

class TcxCustomTextEditViewInfo : public TcxCustomEditViewInfo {
public:
  ~TcxCustomTextEditViewInfo() override = default;

  bool NativeDropDownLook = false;
  TcxTextEditOwnerDrawHook OwnerDrawHook;
  bool Highlighted = false;
  TcxTextOutFlags LayoutFlags = 0;
  TcxTextEditingStyle EditingStyle = tesEdit;
  bool PopupOpen = false;
  bool InnerEditShown = false;
  bool OwnerDrawHookSet = false;
  int MaxLineCount = 0;
  int SelStart = 0, SelLength = 0;
  TColor SelTextColor = clHighlightText, SelBackgroundColor = clHighlight;
  String Text;
  TcxTextOutData TextOutData;
  TRect TextRect;

  virtual void PaintText(TcxCanvas* ACanvas);
  // Whether Text does not all fit TextRect with the layout flags.
  bool IsTextTruncated(TcxCanvas* ACanvas);

  void Draw(TcxCanvas* ACanvas) override;
  void CopyFrom(TObject* Source) override;
  void ShiftBy(int DX, int DY) override;
  bool NeedsHintInRect(TcxCanvas* ACanvas, TPoint P, String& Text, const TRect& R) override;
};

class TcxCustomTextEditViewData : public TcxCustomEditViewData {
public:
  using TcxCustomEditViewData::TcxCustomEditViewData;
  bool ValueFormattedByProvider = false;
  // A host's selection in the painted text; its colours are TextColorA (text) and
  // TextColorB (background), clDefault when not given.
  int SelStart = 0, SelLength = 0;

  TcxCustomTextEditProperties* TextProperties() const {
    return static_cast<TcxCustomTextEditProperties*>(Properties);
  }

  // ---- overrides
  void InitializeFromProperties() override;
  void ComputeViewInfo(TcxCanvas* ACanvas, const TRect& R, TPoint P, TcxMouseButtonCode Button,
                       TcxCustomEditViewInfo* V, TShiftState Shift, bool Recalculate) override;
  void PrepareDisplayText(const Variant& Value, String& Text) override;
  void FillValueText(TcxCanvas* ACanvas, const Variant& Value, TcxCustomEditViewInfo* V) override;
  void GetTextSize(TcxCanvas* ACanvas, const Variant& Value, TSize& Size,
                   const TcxEditSizeParameters& Parameters) override;
  void ComputeContentExtent(TcxCanvas* ACanvas, TcxCustomEditViewInfo* V, TRect& E) override;

  // ---- new virtual operations, in their order
  virtual bool OwnerShowsInnerEdit();
  virtual int GetMaxLineCount() { return 0; }
  virtual bool HasNativeDropDownLook() { return false; }
  virtual void CalculateTextFlags(TcxCanvas* ACanvas, TcxCustomTextEditViewInfo* V);
  virtual void SetDisplayTextFromEditValue(const String& Text, TcxCustomTextEditViewInfo* V);
  virtual TcxTextOutFlags GetTextFlags();
  virtual void GetTextMargins(TRect& Margins);

  // The text size of Text for content sizing with the given flags.
  TSize MeasureText(TcxCanvas* ACanvas, const String& Text, const TcxEditSizeParameters& Parameters,
                    TcxTextOutFlags Flags);

private:
  void ComputeTextRect(TcxCanvas* ACanvas, TcxCustomTextEditViewInfo* V);
};
