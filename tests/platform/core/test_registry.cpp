// The settings store: keys and typed values, persistence, merging with other processes.
#include "CoreTestUtil.h"
#include "core/FileUtils.h"
#include "core/Registry.h"
#include "TempFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Points the store at a folder of its own for each test.
class RegistryTest : public ::testing::Test {
protected:
  void SetUp() override {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    FHadOld = old != nullptr;
    if (old) FOld = old;
    ::setenv("XDG_CONFIG_HOME", Dir.Path().c_str(), 1);
  }
  void TearDown() override {
    TRegistry::FlushStores();
    if (FHadOld) ::setenv("XDG_CONFIG_HOME", FOld.c_str(), 1);
    else ::unsetenv("XDG_CONFIG_HOME");
  }
  String StoreText(HKEY root = HKEY_CURRENT_USER) { return Dir.Read("kelm/" + ExtractFileName(TRegistry::StoreFileName(root))); }

  TempFolder Dir;

private:
  bool FHadOld = false;
  String FOld;
};

}  // namespace

TEST_F(RegistryTest, ValuesSurviveClosingAndAreSeenByAnotherObject) {
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Zude Vizerav\\Form.TfrxDesignerForm", true));
    reg.WriteInteger("Left", -20);
    reg.WriteBool("Maximized", true);
    reg.WriteString("Caption", "设计器");
    reg.WriteFloat("Zoom", 1.25);
    const Byte data[] = {0, 1, 0xFE, 0xFF};
    reg.WriteBinaryData("Dock", data, sizeof data);
    TRegistry other;
    ASSERT_TRUE(other.OpenKeyReadOnly("Software\\Zude Vizerav\\Form.TfrxDesignerForm"));
    EXPECT_EQ(other.ReadInteger("Left"), -20) << "seen before the first object closes";
  }
  EXPECT_EQ(TRegistry::StoreFileName(HKEY_CURRENT_USER), Dir.Path() + "kelm/HKEY_CURRENT_USER.txt");
  EXPECT_NE(StoreText().find("Caption=string:设计器"), String::npos) << StoreText();
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("software\\ZUDE VIZERAV\\form.tfrxdesignerform", false));
  EXPECT_EQ(reg.ReadInteger("left"), -20);
  EXPECT_TRUE(reg.ReadBool("MAXIMIZED"));
  EXPECT_EQ(reg.ReadString("caption"), "设计器");
  EXPECT_DOUBLE_EQ(reg.ReadFloat("Zoom"), 1.25);
  EXPECT_EQ(reg.ReadBinaryData("Dock"), (TBytes{0, 1, 0xFE, 0xFF}));
  Byte small[2];
  EXPECT_EQ(ErrorOf([&] { reg.ReadBinaryData("Dock", small, 2); }), "ERegistryException: Invalid data type for 'Dock'");
  EXPECT_EQ(reg.ReadBinaryData("nothing", small, 2), 0);
  EXPECT_EQ(reg.GetDataType("Left"), rdInteger);
  EXPECT_EQ(reg.GetDataSize("Caption"), 10) << "nine bytes and the closing zero";
  EXPECT_EQ(reg.GetDataSize("none"), -1);
}

TEST_F(RegistryTest, ValuesSurviveANewProcess) {
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    reg.OpenKey("Software\\Zude Vizerav\\Connections", true);
    reg.WriteString("Main", "Provider=x;Data Source=kelm.db");
    reg.CloseKey();
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  TRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Zude Vizerav\\Connections"));
  EXPECT_EQ(reg.ReadString("main"), "Provider=x;Data Source=kelm.db");
  TRegistry user;
  EXPECT_FALSE(user.KeyExists("Software\\Zude Vizerav\\Connections")) << "each root is a store of its own";
}

TEST_F(RegistryTest, ChangesOfAnotherProcessAreMergedNotLost) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Test", true));
  reg.WriteString("Mine", "1");
  reg.CloseKey();
  ASSERT_TRUE(reg.OpenKey("Software\\Test", false));
  reg.WriteString("Pending", "2");  // not yet written: the key is still open
  // Another process saves the store meanwhile, with a value of its own.
  String theirs = StoreText();
  ASSERT_NE(theirs.find("Mine=string:1\n"), String::npos) << theirs;
  theirs.replace(theirs.find("Mine=string:1\n"), 14, "Mine=string:1\nTheirs=string:3\n");
  WriteFileAtomic(TRegistry::StoreFileName(HKEY_CURRENT_USER), theirs);
  EXPECT_EQ(reg.ReadString("Theirs"), "3") << "their saved change shows at once";
  EXPECT_EQ(reg.ReadString("Pending"), "2") << "and ours is still there";
  reg.CloseKey();
  String text = StoreText();
  for (const char* v : {"Mine=string:1", "Pending=string:2", "Theirs=string:3"}) EXPECT_NE(text.find(v), String::npos) << v;
}

TEST_F(RegistryTest, KeysRelativeAbsoluteAndTheirNames) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Vizerav Report", true));
  EXPECT_EQ(reg.CurrentPath(), "Software\\Vizerav Report");
  ASSERT_TRUE(reg.OpenKey("Form\\TfrDesignerForm", true));
  EXPECT_EQ(reg.CurrentPath(), "Software\\Vizerav Report\\Form\\TfrDesignerForm");
  reg.WriteInteger("XPosition", 10);
  ASSERT_TRUE(reg.OpenKey("\\Software\\Vizerav Report", false));
  EXPECT_TRUE(reg.KeyExists("form"));
  EXPECT_TRUE(reg.KeyExists("\\SOFTWARE\\vizerav report\\Form\\TfrDesignerForm"));
  EXPECT_FALSE(reg.OpenKey("Missing", false));
  EXPECT_EQ(reg.CurrentPath(), "Software\\Vizerav Report") << "a failed open keeps the key";
  reg.CreateKey("MRUFont");
  reg.CreateKey("Alpha");
  TStringList names;
  reg.GetKeyNames(&names);
  EXPECT_EQ(Of(names), (std::vector<String>{"Alpha", "Form", "MRUFont"}));
  EXPECT_TRUE(reg.HasSubKeys());
  ASSERT_TRUE(reg.OpenKey("MRUFont", false));
  for (const char* v : {"Font2", "Font0", "Font1"}) reg.WriteString(v, v);
  reg.GetValueNames(&names);
  EXPECT_EQ(Of(names), (std::vector<String>{"Font2", "Font0", "Font1"})) << "values keep the order they came in";
  reg.WriteString("font0", "changed");
  reg.GetValueNames(&names);
  EXPECT_EQ(Of(names), (std::vector<String>{"Font2", "Font0", "Font1"})) << "rewriting keeps the first spelling";
  EXPECT_TRUE(reg.DeleteValue("FONT2"));
  EXPECT_FALSE(reg.DeleteValue("FONT2"));
  EXPECT_FALSE(reg.ValueExists("Font2"));
  reg.RenameValue("Font1", "FontX");
  EXPECT_EQ(reg.ReadString("fontx"), "Font1");
}

TEST_F(RegistryTest, DeleteKeyTakesEverythingUnderIt) {
  TRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey("\\Software\\Zude Vizerav\\Connections\\Sub", true));
  reg.WriteString("a", "1");
  reg.CloseKey();
  EXPECT_TRUE(reg.DeleteKey("Software\\ZUDE VIZERAV\\Connections"));
  EXPECT_FALSE(reg.KeyExists("\\Software\\Zude Vizerav\\Connections\\Sub"));
  EXPECT_TRUE(reg.KeyExists("\\Software\\Zude Vizerav"));
  EXPECT_FALSE(reg.DeleteKey("Software\\Zude Vizerav\\Connections"));
  EXPECT_TRUE(reg.OpenKey("Software\\Zude Vizerav\\Connections", true)) << "and it can be made again";
  EXPECT_EQ(reg.ReadString("a"), "");
}

TEST_F(RegistryTest, ErrorsForMissingValuesWrongTypesAndReadOnlyKeys) {
  TRegistry reg;
  EXPECT_EQ(ErrorOf([&] { reg.WriteString("x", "1"); }), "ERegistryException: Failed to set data for 'x'")
      << "no key is open";
  ASSERT_TRUE(reg.OpenKey("Software\\Types", true));
  reg.WriteString("Text", "12");
  reg.WriteInteger("Number", 12);
  struct Case {
    const char* what;
    std::function<void()> call;
    const char* message;
  } cases[] = {
      {"missing integer", [&] { reg.ReadInteger("None"); }, "Failed to get data for 'None'"},
      {"missing float", [&] { reg.ReadFloat("None"); }, "Failed to get data for 'None'"},
      {"missing bool", [&] { reg.ReadBool("None"); }, "Failed to get data for 'None'"},
      {"text as integer", [&] { reg.ReadInteger("Text"); }, "Invalid data type for 'Text'"},
      {"integer as text", [&] { reg.ReadString("Number"); }, "Invalid data type for 'Number'"},
      {"integer as float", [&] { reg.ReadFloat("Number"); }, "Invalid data type for 'Number'"},
  };
  for (auto& c : cases) EXPECT_EQ(ErrorOf(c.call), String("ERegistryException: ") + c.message) << c.what;
  EXPECT_EQ(reg.ReadString("None"), "") << "a missing text reads as empty";
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Types"));
  EXPECT_EQ(ErrorOf([&] { reg.WriteInteger("Number", 1); }), "ERegistryException: Failed to set data for 'Number'");
  EXPECT_FALSE(reg.DeleteValue("Number"));
  EXPECT_EQ(reg.ReadInteger("Number"), 12);
  EXPECT_FALSE(reg.OpenKeyReadOnly("Software\\Nothing"));
}

TEST_F(RegistryTest, AnyNameOrTextSurvivesTheFile) {
  const String names[] = {"plain", "with=equals", "100%", "[bracket", "#hash", "", "tab\tname", "名字"};
  const String values[] = {"", "line1\r\nline2", "%41 stays", "trailing ", "\\back\\slash", "中文", String("a\0b", 3),
                           "=:"};
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Odd]Key%\\x", true));
    for (std::size_t i = 0; i < std::size(names); ++i) reg.WriteString(names[i], values[i]);
  }
  // Read from the file alone, as a new run would.
  String text = StoreText();
  TempFolder copy;
  copy.Write("kelm/HKEY_CURRENT_USER.txt", text);
  ::setenv("XDG_CONFIG_HOME", copy.Path().c_str(), 1);
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Odd]Key%\\X", false)) << text;
  for (std::size_t i = 0; i < std::size(names); ++i) EXPECT_EQ(reg.ReadString(names[i]), values[i]) << names[i];
  TStringList keys;
  reg.OpenKey("\\Software", false);
  reg.GetKeyNames(&keys);
  EXPECT_EQ(Of(keys), (std::vector<String>{"Odd]Key%"}));
}

TEST_F(RegistryTest, DamagedLinesAreSkippedAndTheRestIsRead) {
  Dir.Write("kelm/HKEY_CURRENT_USER.txt",
            "# test\n[Software\\A]\nGood=integer:5\nBad=integer:five\nNoType\nHex=binary:0g\nOdd=binary:abc\n"
            "Also=string:ok\n[Software\\B\nTrunc=str");
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\A", false));
  EXPECT_EQ(reg.ReadInteger("Good"), 5);
  EXPECT_EQ(reg.ReadString("Also"), "ok");
  TStringList names;
  reg.GetValueNames(&names);
  EXPECT_EQ(Of(names), (std::vector<String>{"Good", "Also"}));
}

TEST_F(RegistryTest, AFailedSaveKeepsTheChangesForTheNextOne) {
  Dir.Write("kelm", "a file where the folder should be");
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Keep", true));
  reg.WriteString("v", "precious");
  EXPECT_THROW(reg.CloseKey(), ERegistryException);
  ASSERT_TRUE(std::filesystem::remove(Dir / "kelm"));
  TRegistry::FlushStores();
  EXPECT_NE(StoreText().find("precious"), String::npos);
}

TEST_F(RegistryTest, SavingLeavesNoTemporaryFiles) {
  TRegistry reg;
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(reg.OpenKey("Software\\K" + std::to_string(i), true));
    reg.WriteInteger("v", i);
    reg.CloseKey();
  }
  std::vector<String> files;
  for (auto& e : std::filesystem::directory_iterator(Dir.Path() + "kelm")) files.push_back(e.path().filename().string());
  EXPECT_EQ(files, (std::vector<String>{"HKEY_CURRENT_USER.txt"}));
}

// ---------------------------------------------------------------- TRegistryIniFile

TEST_F(RegistryTest, RegistryIniFileSectionsAreSubkeys) {
  {
    TRegistryIniFile ini("\\Software\\Zude Vizerav");
    ini.WriteInteger("Form.TfrxDesignerForm", "Width", 800);
    ini.WriteBool("Form.TfrxDesignerForm", "Maximized", true);
    ini.WriteString("Resources", "Language", "Chinese.frc");
    ini.WriteFloat("Form.TfrxDesignerForm", "Scale", 1.5);
    EXPECT_EQ(ini.ReadInteger("form.tfrxdesignerform", "WIDTH", 0), 800);
    EXPECT_TRUE(ini.ReadBool("Form.TfrxDesignerForm", "Maximized", false));
    EXPECT_EQ(ini.ReadString("Form.TfrxDesignerForm", "Width", ""), "800");
    EXPECT_EQ(ini.ReadInteger("Form.TfrxDesignerForm", "Missing", -1), -1);
  }
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Zude Vizerav\\Resources", false));
  EXPECT_EQ(reg.ReadString("Language"), "Chinese.frc");
  reg.WriteString("Units", "2");
  reg.CloseKey();
  TRegistryIniFile ini("\\Software\\Zude Vizerav");
  EXPECT_EQ(ini.ReadInteger("Resources", "Units", 0), 2) << "integers read from text values too";
  TStringList sections;
  ini.ReadSections(&sections);
  EXPECT_EQ(Of(sections), (std::vector<String>{"Form.TfrxDesignerForm", "Resources"}));
  TStringList values;
  ini.ReadSectionValues("Form.TfrxDesignerForm", &values);
  ASSERT_EQ(values.Count(), 3);
  EXPECT_EQ(values[0], "Width=800");
  EXPECT_EQ(values[1], "Maximized=1");
  EXPECT_DOUBLE_EQ(ini.ReadFloat("Form.TfrxDesignerForm", "Scale", 0), 1.5);
  EXPECT_TRUE(ini.SectionExists("resources"));
  EXPECT_TRUE(ini.ValueExists("resources", "language"));
  ini.DeleteKey("Resources", "Language");
  EXPECT_FALSE(ini.ValueExists("Resources", "Language"));
  ini.EraseSection("Resources");
  ini.ReadSections(&sections);
  EXPECT_EQ(Of(sections), (std::vector<String>{"Form.TfrxDesignerForm"}));
}
