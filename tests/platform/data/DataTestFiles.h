#pragma once
// A temporary folder for the database files a test makes, removed with everything in it.
#include "System.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

class TTempFolder {
public:
  TTempFolder() {
    String pattern = (std::filesystem::temp_directory_path() / "kelm-data-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    FPath = pattern;
  }
  ~TTempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
  }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  String File(const String& name) const { return FPath + "/" + name; }
  const String& Path() const { return FPath; }

  static String ReadAll(const String& file) {
    std::ifstream in(file, std::ios::binary);
    return String(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

private:
  String FPath;
};
