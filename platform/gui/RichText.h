#pragma once
// The rich-text stream format as the rich edit reads and writes it: a document of paragraphs
// holding runs of characters in one character format each (font, size, colour, styles,
// character set, protection) and paragraphs in one paragraph format each (alignment,
// indents, bullets), and the plain text of a stream.
// Declares TRichCharFormat, TRichParaFormat and TRichDocument.
#include "core/Exceptions.h"
#include "core/SysUtils.h"

#include <cstdint>
#include <string>
#include <vector>

// A stream the reader cannot take (a number no control word can hold); the message quotes it.
KELM_EXCEPTION(ERichTextError, Exception);

// The look of a run of characters. Color -1 is the automatic colour (the window's text).
struct TRichCharFormat {
  String Name = "宋体";
  int HalfPoints = 18;  // the size as the stream holds it
  int Color = -1;       // 0x00BBGGRR or -1
  bool Bold = false, Italic = false, Underline = false, StrikeOut = false;
  bool Protected = false;
  int Charset = 1;  // DEFAULT_CHARSET; 134 the Chinese one
  bool operator==(const TRichCharFormat&) const = default;
};

// The layout of a paragraph; indents in twips (1440 per inch) as the stream holds them: the
// left indent of every line, the first line's offset from it, the right indent.
struct TRichParaFormat {
  int Alignment = 0;  // 0 left, 1 right, 2 centre, 3 justified
  int LeftTw = 0, FirstTw = 0, RightTw = 0;
  bool Bullet = false;
  bool operator==(const TRichParaFormat&) const = default;
};

// A formatted text. Paragraphs end in CR LF; the last has no break. Each character (the
// breaks too) names its format in Formats; Paragraphs has one entry per paragraph.
struct TRichDocument {
  std::u32string Text;
  std::vector<TRichCharFormat> Formats;
  std::vector<std::uint16_t> CharFormat;
  std::vector<TRichParaFormat> Paragraphs{TRichParaFormat{}};
  // The index of Format in Formats, added when new.
  std::uint16_t FormatIndex(const TRichCharFormat& Format);
  int ParagraphCount() const;
};

// Reads a stream into Doc, characters starting in Base's format. Malformed streams
// (unbalanced braces, groups nested past 256 levels, a stream cut short) give what could be
// read. False when the data is no rich text; ERichTextError for a number no control word
// can hold.
bool RtfToDocument(const String& Rtf, TRichDocument& Doc, const TRichCharFormat& Base = {});
// The stream of a document: a font and a colour table, then the paragraphs.
String DocumentToRtf(const TRichDocument& Doc);

// The text of a rich-text stream: paragraphs, tabs, escaped and Unicode characters (GBK
// bytes when the stream says code page 936 or the font the Chinese character set); formatting,
// tables, pictures and fields are left out. False when the data is no rich text;
// ERichTextError for rich text it cannot read.
bool RtfToText(const String& Rtf, String& Text);
// A rich-text stream holding Text (line breaks as paragraphs) in a font and size.
String TextToRtf(const String& Text, const String& FontName = "宋体", int PointSize = 9);
