#pragma once
// Reading and writing the script XML tree (fs_xml.h).
//
// The reader is a byte state machine over the stream, outside a tag / in a tag / in a comment,
// refilling a 4096-byte buffer. When it is destroyed it sets the stream's position just after
// the last byte it consumed, so a caller may go on reading what follows the document.
// Elements nested deeper than MaxDepth are "Invalid file format": the reader recurses per level.
//
// The writer writes one line without indentation: `<name attrs>` children `</name>`, or
// `<name attrs/>` for an element without children. Text is written exactly as stored.
// Declares TfsXMLReader and TfsXMLWriter.
#include "script/fs_xml.h"

class TfsXMLReader : public TObject {
public:
  static constexpr int MaxDepth = 4096;

  explicit TfsXMLReader(TStream* Stream);
  ~TfsXMLReader() override;

  // Reads the next tag: Name is the text up to the first blank, Text the rest (one trailing
  // blank dropped). Both are empty at the end of the stream or after a trailing comment.
  void ReadTag(String& Name, String& Text);
  // Reads one element with its children into Item; answers true when it met the end of a list
  // (a closing tag or the end of the stream) instead of an element.
  bool ReadTree(TfsXMLItem* Item);
  // Reads the `<?xml` header, then the first element into Root (whose children are freed first).
  void ReadDocument(TfsXMLItem* Root);

  // The last end read: a closing tag with its '/', or '' at the end of the stream.
  const String& LastTag() const { return FLastTag; }

private:
  enum class TState { Outside, InTag, InComment };
  bool ReadByte(unsigned char& C);
  bool ReadTree(TfsXMLItem* Item, int Depth);

  TStream* FStream;
  std::vector<char> FBuffer;
  int FBufSize = 0;
  int FBufPos = 0;
  Int64 FStartPosition = 0;
  Int64 FPosition = 0;  // of the next byte, in the stream
  Int64 FSize = 0;
  String FLastTag;
};

class TfsXMLWriter : public TObject {
public:
  explicit TfsXMLWriter(TStream* Stream) : FStream(Stream) {}
  ~TfsXMLWriter() override = default;  // does not flush: SaveToStream does

  // Appends text; the buffer goes to the stream once it holds more than 4096 characters.
  void WriteLine(std::string_view S);
  void WriteItem(const TfsXMLItem* Item);
  void WriteDocument(const TfsXMLItem* Root);
  void Flush();

private:
  TStream* FStream;
  String FBuffer;
};
