#pragma once
// The older engine's combo boxes: a flat-looking drop-down box that frames itself only while
// it is active (designed, dropped down, focused or under the mouse), its published form, and a
// font-name box that marks outline faces, keeps the five fonts chosen last at the top of its
// list (remembered in the registry) and shows the font under the cursor in a floating preview.
//
// The box draws its whole face itself: the edit field sits EditOffset + 3 pixels in, leaving
// room at its left for an image (DrawImage), and the 11-pixel drop-down button on the right.
// Its list is subclassed: it opens as wide as the box less one pixel, DropDownHeight high, and
// above the box when it would leave the screen below; requests to scroll the list to its top
// are ignored while the selection lies among the first DropDownCount rows.
#include "gui/ComboBox.h"

#include <memory>

class TPanel;
class TBitmap;

class TfrCustomComboBox : public TCustomComboBox {
  KELM_CLASS(TfrCustomComboBox, TCustomComboBox)
public:
  static constexpr int ButtonWidth = 11;

  explicit TfrCustomComboBox(TComponent* AOwner);
  ~TfrCustomComboBox() override;
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

  int EditOffset() const { return FEditOffset; }
  void SetEditOffset(int Value);
  bool ReadOnly() const { return EditReadOnly(); }
  void SetReadOnly(bool Value) { SetEditReadOnly(Value); }
  // Item height x the smaller of DropDownCount and the item count, + 4 (item height + 4 when
  // either is 0).
  int DropDownHeight() const;
  // The list opened above the box.
  bool DropUp() const { return FDropUp; }
  bool MouseInControl() const { return FMouseInControl; }
  // Framed as active: designed, dropped down, focused or under the mouse.
  bool IsActive() const;
  // The text height of the font on the screen.
  int TextHeight() const;

protected:
  void CreateParams(TCreateParams& Params) override;
  TRect EditRect() const override;
  void DropDown() override;
  // The area left of the edit; the base fills it with the window colour when there is one.
  virtual void DrawImage(HDC DC, const TRect& Rect);
  void PaintFlat(HDC DC);
  // Applies the font's text height to the list's rows.
  virtual void UpdateItemHeight();

private:
  void ListWndProc(TMessage& M);
  void PlaceList();
  void DrawButton(HDC DC, int Look);  // 0 flat, 1 raised, 2 pressed
  void DrawArrow(HDC DC, bool Pressed);

  TWndMethod FListProc;
  int FEditOffset = 0;
  bool FMouseInControl = false;
  bool FDropUp = false;
};

class TfrComboBox : public TfrCustomComboBox {
  KELM_CLASS(TfrComboBox, TfrCustomComboBox)
  template <class B> static void Published(B& b) {
    using C = TfrComboBox;
    PublishAlign(b);
    PublishAnchors(b);
    PublishColor(b);
    PublishConstraints(b);
    b.Prop("DropDownCount", &C::DropDownCount, &C::SetDropDownCount).Default(8);
    PublishEnabled(b);
    PublishFont(b);
    b.Prop("ItemIndex", &C::ItemIndex, &C::SetItemIndex).Default(-1);
    b.Prop("Items", &C::Items, &C::SetItems);
    b.Prop("MaxLength", &C::MaxLength, &C::SetMaxLength).Default(0);
    PublishParentFont(b);
    PublishParentShowHint(b);
    PublishPopupMenu(b);
    b.Prop("ReadOnly", &C::ReadOnly, &C::SetReadOnly).Default(false);
    PublishShowHint(b);
    b.Prop("Sorted", &C::Sorted, &C::SetSorted).Default(false);
    PublishTabOrder(b);
    PublishTabStop(b).Default(true);
    PublishText(b);
    PublishVisible(b);
    b.Prop("OnChange", &C::OnChange, &C::OnChange);
    PublishOnClick(b);
    PublishOnDblClick(b);
    b.Prop("OnDrawItem", &C::OnDrawItem, &C::OnDrawItem);
    b.Prop("OnDropDown", &C::OnDropDown, &C::OnDropDown);
    PublishOnEnter(b);
    PublishOnExit(b);
    PublishOnKeyDown(b);
    PublishOnKeyPress(b);
    PublishOnKeyUp(b);
  }
public:
  explicit TfrComboBox(TComponent* AOwner);
};

// The floating sample of the font under the cursor: a 200 x 50 tool window with one panel.
class TfrFontPreview : public TWinControl {
  KELM_CLASS(TfrFontPreview, TWinControl)
public:
  explicit TfrFontPreview(TComponent* AOwner);
  TPanel* Panel() const { return FPanel; }

protected:
  void CreateParams(TCreateParams& Params) override;

private:
  TPanel* FPanel = nullptr;
};

class TfrFontComboBox : public TfrCustomComboBox {
  KELM_CLASS(TfrFontComboBox, TfrCustomComboBox)
  template <class B> static void Published(B& b) {
    using C = TfrFontComboBox;
    PublishAlign(b);
    PublishAnchors(b);
    PublishColor(b);
    b.Prop("DropDownCount", &C::DropDownCount, &C::SetDropDownCount).Default(12);
    PublishEnabled(b);
    PublishFont(b);
    b.Prop("MRURegKey", &C::MRURegKey, &C::SetMRURegKey);
    PublishParentFont(b);
    PublishParentShowHint(b);
    PublishShowHint(b);
    b.Prop("ShowMRU", &C::ShowMRU, &C::SetShowMRU).Default(true);
    PublishTabOrder(b);
    PublishTabStop(b).Default(true);
    PublishText(b);
    PublishVisible(b);
    PublishOnClick(b);
    b.Prop("OnChange", &C::OnChange, &C::OnChange);
    b.Prop("OnDropDown", &C::OnDropDown, &C::OnDropDown);
  }
public:
  static constexpr const char* DefaultMRURegKey = "\\Software\\Vizerav Report\\MRUFont";
  static constexpr int MaxRecent = 5;

  explicit TfrFontComboBox(TComponent* AOwner);
  ~TfrFontComboBox() override;
  void Loaded() override;
  void Click() override;

  bool ShowMRU() const { return FShowMRU; }
  void SetShowMRU(bool Value) { FShowMRU = Value; }
  const String& MRURegKey() const { return FMRURegKey; }
  // An empty key puts the default back.
  void SetMRURegKey(const String& Value) { FMRURegKey = Value.empty() ? String(DefaultMRURegKey) : Value; }
  // Refills the list: the font families sorted, the recent ones on top.
  void Reset();
  // The index of the last recent row, -1 without any.
  int RecentCount() const { return FRecentCount; }
  // The font type an item carries (TRUETYPE_FONTTYPE set for outline faces).
  DWORD FontTypeOf(int Index) const;
  TfrFontPreview* Preview() const { return FPreview; }
  TBitmap* TrueTypeBitmap() const { return FTrueTypeBmp.get(); }

protected:
  void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;
  void DrawImage(HDC DC, const TRect& Rect) override;
  void DropDown() override;
  void CloseUp() override;
  void UpdateItemHeight() override;

private:
  void WriteRecent();

  std::unique_ptr<TBitmap> FTrueTypeBmp;
  TfrFontPreview* FPreview = nullptr;
  String FMRURegKey = DefaultMRURegKey;
  int FRecentCount = -1;
  bool FShowMRU = true;
  bool FUpdating = false;
};
