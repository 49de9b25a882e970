#pragma once
// Private to platform/gui and its tests: the pixels of bitmaps and icons, and canvases on
// images and painters.
#include "gui/Graphics.h"
#include "gui/QtBridge_p.h"

#include <QtGui/QImage>

// An icon's pixels: Qt's image under a name of the layer's own.
class TIconImage : public QImage {
public:
  using QImage::QImage;
  using QImage::operator=;
  TIconImage(const QImage& Other) : QImage(Other) {}
};

// The pixels of a bitmap as the layer holds them (painting on it ends first).
QImage& ImageOf(TBitmap& Bitmap);
const QImage& ImageOf(const TBitmap& Bitmap);
QImage& ImageOf(TIcon& Icon);
