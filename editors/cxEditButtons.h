#pragma once
// The buttons an editor draws inside its border: TcxEditButton describes one (kind, caption,
// glyph, width, side, stretching, default, enabled, visible) and TcxEditButtons, the
// collection an editor's properties own, reports every change of its items to them.
// Geometry and states on screen are the view data's (cxEditViewInfo.h); clicks are the
// editor's (cxCustomEdit.h).
// Declares TcxEditButton and TcxEditButtons.
#include "core/Collection.h"
#include "core/Events.h"
#include "gui/Graphics.h"

class TBitmap;

KELM_ENUM(TcxEditButtonKind, bkEllipsis, bkDown, bkGlyph, bkText)

class TcxEditButton : public TCollectionItem {
  KELM_CLASS(TcxEditButton, TCollectionItem)
  template <class B> static void Published(B& b) {
    b.Prop("Caption", &TcxEditButton::Caption, &TcxEditButton::SetCaption);
    b.Prop("Default", &TcxEditButton::Default, &TcxEditButton::SetDefault).Default(false);
    b.Prop("Enabled", &TcxEditButton::Enabled, &TcxEditButton::SetEnabled).Default(true);
    b.Prop("Glyph", &TcxEditButton::Glyph, &TcxEditButton::SetGlyph).Stored(&TcxEditButton::GlyphStored);
    b.Prop("Kind", &TcxEditButton::Kind, &TcxEditButton::SetKind).Default(bkDown);
    b.Prop("LeftAlignment", &TcxEditButton::LeftAlignment, &TcxEditButton::SetLeftAlignment).Default(false);
    b.Prop("Stretchable", &TcxEditButton::Stretchable, &TcxEditButton::SetStretchable).Default(true);
    b.Prop("Visible", &TcxEditButton::Visible, &TcxEditButton::SetVisible).Default(true);
    b.Prop("Width", &TcxEditButton::Width, &TcxEditButton::SetWidth).Default(0);
  }

public:
  explicit TcxEditButton(TCollection* ACollection);
  ~TcxEditButton() override;
  void Assign(TPersistent* Source) override;

  const String& Caption() const { return FCaption; }
  void SetCaption(const String& Value);
  bool Default() const { return FDefault; }
  // At most one button of a collection is the default one: setting it clears the others.
  void SetDefault(bool Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  // Made on first read; every read hooks the bitmap's change notice to the button.
  TBitmap* Glyph() const;
  void SetGlyph(TBitmap* Value);
  bool HasGlyph() const { return FGlyph != nullptr; }
  TcxEditButtonKind Kind() const { return FKind; }
  void SetKind(TcxEditButtonKind Value);
  bool LeftAlignment() const { return FLeftAlignment; }
  void SetLeftAlignment(bool Value);
  bool Stretchable() const { return FStretchable; }
  void SetStretchable(bool Value);
  TColor TextColor() const { return FTextColor; }
  void SetTextColor(TColor Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  // The caption as shown: accelerator marks dropped.
  const String& VisibleCaption() const { return FVisibleCaption; }
  // Below 1: the default width of the layout.
  int Width() const { return FWidth; }
  void SetWidth(int Value);

private:
  bool GlyphStored() const { return FGlyph && !FGlyph->Empty(); }
  void GlyphChanged(TObject*) { Changed(false); }
  String FCaption;
  bool FDefault = false;
  bool FEnabled = true;
  mutable TBitmap* FGlyph = nullptr;
  TcxEditButtonKind FKind = bkDown;
  bool FLeftAlignment = false;
  bool FStretchable = true;
  TColor FTextColor = clBtnText;
  bool FVisible = true;
  String FVisibleCaption;
  int FWidth = 0;
};

class TcxEditButtons : public TCollection {
  KELM_CLASS(TcxEditButtons, TCollection)

public:
  explicit TcxEditButtons(TPersistent* AOwner);
  TPersistent* GetOwner() const override { return FOwner; }
  TcxEditButton* Add() { return static_cast<TcxEditButton*>(TCollection::Add()); }
  TcxEditButton* Items(int Index) const { return static_cast<TcxEditButton*>(TCollection::Items(Index)); }
  int VisibleCount() const;
  // Called with the collection after every change of its items.
  TNotifyEvent OnChange;

protected:
  void Update(TCollectionItem* Item) override;

private:
  TPersistent* FOwner;
};
