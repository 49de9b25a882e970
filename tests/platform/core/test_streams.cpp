// Memory, string, bytes and file streams.
#include "core/Classes.h"
#include "CoreTestUtil.h"
#include "TempFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

namespace {

// Grows in its own steps, as a descendant with a coarser growth does.
class TStepStream : public TMemoryStream {
public:
  explicit TStepStream(Int64 step) : FStep(step) {}
  std::vector<Int64> Requests;

protected:
  void* Realloc(Int64& NewCapacity) override {
    Requests.push_back(NewCapacity);
    if (NewCapacity > 0 && NewCapacity != Size()) NewCapacity = (NewCapacity + FStep - 1) / FStep * FStep;
    return ResizeMemory(NewCapacity);
  }

private:
  Int64 FStep;
};

}  // namespace

TEST(TMemoryStream, WriteSeekReadAndTheThreeOrigins) {
  TMemoryStream m;
  m.WriteBuffer("hello world", 11);
  EXPECT_EQ(m.Position(), 11);
  EXPECT_EQ(m.Size(), 11);
  struct Case {
    Int64 offset;
    Word origin;
    Int64 expected;
  } cases[] = {{6, soFromBeginning, 6}, {-2, soFromCurrent, 4}, {-5, soFromEnd, 6}, {0, soFromEnd, 11}};
  for (const auto& c : cases) EXPECT_EQ(m.Seek(c.offset, c.origin), c.expected);
  m.Seek(6, soBeginning);
  char buf[16] = {};
  EXPECT_EQ(m.Read(buf, 100), 5) << "a read stops at the end";
  EXPECT_STREQ(buf, "world");
  EXPECT_EQ(m.Read(buf, 1), 0);
}

TEST(TMemoryStream, ShortTransfersThroughTheBufferCallsRaise) {
  TMemoryStream m;
  m.WriteBuffer("abc", 3);
  m.SetPosition(1);
  char buf[8];
  EXPECT_EQ(ErrorOf([&] { m.ReadBuffer(buf, 3); }), "EReadError: Stream read error");
  m.SetPosition(0);
  EXPECT_NO_THROW(m.ReadBuffer(buf, 3));
  EXPECT_NO_THROW(m.ReadBuffer(buf, 0)) << "nothing asked, nothing missing";
}

TEST(TMemoryStream, WritingPastTheEndFillsTheGapWithZeros) {
  TMemoryStream m;
  m.WriteBuffer("ab", 2);
  m.SetPosition(6);
  m.WriteBuffer("z", 1);
  ASSERT_EQ(m.Size(), 7);
  EXPECT_EQ(String(static_cast<char*>(m.Memory()), 7), String("ab\0\0\0\0z", 7));
}

TEST(TMemoryStream, SetSizeZeroesNewBytesAndPullsThePositionBack) {
  TMemoryStream m;
  m.WriteBuffer("abcdef", 6);
  m.SetSize(3);
  EXPECT_EQ(m.Position(), 3);
  m.SetSize(5);
  EXPECT_EQ(String(static_cast<char*>(m.Memory()), 5), String("abc\0\0", 5));
  m.Clear();
  EXPECT_EQ(m.Size(), 0);
  EXPECT_EQ(m.Position(), 0);
  EXPECT_EQ(m.Memory(), nullptr);
}

TEST(TMemoryStream, CapacityGrowsInSteps) {
  TMemoryStream m;
  m.WriteBuffer("x", 1);
  EXPECT_EQ(m.Capacity(), 8192);
  std::vector<char> block(8192, 'y');
  m.WriteBuffer(block.data(), 8192);
  EXPECT_EQ(m.Capacity(), 16384);
  TStepStream s(100);
  s.WriteBuffer("x", 1);
  EXPECT_EQ(s.Capacity(), 100);
  s.WriteBuffer(block.data(), 150);
  EXPECT_EQ(s.Capacity(), 200);
  EXPECT_EQ(s.Requests, (std::vector<Int64>{1, 151}));
  s.SetSize(151);
  EXPECT_EQ(s.Capacity(), 151) << "a request equal to the size is taken exactly";
}

TEST(TMemoryStream, CopyFromZeroCopiesAllFromTheStart) {
  TStringStream src("0123456789");
  src.SetPosition(7);
  TMemoryStream dst;
  EXPECT_EQ(dst.CopyFrom(&src, 0), 10);
  EXPECT_EQ(String(static_cast<char*>(dst.Memory()), 10), "0123456789");
  src.SetPosition(2);
  TStringStream part;
  EXPECT_EQ(part.CopyFrom(&src, 3), 3);
  EXPECT_EQ(part.DataString(), "234");
  src.SetPosition(8);
  EXPECT_THROW(part.CopyFrom(&src, 5), EReadError);
}

TEST(TMemoryStream, LoadFromStreamTakesTheWholeSource) {
  TStringStream src("abcdef");
  src.SetPosition(4);
  TMemoryStream m;
  m.LoadFromStream(&src);
  EXPECT_EQ(m.Size(), 6);
  TStringStream out;
  m.SaveToStream(&out);
  EXPECT_EQ(out.DataString(), "abcdef");
}

TEST(TStringStream, DataStringReadStringWriteString) {
  TStringStream s("合同");
  EXPECT_EQ(s.Position(), 0);
  EXPECT_EQ(s.Size(), 6);
  EXPECT_EQ(s.ReadString(3), "合");
  s.WriteString("!!");
  EXPECT_EQ(s.DataString(), "合!!\x8C") << "writes overwrite in place";
  EXPECT_EQ(s.ReadString(100), "\x8C");
  TBytesStream b(TBytes{1, 2, 3});
  EXPECT_EQ(b.Size(), 3);
  b.Seek(0, soEnd);
  Byte four = 4;
  b.WriteBuffer(&four, 1);
  EXPECT_EQ(b.Bytes(), (TBytes{1, 2, 3, 4}));
}

// ---------------------------------------------------------------- files

TEST(TFileStream, CreateWriteReopenRead) {
  TempFolder dir;
  {
    TFileStream f(dir / "data.bin", fmCreate);
    f.WriteBuffer("0123456789", 10);
    EXPECT_EQ(f.Size(), 10);
    f.SetSize(4);
    EXPECT_EQ(f.Position(), 4);
  }
  TFileStream f(dir / "data.bin", fmOpenRead | fmShareDenyWrite);
  EXPECT_EQ(f.Size(), 4);
  char buf[8] = {};
  f.ReadBuffer(buf, 4);
  EXPECT_STREQ(buf, "0123");
  EXPECT_EQ(ErrorOf([&] { f.ReadBuffer(buf, 1); }), "EReadError: Stream read error");
  EXPECT_EQ(ErrorOf([&] { f.WriteBuffer("x", 1); }), "EWriteError: Stream write error")
      << "a file opened for reading takes no writes";
  {
    TFileStream again(dir / "data.bin", fmCreate);
  }
  EXPECT_EQ(dir.Read("data.bin"), "") << "fmCreate truncates";
}

TEST(TFileStream, ErrorsNameTheFileAndTheReason) {
  TempFolder dir;
  ::mkdir((dir / "folder").c_str(), 0777);
  struct Case {
    String name;
    Word mode;
    String expected;
  } cases[] = {
      {dir / "missing.txt", fmOpenRead, "EFOpenError: Cannot open file \"" + dir / "missing.txt" + "\". No such file or directory"},
      {dir / "no/such/dir/x.txt", fmCreate,
       "EFCreateError: Cannot create file \"" + dir / "no/such/dir/x.txt" + "\". No such file or directory"},
      {dir / "folder", fmOpenRead, "EFOpenError: Cannot open file \"" + dir / "folder" + "\". Is a directory"},
      {dir / "folder", fmCreate, "EFCreateError: Cannot create file \"" + dir / "folder" + "\". Is a directory"},
  };
  for (const auto& c : cases) EXPECT_EQ(ErrorOf([&] { TFileStream f(c.name, c.mode); }), c.expected);
}

TEST(TFileStream, BackslashesAndCaseInsensitiveNames) {
  TempFolder dir;
  dir.Write("DataBase/KELM.MDB", "db");
  TFileStream f(dir.Path() + "database\\kelm.mdb", fmOpenReadWrite);
  char buf[3] = {};
  f.ReadBuffer(buf, 2);
  EXPECT_STREQ(buf, "db");
  EXPECT_EQ(f.FileName(), dir.Path() + "database\\kelm.mdb") << "the name as given";
  {
    TFileStream created(dir.Path() + "DATABASE\\new.txt", fmCreate);
    created.WriteBuffer("n", 1);
  }
  EXPECT_EQ(dir.Read("DataBase/new.txt"), "n") << "a new file goes into the folder that exists";
}

TEST(TFileStream, PositionsBeyondFourGigabytes) {
  TempFolder dir;
  const Int64 far = (Int64(5) << 30) + 3;
  {
    TFileStream f(dir / "sparse.bin", fmCreate);
    EXPECT_EQ(f.Seek(far, soBeginning), far);
    f.WriteBuffer("!", 1);
    EXPECT_EQ(f.Size(), far + 1);
    EXPECT_EQ(f.Position(), far + 1);
  }
  TFileStream f(dir / "sparse.bin", fmOpenRead);
  f.Seek(-1, soFromEnd);
  char c = 0;
  f.ReadBuffer(&c, 1);
  EXPECT_EQ(c, '!');
}

TEST(TMemoryStream, SaveToFileAndLoadFromFile) {
  TempFolder dir;
  TStringStream s("payload");
  s.SaveToFile(dir / "p.bin");
  TMemoryStream m;
  m.LoadFromFile(dir.Path() + "P.BIN");
  EXPECT_EQ(String(static_cast<char*>(m.Memory()), static_cast<std::size_t>(m.Size())), "payload");
}

// ---------------------------------------------------------------- TBufferedFileStream

namespace {
// The names in the folder, sorted.
std::vector<String> Entries(const TempFolder& dir) {
  std::vector<String> r;
  for (const auto& e : std::filesystem::directory_iterator(dir.Path())) r.push_back(e.path().filename().string());
  std::sort(r.begin(), r.end());
  return r;
}
}  // namespace

TEST(TBufferedFileStream, CommitReplacesTheFileWholeAndKeepsItsPermissions) {
  TempFolder dir;
  dir.Write("list.xls", "old content");
  ::chmod((dir / "list.xls").c_str(), 0640);
  {
    TBufferedFileStream f(dir / "list.xls", 4);  // a tiny buffer: several flushes
    f.WriteBuffer("new ", 4);
    f.WriteBuffer("content!", 8);
    EXPECT_EQ(f.Position(), 12);
    EXPECT_EQ(dir.Read("list.xls"), "old content") << "nothing reaches the file before the commit";
    EXPECT_EQ(Entries(dir).size(), 2u) << "the new content is written beside the file";
    f.Commit();
    EXPECT_TRUE(f.Committed());
    EXPECT_EQ(ErrorOf([&] { f.WriteBuffer("x", 1); }), "EWriteError: Stream write error");
  }
  EXPECT_EQ(dir.Read("list.xls"), "new content!");
  EXPECT_EQ(Entries(dir), std::vector<String>{"list.xls"}) << "no temporary file left";
  struct stat st;
  ASSERT_EQ(::stat((dir / "list.xls").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(TBufferedFileStream, WithoutCommitTheOldFileStaysAndTheTemporaryGoes) {
  TempFolder dir;
  dir.Write("list.xls", "old");
  try {
    TBufferedFileStream f(dir / "list.xls", 8);
    f.WriteBuffer(String(100, 'x').data(), 100);  // flushed to the temporary file already
    throw Exception("a field failed mid-walk");
  } catch (const Exception&) {
  }
  EXPECT_EQ(dir.Read("list.xls"), "old");
  EXPECT_EQ(Entries(dir), std::vector<String>{"list.xls"});
}

TEST(TBufferedFileStream, RefusesBeforeWriting) {
  TempFolder dir;
  ::mkdir((dir / "folder").c_str(), 0777);
  dir.Write("ro.xls", "kept");
  ::chmod((dir / "ro.xls").c_str(), 0444);
  ::mkdir((dir / "locked").c_str(), 0555);
  bool root = ::geteuid() == 0;
  struct Case {
    String name, expected;
  } cases[] = {
      {dir / "folder", "EFCreateError: Cannot create file \"" + dir / "folder" + "\". Is a directory"},
      {dir / "no/such/x.xls", "EFCreateError: Cannot create file \"" + dir / "no/such/x.xls" + "\". No such file or directory"},
      {dir / "ro.xls", "EFCreateError: Cannot create file \"" + dir / "ro.xls" + "\". Permission denied"},
      {dir / "locked/x.xls", "EFCreateError: Cannot create file \"" + dir / "locked/x.xls" + "\". Permission denied"},
  };
  for (const auto& c : cases) {
    // A folder's permissions do not bind the superuser; a read-only file's mark does.
    if (root && c.name.find("locked") != String::npos) continue;
    EXPECT_EQ(ErrorOf([&] { TBufferedFileStream f(c.name); }), c.expected);
  }
  EXPECT_EQ(dir.Read("ro.xls"), "kept");
  EXPECT_EQ(Entries(dir), (std::vector<String>{"folder", "locked", "ro.xls"}));
}

TEST(TBufferedFileStream, FollowsASymbolicLinkAndOnlyTellsItsPosition) {
  TempFolder dir;
  dir.Write("real.txt", "old");
  ::symlink((dir / "real.txt").c_str(), (dir / "link.txt").c_str());
  TBufferedFileStream f(dir / "link.txt");
  f.WriteBuffer("abc", 3);
  EXPECT_EQ(f.Seek(0, soCurrent), 3);
  EXPECT_EQ(f.Seek(0, soEnd), 3);
  EXPECT_EQ(ErrorOf([&] { f.Seek(0, soBeginning); }), "EStreamError: Stream seek error");
  f.Commit();
  EXPECT_EQ(dir.Read("real.txt"), "abc");
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.txt")) << "the link itself stays";
}
