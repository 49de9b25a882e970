#pragma once
// The parts of a data grid column: the grid-level default values columns fall back on
// (TColumnDefValuesEh, TColumnTitleDefValuesEh, TColumnFooterDefValuesEh,
// TDBGridEhColumnDefValuesEh), the title with its sort marker (TColumnTitleEh) and the
// footers with the sums behind them (TColumnFooterEh in TColumnFootersEh).
//
// Most visual settings of a title or footer have no value of their own until they are
// assigned: they read it from the column, the grid or the grid's ColumnDefValues, and a set
// of assigned-value flags remembers what was assigned. Streaming writes only assigned values.
#include "grid/DBGridEhTypes.h"

// ================================================================ grid-level defaults

class TColumnTitleDefValuesEh : public TPersistent {
  KELM_CLASS(TColumnTitleDefValuesEh, TPersistent)
  template <class B> static void Published(B& b) {
    using C = TColumnTitleDefValuesEh;
    b.Prop("Alignment", &C::Alignment, &C::SetAlignment).NoDefault().Stored(&C::IsAlignmentStored);
    b.Prop("Color", &C::Color, &C::SetColor).Type("TColor").NoDefault().Stored(&C::IsColorStored);
    b.Prop("EndEllipsis", &C::EndEllipsis, &C::SetEndEllipsis).Default(false);
    b.Prop("Orientation", &C::Orientation, &C::SetOrientation).Default(tohHorizontal);
    b.Prop("TitleButton", &C::TitleButton, &C::SetTitleButton).Default(false);
    b.Prop("ToolTips", &C::ToolTips, &C::SetToolTips).Default(false);
  }
public:
  explicit TColumnTitleDefValuesEh(TCustomDBGridEh* AGrid) : FGrid(AGrid) {}
  void Assign(TPersistent* Source) override;
  TCustomDBGridEh* Grid() const { return FGrid; }

  // Centred under multi-level titles, else left; while not assigned.
  TAlignment Alignment() const;
  void SetAlignment(TAlignment Value);
  // The grid's FixedColor while not assigned.
  TColor Color() const;
  void SetColor(TColor Value);
  bool EndEllipsis() const { return FEndEllipsis; }
  void SetEndEllipsis(bool Value);
  TTextOrientationEh Orientation() const { return FOrientation; }
  void SetOrientation(TTextOrientationEh Value);
  bool TitleButton() const { return FTitleButton; }
  void SetTitleButton(bool Value) { FTitleButton = Value; }
  bool ToolTips() const { return FToolTips; }
  void SetToolTips(bool Value) { FToolTips = Value; }
  bool AlignmentAssigned() const { return FAlignmentAssigned; }
  bool ColorAssigned() const { return FColorAssigned; }

private:
  bool IsAlignmentStored() const { return FAlignmentAssigned; }
  bool IsColorStored() const { return FColorAssigned; }
  TCustomDBGridEh* FGrid;
  TAlignment FAlignment = taLeftJustify;
  bool FAlignmentAssigned = false;
  TColor FColor = clBtnFace;
  bool FColorAssigned = false;
  bool FEndEllipsis = false;
  TTextOrientationEh FOrientation = tohHorizontal;
  bool FTitleButton = false;
  bool FToolTips = false;
};

class TColumnFooterDefValuesEh : public TPersistent {
  KELM_CLASS(TColumnFooterDefValuesEh, TPersistent)
  template <class B> static void Published(B& b) {
    b.Prop("ToolTips", &TColumnFooterDefValuesEh::ToolTips, &TColumnFooterDefValuesEh::SetToolTips).Default(false);
  }
public:
  explicit TColumnFooterDefValuesEh(TCustomDBGridEh* AGrid) : FGrid(AGrid) {}
  void Assign(TPersistent* Source) override;
  bool ToolTips() const { return FToolTips; }
  void SetToolTips(bool Value) { FToolTips = Value; }

private:
  TCustomDBGridEh* FGrid;
  bool FToolTips = false;
};

class TColumnDefValuesEh : public TPersistent {
  KELM_CLASS(TColumnDefValuesEh, TPersistent)
public:
  explicit TColumnDefValuesEh(TCustomDBGridEh* AGrid);
  ~TColumnDefValuesEh() override;
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override;
  TCustomDBGridEh* Grid() const { return FGrid; }

  bool AlwaysShowEditButton() const { return FAlwaysShowEditButton; }
  void SetAlwaysShowEditButton(bool Value);
  bool AutoDropDown() const { return FAutoDropDown; }
  void SetAutoDropDown(bool Value) { FAutoDropDown = Value; }
  bool DblClickNextVal() const { return FDblClickNextVal; }
  void SetDblClickNextVal(bool Value) { FDblClickNextVal = Value; }
  bool DropDownShowTitles() const { return FDropDownShowTitles; }
  void SetDropDownShowTitles(bool Value) { FDropDownShowTitles = Value; }
  bool DropDownSizing() const { return FDropDownSizing; }
  void SetDropDownSizing(bool Value) { FDropDownSizing = Value; }
  bool EndEllipsis() const { return FEndEllipsis; }
  void SetEndEllipsis(bool Value);
  TColumnFooterDefValuesEh* Footer() const { return FFooter.get(); }
  void SetFooter(TColumnFooterDefValuesEh* Value) { FFooter->Assign(Value); }
  bool HighlightRequired() const { return FHighlightRequired; }
  void SetHighlightRequired(bool Value);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout Value);
  TColumnTitleDefValuesEh* Title() const { return FTitle.get(); }
  void SetTitle(TColumnTitleDefValuesEh* Value) { FTitle->Assign(Value); }
  bool ToolTips() const { return FToolTips; }
  void SetToolTips(bool Value) { FToolTips = Value; }

private:
  TCustomDBGridEh* FGrid;
  std::unique_ptr<TColumnTitleDefValuesEh> FTitle;
  std::unique_ptr<TColumnFooterDefValuesEh> FFooter;
  bool FAlwaysShowEditButton = false;
  bool FAutoDropDown = false;
  bool FDblClickNextVal = false;
  bool FDropDownShowTitles = false;
  bool FDropDownSizing = false;
  bool FEndEllipsis = false;
  bool FHighlightRequired = false;
  TTextLayout FLayout = tlTop;
  bool FToolTips = false;
};

// The grid's published ColumnDefValues.
class TDBGridEhColumnDefValuesEh : public TColumnDefValuesEh {
  KELM_CLASS(TDBGridEhColumnDefValuesEh, TColumnDefValuesEh)
  template <class B> static void Published(B& b) {
    using C = TDBGridEhColumnDefValuesEh;
    b.Prop("AlwaysShowEditButton", &C::AlwaysShowEditButton, &C::SetAlwaysShowEditButton).Default(false);
    b.Prop("AutoDropDown", &C::AutoDropDown, &C::SetAutoDropDown).Default(false);
    b.Prop("DblClickNextVal", &C::DblClickNextVal, &C::SetDblClickNextVal).Default(false);
    b.Prop("DropDownShowTitles", &C::DropDownShowTitles, &C::SetDropDownShowTitles).Default(false);
    b.Prop("DropDownSizing", &C::DropDownSizing, &C::SetDropDownSizing).Default(false);
    b.Prop("EndEllipsis", &C::EndEllipsis, &C::SetEndEllipsis).Default(false);
    b.Prop("Footer", &C::Footer, &C::SetFooter);
    b.Prop("HighlightRequired", &C::HighlightRequired, &C::SetHighlightRequired).Default(false);
    b.Prop("Layout", &C::Layout, &C::SetLayout).Default(tlTop);
    b.Prop("Title", &C::Title, &C::SetTitle);
    b.Prop("ToolTips", &C::ToolTips, &C::SetToolTips).Default(false);
  }
public:
  explicit TDBGridEhColumnDefValuesEh(TCustomDBGridEh* AGrid) : TColumnDefValuesEh(AGrid) {}
};

// ================================================================ title

class TColumnTitleEh : public TPersistent {
  KELM_CLASS(TColumnTitleEh, TPersistent)
  template <class B> static void Published(B& b) {
    using C = TColumnTitleEh;
    b.Prop("Alignment", &C::Alignment, &C::SetAlignment).NoDefault().Stored(&C::IsAlignmentStored);
    b.Prop("Caption", &C::Caption, &C::SetCaption).Stored(&C::IsCaptionStored);
    b.Prop("Color", &C::Color, &C::SetColor).Type("TColor").NoDefault().Stored(&C::IsColorStored);
    b.Prop("EndEllipsis", &C::EndEllipsis, &C::SetEndEllipsis).NoDefault().Stored(&C::IsEndEllipsisStored);
    b.Prop("Font", &C::Font, &C::SetFont).Stored(&C::IsFontStored);
    b.Prop("Hint", &C::Hint, &C::SetHint);
    b.Prop("ImageIndex", &C::ImageIndex, &C::SetImageIndex).Default(-1);
    b.Prop("Orientation", &C::Orientation, &C::SetOrientation).NoDefault().Stored(&C::IsOrientationStored);
    b.Prop("SortIndex", &C::SortIndex, &C::SetSortIndex).Default(0);
    b.Prop("SortMarker", &C::SortMarker, &C::SetSortMarker).Default(smNoneEh);
    b.Prop("TitleButton", &C::TitleButton, &C::SetTitleButton).NoDefault().Stored(&C::IsTitleButtonStored);
    b.Prop("ToolTips", &C::ToolTips, &C::SetToolTips).NoDefault().Stored(&C::IsToolTipsStored);
  }
public:
  explicit TColumnTitleEh(TColumnEh* Column);
  ~TColumnTitleEh() override;
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override;
  TColumnEh* Column() const { return FColumn; }

  // ---- published
  TAlignment Alignment() const;
  void SetAlignment(TAlignment Value);
  // The field's display name, else the column's FieldName, while not assigned.
  String Caption() const;
  virtual void SetCaption(const String& Value);
  TColor Color() const;
  void SetColor(TColor Value);
  bool EndEllipsis() const;
  void SetEndEllipsis(bool Value);
  TFont* Font() const;
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  const String& Hint() const { return FHint; }
  void SetHint(const String& Value) { FHint = Value; }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  TTextOrientationEh Orientation() const;
  void SetOrientation(TTextOrientationEh Value);
  // 0 = not sort-marked; else the column's place in the grid's sort order, from 1.
  int SortIndex() const { return FSortIndex; }
  void SetSortIndex(int Value);
  TSortMarkerEh SortMarker() const { return FSortMarker; }
  void SetSortMarker(TSortMarkerEh Value);
  bool TitleButton() const;
  void SetTitleButton(bool Value);
  bool ToolTips() const;
  void SetToolTips(bool Value);

  // ---- behaviour
  // A title-button click under automatic sort marking: down, up, then none with Ctrl held or
  // down again without.
  void CycleSortMarker(bool CtrlHeld);
  // Pixels the title keeps free at its right for the marker and the sort index.
  int SortMarkerSpace() const;
  virtual void ResetToDefaults();
  TFont* DefaultFont() const;
  String DefaultCaption() const;

private:
  friend class TColumnEh;
  friend class TCustomDBGridEh;
  bool Flagged(TColumnEhValue V) const;
  void Flag(TColumnEhValue V);
  // The grid's title default (Get), else Fallback.
  template <class T> T DefaultOf(T (TColumnTitleDefValuesEh::*Get)() const, T Fallback) const;
  // Own once the title was given V, else DefaultOf(Get, Fallback).
  template <class T>
  T Followed(TColumnEhValue V, const T& Own, T (TColumnTitleDefValuesEh::*Get)() const, T Fallback) const;
  // Whether Own was given and differs from DefaultOf(Get, Fallback), so a layout writes it.
  template <class T>
  bool OwnStored(TColumnEhValue V, const T& Own, T (TColumnTitleDefValuesEh::*Get)() const, T Fallback) const;
  void FontChanged(TObject* Sender);
  void RefreshDefaultFont() const;
  TColumnsEhList* SortMarkedList() const;
  bool IsAlignmentStored() const;
  bool IsCaptionStored() const;
  bool IsColorStored() const;
  bool IsEndEllipsisStored() const;
  bool IsFontStored() const;
  bool IsOrientationStored() const;
  bool IsTitleButtonStored() const;
  bool IsToolTipsStored() const;

  TAlignment FAlignment = taLeftJustify;
  String FCaption;
  TColor FColor = clBtnFace;
  TColumnEh* FColumn;
  bool FEndEllipsis = false;
  std::unique_ptr<TFont> FFont;
  String FHint;
  int FImageIndex = -1;
  TTextOrientationEh FOrientation = tohHorizontal;
  int FSortIndex = 0;
  bool FToolTips = false;
  TSortMarkerEh FSortMarker = smNoneEh;
  bool FTitleButton = false;
};

// ================================================================ footers

class TColumnFooterEh : public TCollectionItem {
  KELM_CLASS(TColumnFooterEh, TCollectionItem)
  template <class B> static void Published(B& b) {
    using C = TColumnFooterEh;
    b.Prop("Alignment", &C::Alignment, &C::SetAlignment).NoDefault().Stored(&C::IsAlignmentStored);
    b.Prop("Color", &C::Color, &C::SetColor).Type("TColor").NoDefault().Stored(&C::IsColorStored);
    b.Prop("DisplayFormat", &C::DisplayFormat, &C::SetDisplayFormat);
    b.Prop("EndEllipsis", &C::EndEllipsis, &C::SetEndEllipsis).Default(false);
    b.Prop("FieldName", &C::FieldName, &C::SetFieldName);
    b.Prop("Font", &C::Font, &C::SetFont).Stored(&C::IsFontStored);
    b.Prop("ToolTips", &C::ToolTips, &C::SetToolTips).NoDefault().Stored(&C::IsToolTipsStored);
    b.Prop("Value", &C::Value, &C::SetValue);
    b.Prop("ValueType", &C::ValueType, &C::SetValueType).Default(fvtNon);
    b.Prop("WordWrap", &C::WordWrap, &C::SetWordWrap).Default(false);
  }
public:
  // An item of a column's Footers.
  explicit TColumnFooterEh(TCollection* Collection);
  // A column's single Footer.
  explicit TColumnFooterEh(TColumnEh* Column);
  ~TColumnFooterEh() override;
  void Assign(TPersistent* Source) override;
  TColumnEh* Column() const { return FColumn; }

  // ---- published
  TAlignment Alignment() const;
  void SetAlignment(TAlignment Value);
  TColor Color() const;
  void SetColor(TColor Value);
  const String& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const String& Value);
  bool EndEllipsis() const { return FEndEllipsis; }
  void SetEndEllipsis(bool Value);
  // The field summed, averaged or shown; for sums and averages '' means the column's field.
  const String& FieldName() const { return FFieldName; }
  void SetFieldName(const String& Value);
  TFont* Font() const;
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  bool ToolTips() const;
  void SetToolTips(bool Value);
  const String& Value() const { return FValue; }
  void SetValue(const String& Value);
  TFooterValueType ValueType() const { return FValueType; }
  void SetValueType(TFooterValueType Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);

  // ---- model
  // The aggregate this footer keeps in the grid's sum list; nullptr while none is needed.
  TDBSum* SumItem() const;
  // Keeps the aggregate item in step with ValueType and FieldName.
  void SyncSumItem();
  virtual void ResetAssignedValues();
  bool AlignmentAssigned() const { return FAssignedAlignment; }
  bool ColorAssigned() const { return FAssignedColor; }
  bool FontAssigned() const { return FAssignedFont; }
  bool ToolTipsAssigned() const { return FAssignedToolTips; }
  TAlignment DefaultAlignment() const;
  TColor DefaultColor() const;
  TFont* DefaultFont() const;
  bool DefaultToolTips() const;

private:
  void Init();
  void FontChanged(TObject* Sender);
  void RefreshDefaultFont() const;
  void ColumnChanged(bool AllColumns);
  void InvalidateFooterRows();
  bool IsAlignmentStored() const { return FAssignedAlignment && FAlignment != DefaultAlignment(); }
  bool IsColorStored() const { return FAssignedColor && FColor != DefaultColor(); }
  bool IsFontStored() const { return FAssignedFont; }
  bool IsToolTipsStored() const { return FAssignedToolTips && FToolTips; }

  TColumnEh* FColumn = nullptr;
  TAlignment FAlignment = taLeftJustify;
  TColor FColor = clWindow;
  String FDisplayFormat;
  bool FEndEllipsis = false;
  String FFieldName;
  std::unique_ptr<TFont> FFont;
  bool FToolTips = false;
  String FValue;
  TFooterValueType FValueType = fvtNon;
  bool FWordWrap = false;
  bool FAssignedAlignment = false, FAssignedColor = false, FAssignedFont = false, FAssignedToolTips = false;
  // The item is found by its ID, so a sum list emptied behind the footer's back leaves no
  // dangling reference.
  int FSumItemID = -1;
};

class TColumnFootersEh : public TCollection {
  KELM_CLASS(TColumnFootersEh, TCollection)
public:
  TColumnFootersEh(TColumnEh* Column, TClass FooterClass);
  TColumnFooterEh* Items(int Index) const { return static_cast<TColumnFooterEh*>(TCollection::Items(Index)); }
  TColumnFooterEh* operator[](int Index) const { return Items(Index); }
  TColumnFooterEh* Add() { return static_cast<TColumnFooterEh*>(TCollection::Add()); }
  TPersistent* GetOwner() const override;
  TColumnEh* Column() const { return FColumn; }

protected:
  void Update(TCollectionItem* Item) override;

private:
  TColumnEh* FColumn;
};
