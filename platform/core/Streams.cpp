// TStream and the memory, string and file streams.
#include "core/Streams.h"

#include "core/ClassBuilder.h"
#include "core/Classes.h"
#include "core/FileUtils.h"
#include "core/SysUtils_p.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <climits>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

KELM_PUBLISH(TStream) {}
KELM_PUBLISH(TCustomMemoryStream) {}
KELM_PUBLISH(TMemoryStream) {}
KELM_PUBLISH(TStringStream) {}
KELM_PUBLISH(TBytesStream) {}
KELM_PUBLISH(THandleStream) {}
KELM_PUBLISH(TFileStream) {}
KELM_PUBLISH(TBufferedFileStream) {}

// ---------------------------------------------------------------- TStream

Int64 TStream::Seek(Int64 Offset, Word Origin) {
  switch (Origin) {
    case soFromBeginning: return Seek(Offset, soBeginning);
    case soFromCurrent: return Seek(Offset, soCurrent);
    case soFromEnd: return Seek(Offset, soEnd);
    default: throw EStreamError("Invalid stream origin");
  }
}

void TStream::ReadBuffer(void* Buffer, Int64 Count) {
  if (Count != 0 && Read(Buffer, Count) != Count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, Int64 Count) {
  if (Count != 0 && Write(Buffer, Count) != Count) throw EWriteError("Stream write error");
}

Int64 TStream::CopyFrom(TStream* Source, Int64 Count) {
  if (Count == 0) {
    Source->SetPosition(0);
    Count = Source->Size();
  }
  const Int64 result = Count;
  constexpr Int64 kBufSize = 61440;
  std::vector<char> buffer(static_cast<std::size_t>(std::min(Count, kBufSize)));
  while (Count > 0) {
    Int64 n = std::min(Count, kBufSize);
    Source->ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    Count -= n;
  }
  return result;
}

Int64 TStream::Position() const { return const_cast<TStream*>(this)->Seek(0, soCurrent); }

Int64 TStream::Size() const {
  auto* self = const_cast<TStream*>(this);
  Int64 pos = self->Seek(0, soCurrent);
  Int64 result = self->Seek(0, soEnd);
  self->Seek(pos, soBeginning);
  return result;
}

// ---------------------------------------------------------------- TCustomMemoryStream

void TCustomMemoryStream::SetPointer(void* Ptr, Int64 Size) {
  FMemory = Ptr;
  FSize = Size;
}

Int64 TCustomMemoryStream::Read(void* Buffer, Int64 Count) {
  if (FPosition < 0 || Count <= 0) return 0;
  Int64 n = std::min(Count, FSize - FPosition);
  if (n <= 0) return 0;
  std::memcpy(Buffer, static_cast<char*>(FMemory) + FPosition, static_cast<std::size_t>(n));
  FPosition += n;
  return n;
}

Int64 TCustomMemoryStream::Seek(Int64 Offset, TSeekOrigin Origin) {
  switch (Origin) {
    case soBeginning: FPosition = Offset; break;
    case soCurrent: FPosition += Offset; break;
    case soEnd: FPosition = FSize + Offset; break;
  }
  return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream* Stream) {
  if (FSize != 0) Stream->WriteBuffer(FMemory, FSize);
}

void TCustomMemoryStream::SaveToFile(const String& FileName) {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}

// ---------------------------------------------------------------- TMemoryStream

TMemoryStream::~TMemoryStream() { Clear(); }

void TMemoryStream::Clear() {
  SetCapacity(0);
  SetPointer(Memory(), 0);
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
  Stream->SetPosition(0);
  Int64 count = Stream->Size();
  SetSize(count);
  if (count != 0) Stream->ReadBuffer(Memory(), count);
}

void TMemoryStream::LoadFromFile(const String& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TMemoryStream::SetCapacity(Int64 NewCapacity) {
  void* block = Realloc(NewCapacity);
  SetPointer(block, std::min(Size(), NewCapacity));
  FCapacity = NewCapacity;
}

void TMemoryStream::SetSize(Int64 NewSize) {
  if (NewSize < 0) throw EStreamError("Invalid stream size");
  Int64 oldPosition = FPosition;
  Int64 oldSize = Size();
  SetCapacity(NewSize);
  if (NewSize > oldSize) std::memset(static_cast<char*>(Memory()) + oldSize, 0, static_cast<std::size_t>(NewSize - oldSize));
  SetPointer(Memory(), NewSize);
  if (oldPosition > NewSize) Seek(0, soEnd);
}

// Writing past the end fills the gap with zeros.
Int64 TMemoryStream::Write(const void* Buffer, Int64 Count) {
  if (FPosition < 0 || Count <= 0) return 0;
  Int64 pos = FPosition + Count;
  Int64 oldSize = Size();
  if (pos > oldSize) {
    if (pos > FCapacity) SetCapacity(pos);
    if (FPosition > oldSize)
      std::memset(static_cast<char*>(Memory()) + oldSize, 0, static_cast<std::size_t>(FPosition - oldSize));
    SetPointer(Memory(), pos);
  }
  std::memcpy(static_cast<char*>(Memory()) + FPosition, Buffer, static_cast<std::size_t>(Count));
  FPosition = pos;
  return Count;
}

void* TMemoryStream::Realloc(Int64& NewCapacity) {
  constexpr Int64 kMemoryDelta = 0x2000;
  if (NewCapacity > 0 && NewCapacity != Size())
    NewCapacity = (NewCapacity + (kMemoryDelta - 1)) & ~(kMemoryDelta - 1);
  return ResizeMemory(NewCapacity);
}

void* TMemoryStream::ResizeMemory(Int64 NewCapacity) {
  void* block = Memory();
  if (NewCapacity == FCapacity) return block;
  if (NewCapacity == 0) {
    std::free(block);
    return nullptr;
  }
  void* grown = NewCapacity > 0 ? std::realloc(block, static_cast<std::size_t>(NewCapacity)) : nullptr;
  if (!grown) throw EStreamError("Out of memory while expanding memory stream");
  return grown;
}

// ---------------------------------------------------------------- TStringStream, TBytesStream

TStringStream::TStringStream(const String& AString) {
  WriteString(AString);
  SetPosition(0);
}

String TStringStream::DataString() const {
  return String(static_cast<const char*>(Memory()), static_cast<std::size_t>(Size()));
}

String TStringStream::ReadString(Int64 Count) {
  Int64 n = std::max<Int64>(0, std::min(Count, Size() - Position()));
  String s(static_cast<std::size_t>(n), '\0');
  s.resize(static_cast<std::size_t>(Read(s.data(), n)));
  return s;
}

void TStringStream::WriteString(const String& AString) {
  WriteBuffer(AString.data(), static_cast<Int64>(AString.size()));
}

TBytesStream::TBytesStream(const TBytes& ABytes) {
  WriteBuffer(ABytes.data(), static_cast<Int64>(ABytes.size()));
  SetPosition(0);
}

TBytes TBytesStream::Bytes() const {
  const Byte* p = static_cast<const Byte*>(Memory());
  return TBytes(p, p + Size());
}

// ---------------------------------------------------------------- THandleStream, TFileStream

Int64 THandleStream::Read(void* Buffer, Int64 Count) {
  Int64 total = 0;
  char* p = static_cast<char*>(Buffer);
  while (total < Count) {
    ssize_t n = ::read(FHandle, p + total, static_cast<std::size_t>(Count - total));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    total += n;
  }
  return total;
}

Int64 THandleStream::Write(const void* Buffer, Int64 Count) {
  Int64 total = 0;
  const char* p = static_cast<const char*>(Buffer);
  while (total < Count) {
    ssize_t n = ::write(FHandle, p + total, static_cast<std::size_t>(Count - total));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    total += n;
  }
  return total;
}

Int64 THandleStream::Seek(Int64 Offset, TSeekOrigin Origin) {
  int whence = Origin == soBeginning ? SEEK_SET : (Origin == soCurrent ? SEEK_CUR : SEEK_END);
  return static_cast<Int64>(::lseek(FHandle, static_cast<off_t>(Offset), whence));
}

Int64 THandleStream::Size() const {
  struct stat st;
  if (::fstat(FHandle, &st) != 0) return -1;
  return static_cast<Int64>(st.st_size);
}

void THandleStream::SetSize(Int64 NewSize) {
  Seek(NewSize, soBeginning);
  if (::ftruncate(FHandle, static_cast<off_t>(NewSize)) != 0)
    throw EStreamError("Stream write error. " + OSErrorText(errno));
}

TFileStream::TFileStream(const String& AFileName, Word Mode) : THandleStream(-1), FFileName(AFileName) {
  String path = ResolvePath(AFileName);
  if ((Mode & 0xFF00) == 0xFF00) {
    FHandle = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (FHandle < 0) throw EFCreateError("Cannot create file \"" + AFileName + "\". " + OSErrorText(errno));
    return;
  }
  int access = Mode & 3;
  int flags = access == fmOpenWrite ? O_WRONLY : (access == fmOpenReadWrite ? O_RDWR : O_RDONLY);
  FHandle = ::open(path.c_str(), flags | O_CLOEXEC);
  int err = errno;
  if (FHandle >= 0) {
    // A folder opens for reading here but is no file to read.
    struct stat st;
    if (::fstat(FHandle, &st) == 0 && S_ISDIR(st.st_mode)) {
      ::close(FHandle);
      FHandle = -1;
      err = EISDIR;
    }
  }
  if (FHandle < 0) throw EFOpenError("Cannot open file \"" + AFileName + "\". " + OSErrorText(err));
}

TFileStream::~TFileStream() {
  if (FHandle >= 0) ::close(FHandle);
}

// ================================================================ TBufferedFileStream

TBufferedFileStream::TBufferedFileStream(const String& AFileName, int BufferSize)
    : FFileName(AFileName), FTarget(ResolvePath(AFileName)) {
  assert(BufferSize > 0);
  struct stat st;
  FExisted = ::lstat(FTarget.c_str(), &st) == 0;
  if (FExisted && S_ISLNK(st.st_mode)) {
    char real[PATH_MAX];
    if (::realpath(FTarget.c_str(), real)) FTarget = real;
    FExisted = ::stat(FTarget.c_str(), &st) == 0;
  }
  if (FExisted && S_ISDIR(st.st_mode)) Fail(EISDIR);
  // A file marked read-only (no write permission for anyone) or one the user may not write is
  // refused, though its folder would take the new one; the mark binds the superuser too.
  if (FExisted && (st.st_mode & 0222) == 0) Fail(EACCES);
  if (FExisted && ::access(FTarget.c_str(), W_OK) != 0) Fail(errno);
  FMode = FExisted ? (st.st_mode & 07777) : 0;
  // A name of its own beside the target, short whatever the target's length.
  FHandle = sysutils_impl::OpenTempFileIn(ExtractFilePath(FTarget), FTempName);
  if (FHandle < 0) {
    FTempName.clear();
    Fail(errno);
  }
  FBuffer.resize(static_cast<std::size_t>(BufferSize));
}

TBufferedFileStream::~TBufferedFileStream() { Discard(); }

void TBufferedFileStream::Fail(int Err) {
  throw EFCreateError("Cannot create file \"" + FFileName + "\". " + OSErrorText(Err));
}

void TBufferedFileStream::Discard() {
  if (FHandle >= 0) ::close(FHandle);
  FHandle = -1;
  if (!FTempName.empty()) ::unlink(FTempName.c_str());
  FTempName.clear();
}

Int64 TBufferedFileStream::Read(void*, Int64) { return 0; }

void TBufferedFileStream::Flush() {
  for (std::size_t done = 0; done < FUsed;) {
    ssize_t n = ::write(FHandle, FBuffer.data() + done, FUsed - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      int err = n < 0 ? errno : EIO;
      Discard();
      Fail(err);
    }
    done += static_cast<std::size_t>(n);
  }
  FUsed = 0;
}

Int64 TBufferedFileStream::Write(const void* Buffer, Int64 Count) {
  // Closed (committed or failed): nothing more is taken.
  if (Count <= 0 || FHandle < 0) return 0;
  const char* p = static_cast<const char*>(Buffer);
  std::size_t left = static_cast<std::size_t>(Count);
  while (left > 0) {
    if (FUsed == FBuffer.size()) Flush();
    std::size_t n = std::min(left, FBuffer.size() - FUsed);
    std::memcpy(FBuffer.data() + FUsed, p, n);
    FUsed += n;
    p += n;
    left -= n;
  }
  FSize += Count;
  return Count;
}

Int64 TBufferedFileStream::Seek(Int64 Offset, TSeekOrigin Origin) {
  bool stays = (Origin == soCurrent && Offset == 0) || (Origin == soEnd && Offset == 0) ||
               (Origin == soBeginning && Offset == FSize);
  if (!stays) throw EStreamError("Stream seek error");
  return FSize;
}

void TBufferedFileStream::Commit() {
  assert(!FCommitted);
  if (FHandle < 0) throw EStreamError("Stream write error");
  Flush();
  int err = 0;
  if (FExisted) ::fchmod(FHandle, FMode);
  if (::fsync(FHandle) != 0) err = errno;
  if (::close(FHandle) != 0 && !err) err = errno;
  FHandle = -1;
  if (!err && ::rename(FTempName.c_str(), FTarget.c_str()) != 0) err = errno;
  if (err) {
    Discard();
    Fail(err);
  }
  FTempName.clear();
  FCommitted = true;
  // The rename itself is made durable by flushing the folder.
  String dir = ExtractFilePath(FTarget);
  int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}
