#pragma once
// The program's windows over the contracts fixture, with the day held at noon of today all
// through a test, so no midnight comes between the rows and the windows; and what a folder
// holds, for tests that check files the windows copy, move and delete.
#include "AppWindows.h"
#include "PactFixture.h"

#include "core/DateUtils.h"

#include <filesystem>
#include <map>
#include <memory>

class PactFixtureTest : public AppWindowsTest {
protected:
  void SetUp() override {
    AppWindowsTest::SetUp();
    Today = Date();
    Clock = std::make_unique<TClockOverride>(Today + 0.5);
    pactfixture::Install(Frm_Data->ADOConnection1, Folder.Path(), Today);
  }
  void TearDown() override {
    Clock.reset();
    AppWindowsTest::TearDown();
  }

  TDateTime Today = 0;
  std::unique_ptr<TClockOverride> Clock;
};

// Each file below Root by its path relative to Root, with its content; folders as "<folder>".
using TFolderContent = std::map<String, String>;
inline TFolderContent FolderContent(const String& Root) {
  namespace fs = std::filesystem;
  TFolderContent content;
  if (!fs::exists(Root)) return content;
  for (const auto& e : fs::recursive_directory_iterator(fs::path(Root))) {
    String rel = fs::relative(e.path(), fs::path(Root)).string();
    String data;
    content[rel] = e.is_directory() || !ReadFileToString(e.path().string(), data) ? String("<folder>") : data;
  }
  return content;
}
