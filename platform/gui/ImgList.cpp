// Image lists: each image kept with its mask as transparency, drawn through the canvas's
// device context.
#include "gui/ImgList.h"
#include "gui/Graphics_p.h"
#include "core/ClassBuilder.h"
#include "core/Filer.h"
#include "gui/QtBridge_p.h"
#include <QPainter>

struct TCustomImageList::TImages {
  std::vector<QImage> Items;  // ARGB32: alpha 0 where the mask is set
};

// ================================================================ TChangeLink

TChangeLink::~TChangeLink() {
  if (FSender) FSender->UnRegisterChanges(this);
}

void TChangeLink::Change() {
  if (FSender) FOnChange(FSender);
}

// ================================================================ TCustomImageList

KELM_PUBLISH(TCustomImageList) { Published(b); }

KELM_PUBLISH(TImageList) {}

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner), FImages(std::make_unique<TImages>()) {}

TCustomImageList::~TCustomImageList() {
  for (TChangeLink* link : FClients) link->SetSender(nullptr);
}

TCustomImageList* TCustomImageList::CreateSize(int AWidth, int AHeight) {
  auto* list = new TImageList(nullptr);
  list->FWidth = std::max(1, AWidth);
  list->FHeight = std::max(1, AHeight);
  return list;
}

void TCustomImageList::Assign(TPersistent* Source) {
  if (auto* l = dynamic_cast<TCustomImageList*>(Source)) {
    FWidth = l->FWidth;
    FHeight = l->FHeight;
    FAllocBy = l->FAllocBy;
    FBkColor = l->FBkColor;
    FBlendColor = l->FBlendColor;
    FDrawingStyle = l->FDrawingStyle;
    FImageType = l->FImageType;
    FMasked = l->FMasked;
    FImages->Items.clear();
    for (const QImage& img : l->FImages->Items) FImages->Items.push_back(img.copy());
    Change();
    return;
  }
  TComponent::Assign(Source);
}

void TCustomImageList::Change() {
  if (FUpdateCount > 0) {
    FChanged = true;
    return;
  }
  FChanged = false;
  for (TChangeLink* link : std::vector<TChangeLink*>(FClients)) link->Change();
  FOnChange(this);
}

void TCustomImageList::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0 && FChanged) Change();
}

void TCustomImageList::RegisterChanges(TChangeLink* Value) {
  if (!Value) return;
  Value->SetSender(this);
  if (std::find(FClients.begin(), FClients.end(), Value) == FClients.end()) FClients.push_back(Value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value) {
  auto it = std::find(FClients.begin(), FClients.end(), Value);
  if (it == FClients.end()) return;
  FClients.erase(it);
  Value->SetSender(nullptr);
}

void TCustomImageList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= Count()) throw EInvalidOperation("Invalid ImageList Index");
}

int TCustomImageList::Count() const { return int(FImages->Items.size()); }

void TCustomImageList::SetWidth(int v) {
  if (v == FWidth || v < 1) return;
  FWidth = v;
  FImages->Items.clear();
  Change();
}

void TCustomImageList::SetHeight(int v) {
  if (v == FHeight || v < 1) return;
  FHeight = v;
  FImages->Items.clear();
  Change();
}

void TCustomImageList::SetBkColor(TColor v) {
  if (v == FBkColor) return;
  FBkColor = v;
  Change();
}

void TCustomImageList::SetBlendColor(TColor v) {
  if (v == FBlendColor) return;
  FBlendColor = v;
  Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle v) {
  if (v == FDrawingStyle) return;
  FDrawingStyle = v;
  Change();
}

void TCustomImageList::SetImageType(TImageType v) {
  if (v == FImageType) return;
  FImageType = v;
  Change();
}

void TCustomImageList::SetMasked(bool v) {
  if (v == FMasked) return;
  FMasked = v;
  Change();
}

// ---------------------------------------------------------------- adding images

int TCustomImageList::InsertImages(int Index, TBitmap* Image, TBitmap* Mask, bool UseColour, TColor MaskColour) {
  if (!Image || Image->Empty()) return -1;
  const QImage& src = ImageOf(*Image);
  QImage mask = Mask && !Mask->Empty() ? ImageOf(*Mask) : QImage();
  QRgb key = 0;
  if (UseColour) key = ToQRgb(ColorToRGB(MaskColour == clDefault ? TColor(FromQRgb(src.pixel(0, src.height() - 1))) : MaskColour));
  int n = std::max(1, src.width() / FWidth);
  std::vector<QImage> added;
  for (int i = 0; i < n; ++i) {
    QImage img(FWidth, FHeight, QImage::Format_ARGB32);
    img.fill(0);
    for (int y = 0; y < std::min(FHeight, src.height()); ++y)
      for (int x = 0; x < FWidth && i * FWidth + x < src.width(); ++x) {
        int sx = i * FWidth + x;
        QRgb p = src.pixel(sx, y) | 0xFF000000u;
        bool clear = UseColour ? p == key
                               : (!mask.isNull() && sx < mask.width() && y < mask.height() && (mask.pixel(sx, y) & 0xFFFFFF));
        img.setPixel(x, y, clear && FMasked ? 0 : p);
      }
    added.push_back(img);
  }
  Index = std::clamp(Index, 0, Count());
  FImages->Items.insert(FImages->Items.begin() + Index, added.begin(), added.end());
  Change();
  return Index;
}

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) { return InsertImages(Count(), Image, Mask, false, clNone); }

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
  return InsertImages(Count(), Image, nullptr, true, MaskColor);
}

int TCustomImageList::AddIcon(TIcon* Image) {
  if (!Image || Image->Empty()) return -1;
  FImages->Items.push_back(ImageOf(*Image).scaled(FWidth, FHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                               .convertToFormat(QImage::Format_ARGB32));
  Change();
  return Count() - 1;
}

void TCustomImageList::Insert(int Index, TBitmap* Image, TBitmap* Mask) {
  if (Index < 0 || Index > Count()) throw EInvalidOperation("Invalid ImageList Index");
  InsertImages(Index, Image, Mask, false, clNone);
}

void TCustomImageList::InsertMasked(int Index, TBitmap* Image, TColor MaskColor) {
  if (Index < 0 || Index > Count()) throw EInvalidOperation("Invalid ImageList Index");
  InsertImages(Index, Image, nullptr, true, MaskColor);
}

void TCustomImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask) {
  CheckIndex(Index);
  BeginUpdate();
  Delete(Index);
  InsertImages(Index, Image, Mask, false, clNone);
  EndUpdate();
}

void TCustomImageList::ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor) {
  CheckIndex(Index);
  BeginUpdate();
  Delete(Index);
  InsertImages(Index, NewImage, nullptr, true, MaskColor);
  EndUpdate();
}

void TCustomImageList::Delete(int Index) {
  if (Index == -1) {
    Clear();
    return;
  }
  CheckIndex(Index);
  FImages->Items.erase(FImages->Items.begin() + Index);
  Change();
}

void TCustomImageList::Clear() {
  FImages->Items.clear();
  Change();
}

void TCustomImageList::Move(int CurIndex, int NewIndex) {
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  if (CurIndex == NewIndex) return;
  QImage img = FImages->Items[std::size_t(CurIndex)];
  FImages->Items.erase(FImages->Items.begin() + CurIndex);
  FImages->Items.insert(FImages->Items.begin() + NewIndex, img);
  Change();
}

// ---------------------------------------------------------------- drawing

namespace {

// The image's pixels in one colour where it is opaque and not white: the shape the
// disabled look embosses.
QImage Silhouette(const QImage& img, QRgb colour) {
  QImage out(img.size(), QImage::Format_ARGB32);
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      QRgb p = img.pixel(x, y);
      out.setPixel(x, y, qAlpha(p) && (p & 0xFFFFFF) != 0xFFFFFF ? colour : 0);
    }
  return out;
}

QImage Blended(const QImage& img, QRgb with, int percent) {
  QImage out = img.copy();
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x) {
      QRgb p = out.pixel(x, y);
      if (!qAlpha(p)) continue;
      auto mix = [&](int a, int b) { return (a * (100 - percent) + b * percent) / 100; };
      out.setPixel(x, y, qRgba(mix(qRed(p), qRed(with)), mix(qGreen(p), qGreen(with)), mix(qBlue(p), qBlue(with)), 255));
    }
  return out;
}

}  // namespace

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) {
  Draw(Canvas, X, Y, Index, FDrawingStyle, FImageType, Enabled);
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle,
                            TImageType AImageType, bool Enabled) {
  if (!Canvas || Index < 0 || Index >= Count()) return;
  DoDraw(Index, Canvas, X, Y, ADrawingStyle, AImageType, Enabled);
}

void TCustomImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, TDrawingStyle Style, TImageType Type,
                              bool Enabled) {
  const QImage& img = FImages->Items[std::size_t(Index)];
  HDC dc = Canvas->Handle();
  TRect at = Bounds(X, Y, FWidth, FHeight);
  if (!Enabled) {
    DrawQImage(dc, Bounds(X + 1, Y + 1, FWidth, FHeight), Silhouette(img, ToQRgb(GetSysColor(COLOR_BTNHIGHLIGHT))));
    DrawQImage(dc, at, Silhouette(img, ToQRgb(GetSysColor(COLOR_BTNSHADOW))));
    return;
  }
  if (Type == itMask) {
    QImage mask(img.size(), QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) mask.setPixel(x, y, qAlpha(img.pixel(x, y)) ? 0xFF000000 : 0xFFFFFFFF);
    DrawQImage(dc, at, mask);
    return;
  }
  if (FBkColor != clNone && Style != dsTransparent) {
    HBRUSH bk = CreateSolidBrush(ColorToRGB(FBkColor));
    ::FillRect(dc, at, bk);
    DeleteObject(bk);
  }
  if (Style == dsSelected || Style == dsFocus) {
    TColor blend = FBlendColor == clNone || FBlendColor == clDefault ? clHighlight : FBlendColor;
    DrawQImage(dc, at, Blended(img, ToQRgb(ColorToRGB(blend)), Style == dsSelected ? 50 : 25));
    return;
  }
  DrawQImage(dc, at, img);
}

bool TCustomImageList::GetBitmap(int Index, TBitmap* Image) {
  if (!Image || Index < 0 || Index >= Count()) return false;
  Image->SetSize(0, 0);
  Image->SetSize(FWidth, FHeight);
  if (FBkColor != clNone) {
    Image->Canvas()->Brush()->SetColor(FBkColor);
    Image->Canvas()->FillRect(Rect(0, 0, FWidth, FHeight));
  }
  DoDraw(Index, Image->Canvas(), 0, 0, dsNormal, itImage, true);
  Image->ImageChanged();
  return true;
}

void TCustomImageList::GetIcon(int Index, TIcon* Image) {
  if (!Image || Index < 0 || Index >= Count()) return;
  ImageOf(*Image) = FImages->Items[std::size_t(Index)].copy();
  Image->SetModified(true);
}

// ---------------------------------------------------------------- streaming

namespace {

constexpr Word kMagic = 0x4C49;  // "IL"
constexpr Word kVersion = 0x0101;
constexpr Word kMaskFlag = 0x0001, kColour24 = 0x0018;
constexpr int kColumns = 4;

}  // namespace

void TCustomImageList::DefineProperties(TFiler* Filer) {
  TComponent::DefineProperties(Filer);
  Filer->DefineBinaryProperty(
      "Bitmap", [this](TStream* s) { ReadData(s); }, [this](TStream* s) { WriteData(s); }, Count() > 0);
}

void TCustomImageList::WriteData(TStream* Stream) {
  int n = Count(), rows = std::max(1, (n + kColumns - 1) / kColumns);
  TBitmap image, mask;
  image.SetPixelFormat(pf24bit);
  image.SetSize(FWidth * kColumns, FHeight * rows);
  mask.SetPixelFormat(pf1bit);
  mask.SetSize(FWidth * kColumns, FHeight * rows);
  {
    QPainter pi(&ImageOf(image)), pm(&ImageOf(mask));
    pi.fillRect(ImageOf(image).rect(), Qt::black);
    pm.fillRect(ImageOf(mask).rect(), Qt::white);
    for (int i = 0; i < n; ++i) {
      const QImage& img = FImages->Items[std::size_t(i)];
      int ox = (i % kColumns) * FWidth, oy = (i / kColumns) * FHeight;
      for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x) {
          QRgb p = img.pixel(x, y);
          bool opaque = qAlpha(p) != 0;
          pi.fillRect(ox + x, oy + y, 1, 1, QColor::fromRgb(opaque ? p | 0xFF000000u : 0xFF000000u));
          if (opaque) pm.fillRect(ox + x, oy + y, 1, 1, Qt::black);
        }
    }
  }
  Word head[14] = {kMagic, kVersion, Word(n), Word(std::max(n, 1)), Word(FAllocBy), Word(FWidth), Word(FHeight)};
  std::uint32_t bk = FBkColor == clNone ? CLR_NONE : ColorToRGB(FBkColor);
  head[7] = Word(bk & 0xFFFF);
  head[8] = Word(bk >> 16);
  head[9] = Word(kColour24 | (FMasked ? kMaskFlag : 0));
  for (int i = 10; i < 14; ++i) head[i] = 0xFFFF;  // no overlay images
  Stream->WriteBuffer(head, sizeof head);
  image.SaveToStream(Stream);
  if (FMasked) mask.SaveToStream(Stream);
}

void TCustomImageList::ReadData(TStream* Stream) {
  Word head[14] = {};
  Stream->ReadBuffer(head, sizeof head);
  if (head[0] != kMagic) throw EReadError("Failed to read ImageList data from stream");
  int n = head[2];
  bool masked = head[9] & kMaskFlag;
  TBitmap image, mask;
  image.LoadFromStream(Stream);
  if (masked) mask.LoadFromStream(Stream);
  BeginUpdate();
  FWidth = std::max<int>(1, head[5]);
  FHeight = std::max<int>(1, head[6]);
  FAllocBy = head[4];
  std::uint32_t bk = std::uint32_t(head[7]) | (std::uint32_t(head[8]) << 16);
  FBkColor = bk == CLR_NONE ? clNone : TColor(bk & 0xFFFFFF);
  FMasked = masked;
  FImages->Items.clear();
  const QImage& src = ImageOf(image);
  const QImage* m = masked ? &ImageOf(mask) : nullptr;
  for (int i = 0; i < n; ++i) {
    int ox = (i % kColumns) * FWidth, oy = (i / kColumns) * FHeight;
    QImage img(FWidth, FHeight, QImage::Format_ARGB32);
    for (int y = 0; y < FHeight; ++y)
      for (int x = 0; x < FWidth; ++x) {
        bool inside = ox + x < src.width() && oy + y < src.height();
        QRgb p = inside ? src.pixel(ox + x, oy + y) | 0xFF000000u : 0xFF000000u;
        bool clear = m && inside && (m->pixel(ox + x, oy + y) & 0xFFFFFF);
        img.setPixel(x, y, clear ? 0 : p);
      }
    FImages->Items.push_back(img);
  }
  FChanged = true;
  EndUpdate();
}
