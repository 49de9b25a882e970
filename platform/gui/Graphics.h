#pragma once
// Colours, fonts, pens, brushes, the canvas and the pictures it draws, included whole:
// Colors.h, GraphicsObjects.h (TFont, TPen, TBrush), Canvas.h (TCanvas), Pictures.h (TGraphic,
// TBitmap, TIcon, TPicture) and Jpeg.h (TJPEGImage).
#include "gui/Colors.h"
#include "gui/GraphicsObjects.h"
#include "gui/Canvas.h"
#include "gui/Pictures.h"
#include "gui/Jpeg.h"
