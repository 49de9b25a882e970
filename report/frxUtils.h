#pragma once
// Free functions the whole report library shares: cutting text into pieces, hexadecimal
// streams, locale-tolerant numbers, bracketed expressions in texts, bitmap strips into image
// lists, stretched pictures, page ranges and temporary file names. None keeps state.
// The program's folder is core/FileUtils.h's ProgramFolder().
#include "core/System.h"
#include "core/Types.h"

class TBitmap;
class TCanvas;
class TCustomImageList;
class TGraphic;
class TMemoryStream;
class TStream;
class TStrings;

// Bounds of report objects in pixels.
struct TfrxRect {
  Extended Left = 0, Top = 0, Right = 0, Bottom = 0;
};
struct TfrxPoint {
  Extended X = 0, Y = 0;
};
TfrxRect MakeFloatRect(Extended Left, Extended Top, Extended Right, Extended Bottom);
TfrxPoint MakeFloatPoint(Extended X, Extended Y);

// The pieces between separators; empty pieces stay, a trailing separator adds none.
void SplitToStrings(const String& Text, TStrings* List, char Separator);
// The piece from the 1-based byte position Pos; Pos moves past its separator.
String NextSeparatedPiece(const String& Text, int& Pos, char Separator);

// Every byte of the stream, from its start, as two upper-case hexadecimal digits.
String StreamToHex(TMemoryStream* Stream);
// The bytes of the digit pairs, written from position 0; decoding stops at the first pair
// that is not hexadecimal. The stream is not truncated.
void HexToStream(const String& Text, TStream* Stream);

// "," and "." both read as the decimal separator, blanks are ignored; EConvertError for bad
// text.
Extended StrToFloatAnySep(const String& Text);
// Whole numbers without decimals, others with two.
String FloatToTextTwoDecimals(Extended Value);

// The expression that starts at the opening tag at Start (1-based, in characters): balanced
// tags, tags inside quoted strings ignored. End is the last character of the closing tag; an
// unclosed expression runs to the end of the text and End is the text's last character.
void ScanBracketedExpression(const String& Text, const String& OpenTag, const String& CloseTag, int& Start,
                             int& End, String& Expression);
// The same on UTF-8 text whose tags are ASCII, positions in bytes: no byte of a multi-byte
// character can be taken for such a tag or for a quote.
void ScanBracketedExpressionAscii(const String& Text, const String& OpenTag, const String& CloseTag, int& Start,
                                  int& End, String& Expression);
// The same on UTF-16 text, positions in code units.
void ScanBracketedExpressionW(const WideString& Text, const WideString& OpenTag, const WideString& CloseTag,
                              int& Start, int& End, WideString& Expression);

// Cuts a strip into W x H cells, left to right and row by row, into Main; with Second, every
// second cell goes there with pure white turned light grey. Cells are masked by their
// lower-left pixel.
void AddStripToImageList(TBitmap* Strip, int W, int H, TCustomImageList* Main, TCustomImageList* Second);
void DrawGlyphTransparent(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap);
void StretchBitmapHalftone(TCanvas* Canvas, const TRect& Rect, TBitmap* Bitmap);
// Metafiles stretch directly; other pictures go through a 32-bit bitmap of their own size.
void DrawGraphicStretched(TCanvas* Canvas, const TRect& Rect, TGraphic* Graphic);

// A new empty file named "fr..." in Folder, or in the temporary folder when Folder is ''.
String TempFileNameIn(const String& Folder);
// The running program file.
String ModuleFileName();

// Pages of a text such as "1,3,5-12" within 1 .. PageCount, as decimal lines in text order;
// "4-" runs to the last page. EConvertError for text that is not a number.
void ParsePageRanges(const String& Text, TStrings* List, int PageCount);
