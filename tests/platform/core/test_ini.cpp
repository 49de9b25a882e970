// INI files: write-through, case folding, typed values, layout kept, unsafe input refused.
#include "CoreTestUtil.h"
#include "core/FileUtils.h"
#include "core/IniFiles.h"
#include "TempFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

class IniFileTest : public ::testing::Test {
protected:
  TempFolder Dir;
  String Name = Dir / "Config.ini";
};

}  // namespace

TEST_F(IniFileTest, TwoAccessorsSeeEachOthersWrites) {
  TIniFile a(Name), b(Name);
  a.WriteString("Config", "DBName", "kelm");
  EXPECT_EQ(b.ReadString("Config", "DBName", ""), "kelm");
  b.WriteInteger("login", "username", 3);
  a.WriteString("Config", "Drive", "2");
  EXPECT_EQ(a.ReadInteger("login", "username", -1), 3);
  EXPECT_EQ(b.ReadString("Config", "Drive", ""), "2");
  EXPECT_EQ(Dir.Read("Config.ini"), "[Config]\r\nDBName=kelm\r\nDrive=2\r\n\r\n[login]\r\nusername=3\r\n");
}

TEST_F(IniFileTest, NamesMatchWithoutRegardToCaseAndKeepTheirSpelling) {
  Dir.Write("Config.ini", "[Config]\r\nDBName = kelm \r\n[OtherInfo]\r\nAutoGoodsCode=1\r\n");
  TIniFile ini(Name);
  EXPECT_EQ(ini.ReadString("CONFIG", "dbname", ""), "kelm") << "blanks around names and values are dropped";
  EXPECT_TRUE(ini.ReadBool("otherinfo", "AUTOGOODSCODE", false));
  ini.WriteString("config", "DBNAME", "backup");
  ini.WriteString("OTHERINFO", "goodscode", "A001");
  EXPECT_EQ(Dir.Read("Config.ini"),
            "[Config]\r\nDBName=backup\r\n[OtherInfo]\r\nAutoGoodsCode=1\r\ngoodscode=A001\r\n");
  TStringList sections;
  ini.ReadSections(&sections);
  EXPECT_EQ(Of(sections), (std::vector<String>{"Config", "OtherInfo"}));
}

TEST_F(IniFileTest, CommentsBlankLinesAndLineEndsAreKept) {
  Dir.Write("Config.ini", "; written by hand\n\n[Config]\n; the database\nDBName=kelm\n\n[Other]\nx=1\n");
  TIniFile ini(Name);
  ini.WriteString("Config", "Drive", "0");
  ini.WriteString("Config", "DBName", "k2");
  EXPECT_EQ(Dir.Read("Config.ini"),
            "; written by hand\n\n[Config]\n; the database\nDBName=k2\nDrive=0\n\n[Other]\nx=1\n");
  EXPECT_EQ(ini.ReadString("Config", "; the database", "none"), "none") << "comments are no keys";
}

TEST_F(IniFileTest, TypedValues) {
  Dir.Write("Config.ini",
            "[T]\r\nint=42\r\nneg=-7\r\nhex=$1F\r\nhex2=0x10\r\nbad=12abc\r\nblank=\r\nzero=0\r\ntwo=2\r\n"
            "word=yes\r\nf=2.5\r\nfbad=2,5\r\n");
  TIniFile ini(Name);
  struct IntCase {
    const char* key;
    int expected;
  } ints[] = {{"int", 42}, {"neg", -7}, {"hex", 31}, {"hex2", 16}, {"bad", 99}, {"blank", 99}, {"missing", 99}};
  for (const auto& c : ints) EXPECT_EQ(ini.ReadInteger("T", c.key, 99), c.expected) << c.key;
  struct BoolCase {
    const char* key;
    bool def, expected;
  } bools[] = {{"zero", true, false}, {"two", false, true}, {"word", true, true}, {"word", false, false}, {"missing", true, true}};
  for (const auto& c : bools) EXPECT_EQ(ini.ReadBool("T", c.key, c.def), c.expected) << c.key;
  EXPECT_DOUBLE_EQ(ini.ReadFloat("T", "f", 0), 2.5);
  EXPECT_DOUBLE_EQ(ini.ReadFloat("T", "fbad", -1), -1);
  ini.WriteBool("W", "on", true);
  ini.WriteBool("W", "off", false);
  ini.WriteFloat("W", "f", 0.1);
  ini.WriteInteger("W", "i", -12);
  TStringList values;
  ini.ReadSectionValues("w", &values);
  EXPECT_EQ(Of(values), (std::vector<String>{"on=1", "off=0", "f=0.1", "i=-12"}));
  ini.WriteDate("W", "d", 45063);
  EXPECT_EQ(ini.ReadString("W", "d", ""), "2023-05-17");
  EXPECT_DOUBLE_EQ(ini.ReadDate("W", "d", 0), 45063);
}

TEST_F(IniFileTest, ValuesComeBackExactly) {
  TIniFile ini(Name);
  const String values[] = {"plain", " leading", "trailing ", "  both  ", "\"quoted\"", "'single'", "\"open", "a=b",
                           "; not a comment", "[not a section]", "中文 值", ""};
  int i = 0;
  for (const auto& v : values) ini.WriteString("V", "k" + std::to_string(i++), v);
  TIniFile other(Name);
  i = 0;
  for (const auto& v : values) EXPECT_EQ(other.ReadString("V", "k" + std::to_string(i++), "?"), v) << v;
}

TEST_F(IniFileTest, InputThatWouldBreakTheFileIsRefused) {
  TIniFile ini(Name);
  ini.WriteString("S", "k", "v");
  const String before = Dir.Read("Config.ini");
  struct Case {
    String section, key, value;
  } cases[] = {
      {"S", "k", "two\r\nlines"}, {"S", "k", "lf\nonly"}, {"S", "a=b", "v"}, {"S", "", "v"},
      {"S", "[x]", "v"},          {"S", "new\nkey", "v"}, {"a]b", "k", "v"}, {"a\nb", "k", "v"},
  };
  for (const auto& c : cases)
    EXPECT_THROW(ini.WriteString(c.section, c.key, c.value), EIniFileException) << c.section << "/" << c.key;
  EXPECT_EQ(Dir.Read("Config.ini"), before);
}

TEST_F(IniFileTest, SectionsKeysErasing) {
  TIniFile ini(Name);
  ini.WriteString("A", "x", "1");
  ini.WriteString("A", "y", "2");
  ini.WriteString("B", "z", "3");
  TStringList keys;
  ini.ReadSection("a", &keys);
  EXPECT_EQ(Of(keys), (std::vector<String>{"x", "y"}));
  EXPECT_TRUE(ini.SectionExists("b"));
  EXPECT_FALSE(ini.SectionExists("C"));
  EXPECT_TRUE(ini.ValueExists("A", "Y"));
  EXPECT_FALSE(ini.ValueExists("A", "w"));
  ini.DeleteKey("a", "X");
  EXPECT_FALSE(ini.ValueExists("A", "x"));
  ini.DeleteKey("A", "y");
  EXPECT_FALSE(ini.SectionExists("A")) << "a section without keys counts as missing";
  ini.EraseSection("b");
  TStringList sections;
  ini.ReadSections(&sections);
  EXPECT_EQ(Of(sections), (std::vector<String>{"A"}));
}

TEST_F(IniFileTest, WritesReplaceTheFileWholeAndKeepItsPermissions) {
  Dir.Write("Config.ini", "[A]\nx=1\n");
  ASSERT_EQ(::chmod(Name.c_str(), 0640), 0);
  TIniFile ini(Name);
  ini.WriteString("A", "x", "2");
  struct stat st;
  ASSERT_EQ(::stat(Name.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  int files = 0;
  for (auto& e : std::filesystem::directory_iterator(Dir.Path())) files += e.is_regular_file();
  EXPECT_EQ(files, 1) << "no temporary file is left";
  TIniFile nowhere(Dir / "missing/folder/x.ini");
  EXPECT_EQ(nowhere.ReadString("A", "x", "def"), "def");
  try {
    nowhere.WriteString("A", "x", "1");
    ADD_FAILURE() << "wrote into a missing folder";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(e.Message(), "Unable to write to " + Dir / "missing/folder/x.ini");
  }
}

TEST_F(IniFileTest, FileNamedWithBackslashesIsFoundRegardlessOfCase) {
  Dir.Write("Config.ini", "[Config]\nDBName=kelm\n");
  TIniFile ini(Dir.Path() + "CONFIG.INI");
  EXPECT_EQ(ini.ReadString("Config", "DBName", ""), "kelm");
  ini.WriteString("Config", "Drive", "1");
  EXPECT_FALSE(Dir.Exists("CONFIG.INI"));
  EXPECT_EQ(Dir.Read("Config.ini"), "[Config]\nDBName=kelm\nDrive=1\n");
}

// ---------------------------------------------------------------- TMemIniFile

TEST_F(IniFileTest, MemIniFileWritesOnlyOnUpdateFile) {
  Dir.Write("Config.ini", "[A]\nx=1\n");
  TMemIniFile mem(Name);
  EXPECT_EQ(mem.ReadString("a", "X", ""), "1");
  mem.WriteString("A", "y", "2");
  EXPECT_EQ(Dir.Read("Config.ini"), "[A]\nx=1\n");
  mem.UpdateFile();
  EXPECT_EQ(Dir.Read("Config.ini"), "[A]\nx=1\ny=2\n");
  TIniFile disk(Name);
  EXPECT_EQ(disk.ReadString("A", "y", ""), "2");
}

TEST_F(IniFileTest, MemIniFileFromAndToStrings) {
  TMemIniFile mem("");
  TStringList text;
  text.SetText("[Lang]\r\n1=确定\r\n2=取消\r\n[Other]\r\nk=\"q\"\r\n");
  mem.SetStrings(&text);
  EXPECT_EQ(mem.ReadString("lang", "2", ""), "取消");
  EXPECT_EQ(mem.ReadString("Other", "k", ""), "\"q\"") << "the memory file leaves quotes as they are";
  mem.EraseSection("Other");
  TStringList out;
  out.Add("kept");
  mem.GetStrings(&out);
  EXPECT_EQ(Of(out), (std::vector<String>{"kept", "[Lang]", "1=确定", "2=取消"}));
  mem.SetCaseSensitive(true);
  EXPECT_EQ(mem.ReadString("LANG", "1", "none"), "none");
  mem.Rename(Name, false);
  mem.UpdateFile();
  TIniFile disk(Name);
  EXPECT_EQ(disk.ReadString("Lang", "1", ""), "确定");
}
