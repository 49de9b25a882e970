#pragma once
// The text form of the component stream (UTF-8): window layouts, converted to and from the
// binary stream, and read into or written from component trees. Errors in text name the source
// and the line; the map, when given, records which line each binary record came from.
#include "core/Reader.h"
#include "core/Writer.h"

void ObjectTextToBinary(TStream* Input, TStream* Output);
void ObjectTextToBinary(TStream* Input, TStream* Output, const String& SourceName, TTextSourceMap* Map);
void ObjectBinaryToText(TStream* Input, TStream* Output);

// Reads a component tree from layout text into Root (or a new root made from the text's
// class name when Root is nullptr) and returns the root.
TComponent* ReadComponentFromText(TComponent* Root, const String& Text, const String& SourceName = String());
TComponent* ReadComponentFromBinary(TComponent* Root, TStream* Stream, const String& SourceName = String());
String WriteComponentToText(TComponent* Root);
void WriteComponentToBinary(TComponent* Root, TStream* Stream);
// Reads the embedded layout of that name (text, or binary when it starts with the signature).
TComponent* LoadLayoutResource(TComponent* Root, const String& ResourceName);
