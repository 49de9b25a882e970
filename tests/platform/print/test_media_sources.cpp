// Printer bins from the print system's media sources: numbering and the query itself.
#include "print/MediaSources.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(MediaSources, SourcesBecomeBinsWithClassicNumbersWhereTheyHaveOneAndUserNumbersOtherwise) {
  struct Case {
    std::vector<String> Sources;
    std::vector<std::pair<short, String>> Bins;
  };
  const Case cases[] = {
      {{}, {}},
      {{"auto"}, {{DMBIN_AUTO, "auto"}}},
      {{"auto", "main", "manual", "tray-2", "tray-3"},
       {{DMBIN_AUTO, "auto"}, {DMBIN_UPPER, "main"}, {DMBIN_MANUAL, "manual"}, {DMBIN_USER, "tray-2"},
        {DMBIN_USER + 1, "tray-3"}}},
      // A number already given goes to the next source as a user bin; repeated and empty
      // keywords are listed once, or not at all.
      {{"main", "top", "main", "", "by-pass-tray", "manual"},
       {{DMBIN_UPPER, "main"}, {DMBIN_USER, "top"}, {DMBIN_MANUAL, "by-pass-tray"}, {DMBIN_USER + 1, "manual"}}},
      {{"envelope", "large-capacity", "bottom", "middle", "roll-1"},
       {{DMBIN_ENVELOPE, "envelope"}, {DMBIN_LARGECAPACITY, "large-capacity"}, {DMBIN_LOWER, "bottom"},
        {DMBIN_MIDDLE, "middle"}, {DMBIN_USER, "roll-1"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Sources.size() << " sources");
    std::vector<TPrintBin> bins = BinsOfMediaSources(c.Sources);
    ASSERT_EQ(bins.size(), c.Bins.size());
    for (std::size_t i = 0; i < bins.size(); ++i) {
      EXPECT_EQ(bins[i].Number, c.Bins[i].first) << i;
      EXPECT_EQ(bins[i].Name, c.Bins[i].second) << i;
    }
  }
}

TEST(MediaSources, ALongListKeepsEverySourceWithItsOwnNumber) {
  std::vector<String> sources;
  for (int i = 1; i <= 40; ++i) sources.push_back("tray-" + std::to_string(i));
  std::vector<TPrintBin> bins = BinsOfMediaSources(sources);
  ASSERT_EQ(bins.size(), 40u);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(bins[i].Number, DMBIN_USER + i);
}

TEST(MediaSources, APrinterThePrintSystemDoesNotKnowHasNone) {
  EXPECT_TRUE(PrinterMediaSources("").empty());
  EXPECT_TRUE(PrinterMediaSources("kelm-no-such-printer-4711").empty());
}

}  // namespace
