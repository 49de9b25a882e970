// Edit buttons and their collection.
#include "editors/cxEditButtons.h"

#include "core/ClassBuilder.h"
#include "editors/cxControlUtils.h"
#include "editors/cxEditRoutines.h"
#include "gui/Pictures.h"

// ================================================================ TcxEditButton

KELM_PUBLISH(TcxEditButton) { Published(b); }

TcxEditButton::TcxEditButton(TCollection* ACollection) : TCollectionItem(nullptr) {
  // The collection hears of the new button once, when it is complete.
  if (ACollection) ACollection->BeginUpdate();
  TryFinally(
      [&] {
        SetCollection(ACollection);
        if (ACollection && ACollection->Count() == 1) {
          TComponent* owner = OwnerComponentOf(ACollection);
          if (owner && owner->ComponentState().Contains(csDesigning) &&
              !owner->ComponentState().Contains(csLoading))
            SetDefault(true);
        }
      },
      [&] {
        if (ACollection) ACollection->EndUpdate();
      });
}

TcxEditButton::~TcxEditButton() { delete FGlyph; }

TBitmap* TcxEditButton::Glyph() const {
  if (!FGlyph) FGlyph = new TBitmap;
  FGlyph->SetOnChange(TNotifyEvent(const_cast<TcxEditButton*>(this), &TcxEditButton::GlyphChanged));
  return FGlyph;
}

void TcxEditButton::SetGlyph(TBitmap* Value) {
  if (!Value) {
    delete FGlyph;
    FGlyph = nullptr;
  } else {
    Glyph()->Assign(Value);
  }
  Changed(false);
}

void TcxEditButton::SetCaption(const String& Value) {
  if (Value == FCaption) return;
  FCaption = Value;
  FVisibleCaption = StripAccelChars(Value);
  Changed(false);
}

void TcxEditButton::SetDefault(bool Value) {
  if (Value == FDefault) return;
  if (Value)
    if (auto* buttons = dynamic_cast<TcxEditButtons*>(Collection()))
      for (int i = 0; i < buttons->Count(); ++i) buttons->Items(i)->FDefault = false;
  FDefault = Value;
  Changed(true);
}

namespace {
template <class T> bool Store(T& Field, const T& Value) {
  if (Field == Value) return false;
  Field = Value;
  return true;
}
}  // namespace

void TcxEditButton::SetEnabled(bool Value) {
  if (Store(FEnabled, Value)) Changed(false);
}
void TcxEditButton::SetKind(TcxEditButtonKind Value) {
  if (Store(FKind, Value)) Changed(false);
}
void TcxEditButton::SetLeftAlignment(bool Value) {
  if (Store(FLeftAlignment, Value)) Changed(false);
}
void TcxEditButton::SetStretchable(bool Value) {
  if (Store(FStretchable, Value)) Changed(false);
}
void TcxEditButton::SetTextColor(TColor Value) {
  if (Store(FTextColor, Value)) Changed(false);
}
void TcxEditButton::SetVisible(bool Value) {
  if (Store(FVisible, Value)) Changed(false);
}

void TcxEditButton::SetWidth(int Value) {
  // A negative width means the default one, like 0; it is kept as 0 so that the width can be
  // changed again afterwards.
  if (Value < 0) Value = 0;
  if (Store(FWidth, Value)) Changed(false);
}

void TcxEditButton::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TcxEditButton*>(Source);
  if (!s) return TCollectionItem::Assign(Source);
  auto copy = [&] {
    SetCaption(s->Caption());
    FVisibleCaption = s->FVisibleCaption;
    SetDefault(s->Default());
    SetEnabled(s->Enabled());
    SetGlyph(s->Glyph());
    SetKind(s->Kind());
    SetLeftAlignment(s->LeftAlignment());
    SetStretchable(s->Stretchable());
    SetTextColor(s->TextColor());
    SetVisible(s->Visible());
    SetWidth(s->Width());
  };
  if (Collection()) WithinUpdate(*Collection(), copy);
  else copy();
}

// ================================================================ TcxEditButtons

KELM_PUBLISH(TcxEditButtons) {}

TcxEditButtons::TcxEditButtons(TPersistent* AOwner) : TCollection(TcxEditButton::StaticClass()), FOwner(AOwner) {}

void TcxEditButtons::Update(TCollectionItem*) {
  if (OnChange) OnChange(this);
}

int TcxEditButtons::VisibleCount() const {
  int n = 0;
  for (int i = 0; i < Count(); ++i) n += Items(i)->Visible();
  return n;
}
