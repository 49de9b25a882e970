#pragma once
// A fresh folder for one test (or one test program), removed with everything in it afterwards.
#include "core/System.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <stdlib.h>

class TempFolder {
public:
  TempFolder() {
    String tmpl = (std::filesystem::temp_directory_path() / "kelm-test-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    FPath = tmpl + "/";
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder with a trailing '/'.
  const String& Path() const { return FPath; }
  String operator/(const String& name) const { return FPath + name; }

  void Write(const String& name, const String& content) const {
    std::filesystem::create_directories(std::filesystem::path(FPath + name).parent_path());
    std::ofstream(FPath + name, std::ios::binary) << content;
  }
  String Read(const String& name) const {
    std::ifstream in(FPath + name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  bool Exists(const String& name) const { return std::filesystem::exists(FPath + name); }

private:
  String FPath;
};
