// Reading and writing the script XML tree.
#include "script/fs_xmlio.h"

#include "core/Exceptions.h"
#include "core/StackSpace.h"
#include "core/StrUtils.h"
#include "core/Streams.h"

#include <memory>

namespace {

constexpr int kBufferSize = 4096;

[[noreturn]] void InvalidFormat() { throw Exception("Invalid file format"); }

}  // namespace

// ---------------------------------------------------------------- TfsXMLReader

TfsXMLReader::TfsXMLReader(TStream* Stream) : FStream(Stream), FBuffer(kBufferSize) {
  FStartPosition = FPosition = Stream->Position();
  FSize = Stream->Size();
}

TfsXMLReader::~TfsXMLReader() {
  // Leave the stream after the last byte consumed, not after the data buffered.
  FStream->SetPosition(FPosition);
}

bool TfsXMLReader::ReadByte(unsigned char& C) {
  if (FBufPos >= FBufSize) {
    if (FPosition >= FSize) return false;
    FBufSize = static_cast<int>(FStream->Read(FBuffer.data(), kBufferSize));
    FBufPos = 0;
    if (FBufSize <= 0) {
      FBufSize = 0;
      return false;
    }
  }
  C = static_cast<unsigned char>(FBuffer[FBufPos++]);
  ++FPosition;
  return true;
}

void TfsXMLReader::ReadTag(String& Name, String& Text) {
  String tag;
  TState state = TState::Outside;
  int dashes = 0;
  unsigned char c = 0;
  bool closed = false;
  while (!closed) {
    // Inside a tag once it can no longer open a comment, the bytes up to a bracket are taken
    // from the buffer as one run.
    if (state == TState::InTag && tag.size() >= 3 && FBufPos < FBufSize) {
      const char* run = FBuffer.data() + FBufPos;
      const char* end = FBuffer.data() + FBufSize;
      const char* q = run;
      while (q < end && *q != '>' && *q != '<') ++q;
      tag.append(run, q);
      FBufPos += static_cast<int>(q - run);
      FPosition += q - run;
    }
    if (!ReadByte(c)) break;
    switch (state) {
      case TState::Outside:
        if (c == '<') state = TState::InTag;
        break;
      case TState::InTag:
        if (c == '>') {
          closed = true;
        } else if (c == '<') {
          InvalidFormat();
        } else {
          tag += static_cast<char>(c);
          if (tag.size() == 3 && tag == "!--") {
            tag.clear();
            state = TState::InComment;
            dashes = 0;
          }
        }
        break;
      case TState::InComment:
        // `-->` ends a comment; the count of dashes restarts at any other byte.
        if (c == '-') {
          ++dashes;
        } else if (c == '>' && dashes == 2) {
          state = TState::Outside;
        } else {
          dashes = 0;
        }
        break;
    }
  }
  if (!closed) {
    if (state == TState::InTag) InvalidFormat();
    tag.clear();
  }
  if (!tag.empty() && tag.back() == ' ') tag.pop_back();
  std::size_t blank = tag.find(' ');
  if (blank == String::npos) {
    Name = std::move(tag);
    Text.clear();
  } else {
    Name = tag.substr(0, blank);
    // The attribute text keeps the tag's buffer: one allocation less per element.
    tag.erase(0, blank + 1);
    Text = std::move(tag);
  }
}

bool TfsXMLReader::ReadTree(TfsXMLItem* Item) { return ReadTree(Item, 0); }

bool TfsXMLReader::ReadTree(TfsXMLItem* Item, int Depth) {
  // A document nested deeper than any real one, or deeper than this thread's stack allows, is
  // refused instead of running into the end of the stack.
  // The stack is measured every few levels: a level takes far less than the reserve.
  if (Depth > MaxDepth || (Depth % 8 == 0 && StackSpaceLeft() < 64 * 1024)) InvalidFormat();
  String name, text;
  ReadTag(name, text);
  if (name.empty() || name[0] == '/') {
    // Only an end (a closing tag or none) is checked against its element.
    FLastTag = name;
    Item->SetName(std::move(name));
    Item->SetText(std::move(text));
    return true;
  }
  bool empty = false;
  if (name.back() == '/') {
    name.pop_back();
    empty = true;
  } else if (!text.empty() && text.back() == '/') {
    text.pop_back();
    empty = true;
  }
  Item->SetName(std::move(name));
  Item->SetText(std::move(text));
  if (empty) return false;
  for (;;) {
    // A child joins the tree only once read whole, so a failure keeps what came before it.
    auto child = std::make_unique<TfsXMLItem>();
    if (ReadTree(child.get(), Depth + 1)) break;
    Item->AddItem(child.release());
  }
  if (!FLastTag.empty() && !(FLastTag[0] == '/' && AnsiSameText(std::string_view(FLastTag).substr(1), Item->Name())))
    InvalidFormat();
  return false;
}

void TfsXMLReader::ReadDocument(TfsXMLItem* Root) {
  Root->Clear();
  String name, text;
  ReadTag(name, text);
  if (!StartsStr("?xml", name)) InvalidFormat();
  ReadTree(Root);
}

// ---------------------------------------------------------------- TfsXMLWriter

void TfsXMLWriter::WriteLine(std::string_view S) {
  FBuffer += S;
  if (FBuffer.size() > kBufferSize) Flush();
}

void TfsXMLWriter::Flush() {
  if (FBuffer.empty()) return;
  FStream->WriteBuffer(FBuffer.data(), static_cast<Int64>(FBuffer.size()));
  FBuffer.clear();
}

void TfsXMLWriter::WriteItem(const TfsXMLItem* Item) {
  FBuffer += '<';
  FBuffer += Item->Name();
  const String& text = Item->Text();
  if (!text.empty()) {
    if (text[0] != ' ') FBuffer += ' ';
    FBuffer += text;
  }
  int n = Item->Count();
  if (n == 0) {
    WriteLine("/>");
    return;
  }
  WriteLine(">");
  for (int i = 0; i < n; ++i) WriteItem(Item->Items(i));
  FBuffer += "</";
  FBuffer += Item->Name();
  WriteLine(">");
}

void TfsXMLWriter::WriteDocument(const TfsXMLItem* Root) {
  WriteLine("<?xml version=\"1.0\"?>");
  WriteItem(Root);
  Flush();
}
