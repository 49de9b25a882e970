#pragma once
// The rich-text stream format as far as the rich edit reads and writes it: the text of a stream
// (paragraphs, tabs, escaped and Unicode characters) and a stream holding a text in one font.
#include "core/Exceptions.h"
#include "core/SysUtils.h"

// A stream the reader cannot take (a number no control word can hold); the message quotes it.
KELM_EXCEPTION(ERichTextError, Exception);

// The text of a rich-text stream: paragraphs, tabs, escaped and Unicode characters (GBK
// bytes when the stream says code page 936); formatting, tables, pictures and fields are left
// out. False when the data is no rich text; ERichTextError for rich text it cannot read.
bool RtfToText(const String& Rtf, String& Text);
// A rich-text stream holding Text (line breaks as paragraphs) in a font and size.
String TextToRtf(const String& Text, const String& FontName = "宋体", int PointSize = 9);
