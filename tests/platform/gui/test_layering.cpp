// The public headers of the GUI layer name no Qt class: the rest of the system compiles
// without Qt, a private dependency of the layer; only the private headers (_p.h) see it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

TEST(Layering, PublicHeadersNameNoQtClass) {
  const std::regex qt(R"(\bQ[A-Z][A-Za-z]+\b|#\s*include\s*<Q)");
  const std::regex comment(R"(//[^\n]*)");
  std::vector<std::string> offenders;
  int scanned = 0;
  for (const auto& entry : std::filesystem::directory_iterator(KELM_GUI_SOURCE_DIR)) {
    std::string name = entry.path().filename().string();
    if (entry.path().extension() != ".h" || name.ends_with("_p.h")) continue;
    std::ifstream in(entry.path());
    std::stringstream text;
    text << in.rdbuf();
    std::string code = std::regex_replace(text.str(), comment, "");
    std::smatch m;
    if (std::regex_search(code, m, qt)) offenders.push_back(name + ": " + m.str());
    ++scanned;
  }
  EXPECT_GT(scanned, 30) << "the headers were found";
  std::string list;
  for (const auto& o : offenders) list += o + "\n";
  EXPECT_TRUE(offenders.empty()) << list;
}
