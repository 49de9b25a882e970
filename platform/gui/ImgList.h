#pragma once
// Image lists: images of one size with their transparency masks, drawn normally, as masks,
// blended for selection, or in the disabled look (a highlight copy one pixel down and right
// under a shadow copy).
// Declares TChangeLink, TCustomImageList and TImageList.
#include "core/Component.h"
#include "gui/Graphics.h"

#include <memory>

KELM_ENUM(TDrawingStyle, dsFocus, dsSelected, dsNormal, dsTransparent)
KELM_ENUM(TImageType, itImage, itMask)

class TCustomImageList;

// Tells its owner about changes of the image list it is registered with.
class TChangeLink : public TObject {
public:
  TChangeLink() = default;
  ~TChangeLink() override;
  TCustomImageList* Sender() const { return FSender; }
  void SetSender(TCustomImageList* v) { FSender = v; }
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& v) { FOnChange = v; }
  virtual void Change();

private:
  TCustomImageList* FSender = nullptr;
  TNotifyEvent FOnChange;
};

class TCustomImageList : public TComponent {
  KELM_CLASS(TCustomImageList, TComponent)
  template <class B> static void Published(B& b) {
    b.Prop("AllocBy", &TCustomImageList::AllocBy, &TCustomImageList::SetAllocBy).Default(4);
    b.Prop("BlendColor", &TCustomImageList::BlendColor, &TCustomImageList::SetBlendColor).Type("TColor").Default(clNone);
    b.Prop("BkColor", &TCustomImageList::BkColor, &TCustomImageList::SetBkColor).Type("TColor").Default(clNone);
    b.Prop("DrawingStyle", &TCustomImageList::DrawingStyle, &TCustomImageList::SetDrawingStyle).Default(dsNormal);
    b.Prop("Height", &TCustomImageList::Height, &TCustomImageList::SetHeight).Default(16);
    b.Prop("ImageType", &TCustomImageList::ImageType, &TCustomImageList::SetImageType).Default(itImage);
    b.Prop("Masked", &TCustomImageList::Masked, &TCustomImageList::SetMasked).Default(true);
    b.Prop("ShareImages", &TCustomImageList::ShareImages, &TCustomImageList::SetShareImages).Default(false);
    b.Prop("Width", &TCustomImageList::Width, &TCustomImageList::SetWidth).Default(16);
    b.Prop("OnChange", &TCustomImageList::OnChange, &TCustomImageList::SetOnChange);
  }
public:
  explicit TCustomImageList(TComponent* AOwner);
  ~TCustomImageList() override;
  static TCustomImageList* CreateSize(int AWidth, int AHeight);
  void Assign(TPersistent* Source) override;

  // A bitmap wider than the list's width adds one image per width; the mask's white pixels
  // are transparent. The index of the first image added.
  int Add(TBitmap* Image, TBitmap* Mask);
  // Pixels of MaskColor are transparent; clDefault takes the bitmap's lower-left pixel.
  int AddMasked(TBitmap* Image, TColor MaskColor);
  int AddIcon(TIcon* Image);
  void Insert(int Index, TBitmap* Image, TBitmap* Mask);
  void InsertMasked(int Index, TBitmap* Image, TColor MaskColor);
  void Replace(int Index, TBitmap* Image, TBitmap* Mask);
  void ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor);
  void Delete(int Index);  // -1 deletes every image
  void Clear();
  void Move(int CurIndex, int NewIndex);
  int Count() const;

  void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
  void Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle, TImageType AImageType,
            bool Enabled = true);
  // The image on the list's background colour (white when it has none); false for a bad index.
  bool GetBitmap(int Index, TBitmap* Image);
  void GetIcon(int Index, TIcon* Image);

  // ---- published
  int Width() const { return FWidth; }
  void SetWidth(int v);  // a new size clears the list
  int Height() const { return FHeight; }
  void SetHeight(int v);
  int AllocBy() const { return FAllocBy; }
  void SetAllocBy(int v) { FAllocBy = v; }
  TColor BkColor() const { return FBkColor; }
  void SetBkColor(TColor v);
  TColor BlendColor() const { return FBlendColor; }
  void SetBlendColor(TColor v);
  TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
  void SetDrawingStyle(TDrawingStyle v);
  TImageType ImageType() const { return FImageType; }
  void SetImageType(TImageType v);
  bool Masked() const { return FMasked; }
  void SetMasked(bool v);
  bool ShareImages() const { return FShareImages; }
  void SetShareImages(bool v) { FShareImages = v; }
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& v) { FOnChange = v; }

  void RegisterChanges(TChangeLink* Value);
  void UnRegisterChanges(TChangeLink* Value);
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();

  // The images as streamed: the platform's image list stream (an "IL" header, the images
  // as a BMP in rows of four, then the mask as a monochrome BMP).
  void ReadData(TStream* Stream);
  void WriteData(TStream* Stream);
  // Layouts keep the images as the binary property "Bitmap".
  void DefineProperties(TFiler* Filer) override;

protected:
  virtual void Change();
  virtual void DoDraw(int Index, TCanvas* Canvas, int X, int Y, TDrawingStyle Style, TImageType Type, bool Enabled);

private:
  struct TImages;
  int InsertImages(int Index, TBitmap* Image, TBitmap* Mask, bool UseColour, TColor MaskColour);
  void CheckIndex(int Index) const;

  std::unique_ptr<TImages> FImages;
  std::vector<TChangeLink*> FClients;
  int FWidth = 16, FHeight = 16, FAllocBy = 4, FUpdateCount = 0;
  bool FChanged = false;
  TColor FBkColor = clNone, FBlendColor = clNone;
  TDrawingStyle FDrawingStyle = dsNormal;
  TImageType FImageType = itImage;
  bool FMasked = true, FShareImages = false;
  TNotifyEvent FOnChange;
};

class TImageList : public TCustomImageList {
  KELM_CLASS(TImageList, TCustomImageList)
public:
  using TCustomImageList::TCustomImageList;
};
