// Qt is a private dependency of the platform's GUI and print libraries: their public headers
// name no Qt class (only the private headers, *_p.h, see it), no source of a library above the
// platform includes a Qt header, and the build gives those libraries no Qt include folder, so
// such an include would not compile.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& Path) {
  std::ifstream in(Path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Join(const std::vector<std::string>& Lines) {
  std::string out;
  for (const auto& l : Lines) out += l + "\n";
  return out;
}

// The libraries above the platform layer, as folders of the source tree.
const char* const kUpperLibraries[] = {"app", "grid", "controls", "editors", "script", "report", "report_legacy", "tools"};

}  // namespace

TEST(Layering, PublicHeadersNameNoQtClass) {
  const std::regex qt(R"(\bQ[A-Z][A-Za-z]+\b|#\s*include\s*<Q)");
  const std::regex comment(R"(//[^\n]*)");
  std::vector<std::string> offenders;
  int scanned = 0;
  for (const char* layer : {"gui", "print", "core", "data"}) {
    for (const auto& entry : fs::directory_iterator(fs::path(KELM_SOURCE_DIR) / "platform" / layer)) {
      std::string name = entry.path().filename().string();
      if (entry.path().extension() != ".h" || name.ends_with("_p.h")) continue;
      std::string code = std::regex_replace(ReadFile(entry.path()), comment, "");
      std::smatch m;
      if (std::regex_search(code, m, qt)) offenders.push_back(std::string(layer) + "/" + name + ": " + m.str());
      ++scanned;
    }
  }
  EXPECT_GT(scanned, 80) << "the headers were found";
  EXPECT_TRUE(offenders.empty()) << Join(offenders);
}

TEST(Layering, NoLibraryAboveThePlatformIncludesQt) {
  const std::regex include(R"(#\s*include\s*<Q)");
  std::vector<std::string> offenders;
  int scanned = 0;
  for (const char* library : kUpperLibraries) {
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(KELM_SOURCE_DIR) / library)) {
      auto ext = entry.path().extension();
      if (ext != ".h" && ext != ".cpp") continue;
      if (std::regex_search(ReadFile(entry.path()), include)) offenders.push_back(entry.path().string());
      ++scanned;
    }
  }
  EXPECT_GT(scanned, 50) << "the sources were found";
  EXPECT_TRUE(offenders.empty()) << Join(offenders);
}

// The compile commands the build wrote: a source of a library above the platform compiles
// without any Qt include folder, so an include of a Qt header there fails to build.
TEST(Layering, LibrariesAboveThePlatformCompileWithoutQtIncludeFolders) {
  const std::string commands = ReadFile(fs::path(KELM_BINARY_DIR) / "compile_commands.json");
  ASSERT_FALSE(commands.empty()) << "the build exports its compile commands";
  const std::string root = fs::path(KELM_SOURCE_DIR).lexically_normal().string() + "/";
  std::vector<std::string> offenders;
  int upper = 0, platformWithQt = 0;
  // Each entry names its "command" before its "file"; the values are JSON strings.
  auto value = [&](std::size_t& at, const std::string& key) {
    at = commands.find("\"" + key + "\": \"", at);
    if (at == std::string::npos) return std::string();
    std::size_t b = at + key.size() + 5, e = b;
    while (e < commands.size() && commands[e] != '"') e += commands[e] == '\\' ? 2 : 1;
    at = e;
    return commands.substr(b, e - b);
  };
  for (std::size_t at = 0;;) {
    std::string command = value(at, "command");
    std::string file = value(at, "file");
    if (at == std::string::npos) break;
    if (file.rfind(root, 0) != 0) continue;
    std::string relative = file.substr(root.size());
    bool qtFolder = command.find("qt6") != std::string::npos || command.find("Qt6") != std::string::npos;
    if (relative.rfind("platform/gui/", 0) == 0 && qtFolder) ++platformWithQt;
    for (const char* library : kUpperLibraries)
      if (relative.rfind(std::string(library) + "/", 0) == 0) {
        ++upper;
        if (qtFolder) offenders.push_back(relative);
      }
  }
  EXPECT_GT(upper, 40) << "the upper libraries' sources were found";
  EXPECT_GT(platformWithQt, 20) << "the check recognises a Qt include folder where there is one";
  EXPECT_TRUE(offenders.empty()) << Join(offenders);
}

// A class is found by its file: every public header of the platform pairs with the source of
// the same name, unless it only gathers other headers or holds inline code alone, and names
// in its opening comment every class it declares; every source has its header (public or
// private).
TEST(SourceLayout, PlatformHeadersPairWithTheirSourcesAndNameTheirClasses) {
  const std::vector<std::string> headerOnly = {
      "core/ClassBuilder.h", "core/Classes.h", "core/Events.h",  "core/FilerBase.h", "core/Scope.h",
      "core/System.h",       "core/Types.h",   "data/ADODB.h",   "gui/Controls.h", "gui/GdiTypes.h",
      "gui/Graphics.h",      "gui/WinGDI.h"};
  const std::regex declared(R"(\n(?:class|struct) (T\w+)\b[^;{]*\{)");
  std::vector<std::string> offenders;
  int headers = 0;
  for (const char* layer : {"core", "data", "gui", "print"}) {
    for (const auto& entry : fs::directory_iterator(fs::path(KELM_SOURCE_DIR) / "platform" / layer)) {
      const fs::path& p = entry.path();
      std::string name = std::string(layer) + "/" + p.filename().string();
      std::string stem = p.stem().string();
      if (p.extension() == ".cpp") {
        fs::path own = p.parent_path() / (stem + ".h"), priv = p.parent_path() / (stem + "_p.h");
        if (!fs::exists(own) && !fs::exists(priv)) offenders.push_back(name + ": no header of its own");
        continue;
      }
      if (p.extension() != ".h" || stem.ends_with("_p")) continue;
      ++headers;
      bool listed = std::find(headerOnly.begin(), headerOnly.end(), name) != headerOnly.end();
      if (!listed && !fs::exists(p.parent_path() / (stem + ".cpp"))) offenders.push_back(name + ": no source of its own");
      std::string text = ReadFile(p);
      std::string opening;
      std::istringstream lines(text);
      std::string line;
      std::getline(lines, line);  // #pragma once
      while (std::getline(lines, line) && line.rfind("//", 0) == 0) opening += line + "\n";
      for (auto it = std::sregex_iterator(text.begin(), text.end(), declared); it != std::sregex_iterator(); ++it)
        if (!std::regex_search(opening, std::regex("\\b" + (*it)[1].str() + "\\b")))
          offenders.push_back(name + ": its opening comment does not name " + (*it)[1].str());
    }
  }
  EXPECT_GT(headers, 80);
  EXPECT_TRUE(offenders.empty()) << Join(offenders);
}
