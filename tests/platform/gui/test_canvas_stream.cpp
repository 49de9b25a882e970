// Graphics in layouts: colours by name, fonts inline, pictures and image lists as binary
// data, and bitmaps from the resources.
#include "core/ClassBuilder.h"
#include "core/Filer.h"
#include "gui/ImgList.h"
#include "core/Resources.h"
#include "core/StrUtils.h"
#include <gtest/gtest.h>

namespace {

// A component with the graphics properties a window's controls publish.
class TPictureHolder : public TComponent {
  KELM_CLASS(TPictureHolder, TComponent)
public:
  explicit TPictureHolder(TComponent* AOwner) : TComponent(AOwner) {}
  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* v) { FPicture->Assign(v); }
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* v) { FFont->Assign(v); }
  TColor Color() const { return FColor; }
  void SetColor(TColor v) { FColor = v; }

private:
  std::unique_ptr<TPicture> FPicture = std::make_unique<TPicture>();
  std::unique_ptr<TFont> FFont = std::make_unique<TFont>();
  TColor FColor = clBtnFace;
};

}  // namespace

KELM_PUBLISH(TPictureHolder) {
  b.Prop("Color", &TPictureHolder::Color, &TPictureHolder::SetColor).Type("TColor").Default(clBtnFace);
  b.Prop("Font", &TPictureHolder::Font, &TPictureHolder::SetFont);
  b.Prop("Picture", &TPictureHolder::Picture, &TPictureHolder::SetPicture);
}

TEST(GraphicsLayouts, ColoursFontsAndPicturesRoundTrip) {
  RegisterClasses({TPictureHolder::StaticClass(), TImageList::StaticClass()});
  TPictureHolder holder(nullptr);
  holder.SetName("Holder");
  holder.SetColor(clInfoBk);
  holder.Font()->SetName("宋体");
  holder.Font()->SetHeight(-12);
  holder.Font()->SetStyle({fsBold});
  TBitmap* b = holder.Picture()->Bitmap();
  b->SetSize(5, 3);
  b->Canvas()->SetPixels(4, 2, clRed);
  String text = WriteComponentToText(&holder);
  EXPECT_NE(text.find("Color = clInfoBk"), String::npos) << text;
  EXPECT_NE(text.find("Font.Height = -12"), String::npos) << text;
  EXPECT_NE(text.find("Picture.Data = {"), String::npos) << text;
  EXPECT_EQ(text.find("Font.Size"), String::npos) << text;

  std::unique_ptr<TComponent> back(ReadComponentFromText(nullptr, text));
  auto* h = dynamic_cast<TPictureHolder*>(back.get());
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(h->Color(), clInfoBk);
  EXPECT_EQ(h->Font()->Name(), "宋体");
  EXPECT_EQ(h->Font()->Style(), TFontStyles{fsBold});
  ASSERT_NE(h->Picture()->Graphic(), nullptr);
  EXPECT_EQ(h->Picture()->Graphic()->ClassType(), TBitmap::StaticClass());
  EXPECT_EQ(h->Picture()->Width(), 5);
  EXPECT_EQ(h->Picture()->Bitmap()->Canvas()->Pixels(4, 2), clRed);
  EXPECT_EQ(h->Picture()->Bitmap()->Canvas()->Pixels(0, 0), clWhite);

  // A colour written as a number reads too; an empty picture writes no data.
  std::unique_ptr<TComponent> numeric(ReadComponentFromText(
      nullptr, "object Holder: TPictureHolder\n  Color = 255\nend\n"));
  EXPECT_EQ(dynamic_cast<TPictureHolder*>(numeric.get())->Color(), clRed);
  TPictureHolder empty(nullptr);
  empty.SetName("Empty");
  EXPECT_EQ(WriteComponentToText(&empty).find("Picture.Data"), String::npos);
}

TEST(GraphicsLayouts, ImageListsKeepTheirImages) {
  RegisterClass(TImageList::StaticClass());
  TImageList list(nullptr);
  list.SetName("Images");
  list.SetBkColor(clBtnFace);
  TBitmap strip;
  strip.SetSize(32, 16);
  strip.Canvas()->Brush()->SetColor(clFuchsia);
  strip.Canvas()->FillRect(Rect(0, 0, 32, 16));
  strip.Canvas()->Brush()->SetColor(clNavy);
  strip.Canvas()->FillRect(Rect(20, 2, 30, 12));
  list.AddMasked(&strip, clFuchsia);
  String text = WriteComponentToText(&list);
  EXPECT_NE(text.find("Bitmap = {"), String::npos) << text;
  EXPECT_NE(text.find("BkColor = clBtnFace"), String::npos) << text;

  std::unique_ptr<TComponent> back(ReadComponentFromText(nullptr, text));
  auto* l = dynamic_cast<TImageList*>(back.get());
  ASSERT_NE(l, nullptr);
  ASSERT_EQ(l->Count(), 2);
  TBitmap target;
  target.SetSize(16, 16);
  l->SetBkColor(clNone);
  l->Draw(target.Canvas(), 0, 0, 1);
  EXPECT_EQ(target.Canvas()->Pixels(5, 5), clNavy);
  EXPECT_EQ(target.Canvas()->Pixels(1, 1), clWhite);  // masked
}

TEST(GraphicsLayouts, BitmapsFromTheResources) {
  TBitmap source;
  source.SetSize(3, 2);
  source.Canvas()->SetPixels(2, 1, clLime);
  TMemoryStream m;
  source.SaveToStream(&m);
  const auto* p = static_cast<const Byte*>(m.Memory());
  RegisterResource("bitmaps/TESTGLYPH.bmp", TBytes(p, p + m.Size()));
  TBitmap b;
  b.LoadFromResourceName("testglyph");
  EXPECT_EQ(b.Width(), 3);
  EXPECT_EQ(b.Canvas()->Pixels(2, 1), clLime);
  b.LoadFromResourceName("bitmaps/TESTGLYPH.bmp");
  EXPECT_EQ(b.Height(), 2);
  UnregisterResource("bitmaps/TESTGLYPH.bmp");
  EXPECT_THROW(b.LoadFromResourceName("testglyph"), EResNotFound);
}
