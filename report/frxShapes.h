#pragma once
// The graphic report objects: lines (straight or diagonal), filled shapes and pictures
// (bitmaps, JPEG images, metafiles, icons), fixed in the report or loaded per record from a
// blob field. All reuse the view's pixel rectangle, frame and wide lines.
#include "report/frxView.h"

class TPicture;

// The platform's invalid-argument result code.
constexpr int frxInvalidArgument = static_cast<int>(0x80070057u);

class TfrxCustomLineView : public TfrxStretcheable {
  KELM_CLASS(TfrxCustomLineView, TfrxStretcheable)
  template <class B> static void Published(B& b) {
    b.Prop("Diagonal", &TfrxCustomLineView::Diagonal, &TfrxCustomLineView::SetDiagonal).Default(false);
  }
public:
  explicit TfrxCustomLineView(TComponent* AOwner);
  // The designer's insertion value: non-zero makes a diagonal line.
  static TfrxCustomLineView* CreateForDesign(TClass Class, TComponent* AOwner, int Flags);
  bool Diagonal() const { return FDiagonal; }
  void SetDiagonal(bool Value) { FDiagonal = Value; }
  String DisplayTypeName() const override;
  // A line that is not diagonal becomes vertical (Width <= Height) or horizontal first.
  void DrawOnCanvas(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY) override;

private:
  bool FDiagonal = false;
};

class TfrxLineView : public TfrxCustomLineView {
  KELM_CLASS(TfrxLineView, TfrxCustomLineView)
public:
  explicit TfrxLineView(TComponent* AOwner) : TfrxCustomLineView(AOwner) {}
};

KELM_ENUM(TfrxShapeKind, skRectangle, skRoundRectangle, skEllipse, skTriangle, skDiamond, skDiagonal1, skDiagonal2)

class TfrxShapeView : public TfrxView {
  KELM_CLASS(TfrxShapeView, TfrxView)
  template <class B> static void Published(B& b) {
    b.Prop("Curve", &TfrxShapeView::Curve, &TfrxShapeView::SetCurve).Default(0);
    b.Prop("Shape", &TfrxShapeView::Shape, &TfrxShapeView::SetShape).Default(skRectangle);
  }
public:
  explicit TfrxShapeView(TComponent* AOwner);
  // The designer's insertion value becomes the shape.
  static TfrxShapeView* CreateForDesign(TClass Class, TComponent* AOwner, int Flags);
  int Curve() const { return FCurve; }
  void SetCurve(int Value) { FCurve = Value; }
  TfrxShapeKind Shape() const { return FShape; }
  void SetShape(TfrxShapeKind Value) { FShape = Value; }
  String DisplayTypeName() const override;
  String DiffAttributes(TfrxComponent* Reference) override;
  void DrawOnCanvas(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY) override;

private:
  void DrawShape();
  int FCurve = 0;
  TfrxShapeKind FShape = skRectangle;
};

class TfrxPictureView : public TfrxView {
  KELM_CLASS(TfrxPictureView, TfrxView)
  template <class B> static void Published(B& b) {
    b.Prop("AutoSize", &TfrxPictureView::AutoSize, &TfrxPictureView::SetAutoSize).Default(false);
    b.Prop("Center", &TfrxPictureView::Center, &TfrxPictureView::SetCenter).Default(false);
    b.Prop("KeepAspectRatio", &TfrxPictureView::KeepAspectRatio, &TfrxPictureView::SetKeepAspectRatio)
        .Default(true);
    b.Prop("Picture", &TfrxPictureView::Picture, &TfrxPictureView::SetPicture);
    b.Prop("Stretched", &TfrxPictureView::Stretched, &TfrxPictureView::SetStretched).Default(true);
  }
public:
  explicit TfrxPictureView(TComponent* AOwner);
  ~TfrxPictureView() override;

  bool AutoSize() const { return FAutoSize; }
  // Turned on with a graphic loaded, the object takes the graphic's size.
  void SetAutoSize(bool Value);
  bool Center() const { return FCenter; }
  void SetCenter(bool Value) { FCenter = Value; }
  bool KeepAspectRatio() const { return FKeepAspectRatio; }
  void SetKeepAspectRatio(bool Value) { FKeepAspectRatio = Value; }
  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* Value);
  bool Stretched() const { return FStretched; }
  void SetStretched(bool Value) { FStretched = Value; }
  // Set once the picture's content changed after construction.
  bool PictureChanged() const { return FPictureChanged; }
  void SetPictureChanged(bool Value) { FPictureChanged = Value; }

  // The graphic by the stream's first bytes (after an optional graphic-field header): bitmap,
  // JPEG, placeable or enhanced metafile, icon. 0 when one loaded; otherwise the picture is
  // emptied and the result is the invalid-argument code.
  int LoadPictureFromStream(TStream* Stream);
  void LoadFromFile(const String& FileName);

  String DisplayTypeName() const override;
  String DiffAttributes(TfrxComponent* Reference) override;
  void DrawOnCanvas(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY) override;
  // The view's, then the picture from a blob field.
  void FetchData() override;

private:
  void PictureChangedEvent(TObject* Sender);
  void ApplyAutoSize();
  bool FAutoSize = false;
  bool FCenter = false;
  bool FKeepAspectRatio = true;
  std::unique_ptr<TPicture> FPicture;
  bool FStretched = true;
  bool FPictureChanged = false;
};
