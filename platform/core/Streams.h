#pragma once
// TStream and the memory, string, bytes, handle and file streams.
// Declares TStream, TCustomMemoryStream, TMemoryStream, TStringStream, TBytesStream, THandleStream,
// TFileStream and TBufferedFileStream.
#include "core/Exceptions.h"
#include "core/Persistent.h"

#include <vector>

// ============================================================== streams

enum TSeekOrigin { soBeginning, soCurrent, soEnd };
constexpr Word soFromBeginning = 0;
constexpr Word soFromCurrent = 1;
constexpr Word soFromEnd = 2;

// A sequence of bytes with a position. Short transfers through ReadBuffer and WriteBuffer raise
// EReadError "Stream read error" and EWriteError "Stream write error".
class TStream : public TObject {
  KELM_CLASS(TStream, TObject)
public:
  // Bytes actually moved; 0 at the end or for a negative count.
  virtual Int64 Read(void* Buffer, Int64 Count) = 0;
  virtual Int64 Write(const void* Buffer, Int64 Count) = 0;
  // The new position.
  virtual Int64 Seek(Int64 Offset, TSeekOrigin Origin) = 0;
  Int64 Seek(Int64 Offset, Word Origin);  // soFromBeginning, soFromCurrent, soFromEnd

  void ReadBuffer(void* Buffer, Int64 Count);
  void WriteBuffer(const void* Buffer, Int64 Count);
  // Copies Count bytes from Source's position; Count 0 copies all of Source from its start.
  Int64 CopyFrom(TStream* Source, Int64 Count);

  Int64 Position() const;
  void SetPosition(Int64 Value) { Seek(Value, soBeginning); }
  virtual Int64 Size() const;
  virtual void SetSize(Int64 NewSize) {}
};

// A stream over a block of memory it does not manage.
class TCustomMemoryStream : public TStream {
  KELM_CLASS(TCustomMemoryStream, TStream)
public:
  Int64 Read(void* Buffer, Int64 Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  using TStream::Seek;
  Int64 Size() const override { return FSize; }
  void SaveToStream(TStream* Stream);
  void SaveToFile(const String& FileName);
  void* Memory() const { return FMemory; }

protected:
  void SetPointer(void* Ptr, Int64 Size);
  Int64 FPosition = 0;

private:
  void* FMemory = nullptr;
  Int64 FSize = 0;
};

// A growable stream in memory. Capacity grows in steps of 8192 bytes; a descendant changes the
// step by overriding Realloc and calling ResizeMemory with its own rounding.
class TMemoryStream : public TCustomMemoryStream {
  KELM_CLASS(TMemoryStream, TCustomMemoryStream)
public:
  TMemoryStream() = default;
  ~TMemoryStream() override;

  void Clear();
  void LoadFromStream(TStream* Stream);  // the whole of Stream, from its start
  void LoadFromFile(const String& FileName);
  void SetSize(Int64 NewSize) override;  // new bytes are zero
  Int64 Write(const void* Buffer, Int64 Count) override;
  Int64 Capacity() const { return FCapacity; }
  void SetCapacity(Int64 NewCapacity);

protected:
  // Returns the block for a capacity of NewCapacity bytes, after rounding it as this stream grows.
  virtual void* Realloc(Int64& NewCapacity);
  // Resizes the block to exactly NewCapacity bytes (0 frees it); raises EStreamError
  // "Out of memory while expanding memory stream" when memory runs out.
  void* ResizeMemory(Int64 NewCapacity);

private:
  Int64 FCapacity = 0;
};

// A memory stream that starts with a copy of a string.
class TStringStream : public TMemoryStream {
  KELM_CLASS(TStringStream, TMemoryStream)
public:
  explicit TStringStream(const String& AString = String());
  String DataString() const;
  String ReadString(Int64 Count);  // up to Count bytes from the position
  void WriteString(const String& AString);
};

// A memory stream that starts with a copy of some bytes.
class TBytesStream : public TMemoryStream {
  KELM_CLASS(TBytesStream, TMemoryStream)
public:
  explicit TBytesStream(const TBytes& ABytes = TBytes());
  TBytes Bytes() const;  // the Size bytes of the stream
};

// Open modes of file streams; the share flags are accepted and ignored.
constexpr Word fmCreate = 0xFFFF;
constexpr Word fmOpenRead = 0x0000;
constexpr Word fmOpenWrite = 0x0001;
constexpr Word fmOpenReadWrite = 0x0002;
constexpr Word fmShareCompat = 0x0000;
constexpr Word fmShareExclusive = 0x0010;
constexpr Word fmShareDenyWrite = 0x0020;
constexpr Word fmShareDenyRead = 0x0030;
constexpr Word fmShareDenyNone = 0x0040;

// A stream over an open file descriptor it does not own.
class THandleStream : public TStream {
  KELM_CLASS(THandleStream, TStream)
public:
  explicit THandleStream(int AHandle) : FHandle(AHandle) {}
  Int64 Read(void* Buffer, Int64 Count) override;
  Int64 Write(const void* Buffer, Int64 Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  using TStream::Seek;
  Int64 Size() const override;
  void SetSize(Int64 NewSize) override;  // the position moves to NewSize
  int Handle() const { return FHandle; }

protected:
  int FHandle;
};

// A file opened by name ('\' or '/' separators, found regardless of case). Failures raise
// EFCreateError 'Cannot create file "<name>". <reason>' or EFOpenError 'Cannot open file ...'.
class TFileStream : public THandleStream {
  KELM_CLASS(TFileStream, THandleStream)
public:
  TFileStream(const String& AFileName, Word Mode);
  ~TFileStream() override;
  const String& FileName() const { return FFileName; }

private:
  String FFileName;
};

// A new content for a file, written through a buffer to a temporary file beside it and put in
// its place by Commit, so the file holds either its old content or the whole new one. Freed
// without Commit (a failed export), the temporary file is removed and the old file is left
// as it was. The rules are WriteFileAtomic's: a symbolic link is followed, an existing file's
// permissions are kept, the data and the rename are flushed to disk. A folder, a file that
// cannot be written or a folder that takes no new file raise EFCreateError
// 'Cannot create file "<name>". <reason>' before anything is written; so do write failures.
class TBufferedFileStream : public TStream {
  KELM_CLASS(TBufferedFileStream, TStream)
public:
  explicit TBufferedFileStream(const String& AFileName, int BufferSize = 65536);
  ~TBufferedFileStream() override;
  TBufferedFileStream(const TBufferedFileStream&) = delete;
  TBufferedFileStream& operator=(const TBufferedFileStream&) = delete;

  // Nothing is read back: 0.
  Int64 Read(void* Buffer, Int64 Count) override;
  Int64 Write(const void* Buffer, Int64 Count) override;
  // Only the position can be asked (Seek(0, soCurrent) or to the end): the stream is written
  // straight through; any other move raises EStreamError.
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  using TStream::Seek;
  Int64 Size() const override { return FSize; }
  // Puts the new content in the file's place; afterwards nothing more can be written.
  void Commit();
  bool Committed() const { return FCommitted; }
  const String& FileName() const { return FFileName; }
  // The temporary file being written ('' once committed or removed).
  const String& TempFileName() const { return FTempName; }

private:
  [[noreturn]] void Fail(int Err);
  void Flush();
  void Discard();

  String FFileName;
  String FTarget;    // the resolved file that is replaced
  String FTempName;
  int FHandle = -1;
  bool FExisted = false;
  unsigned FMode = 0;
  std::vector<char> FBuffer;
  std::size_t FUsed = 0;
  Int64 FSize = 0;
  bool FCommitted = false;
};
