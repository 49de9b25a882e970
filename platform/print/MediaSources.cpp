#include "print/MediaSources.h"

#include <cups/cups.h>

#include <algorithm>

namespace {

struct TSourceBin {
  const char* Keyword;
  short Number;
};

// Sources that name what a classic bin number means.
constexpr TSourceBin kClassicBins[] = {
    {"auto", DMBIN_AUTO},         {"top", DMBIN_UPPER},         {"main", DMBIN_UPPER},
    {"bottom", DMBIN_LOWER},      {"middle", DMBIN_MIDDLE},     {"manual", DMBIN_MANUAL},
    {"by-pass-tray", DMBIN_MANUAL}, {"envelope", DMBIN_ENVELOPE}, {"large-capacity", DMBIN_LARGECAPACITY},
};

}  // namespace

std::vector<TPrintBin> BinsOfMediaSources(const std::vector<String>& Sources) {
  std::vector<TPrintBin> bins;
  short user = DMBIN_USER;
  auto taken = [&](short n) {
    return std::any_of(bins.begin(), bins.end(), [n](const TPrintBin& b) { return b.Number == n; });
  };
  for (const String& s : Sources) {
    if (s.empty() || std::any_of(bins.begin(), bins.end(), [&](const TPrintBin& b) { return b.Name == s; })) continue;
    short number = 0;
    for (const TSourceBin& c : kClassicBins)
      if (s == c.Keyword && !taken(c.Number)) number = c.Number;
    if (!number) number = user++;
    bins.push_back({number, s});
  }
  return bins;
}

std::vector<String> PrinterMediaSources(const String& Printer) {
  std::vector<String> out;
  if (Printer.empty()) return out;
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, Printer.c_str(), nullptr);
  if (!dest) return out;
  if (cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
    if (ipp_attribute_t* a = cupsFindDestSupported(CUPS_HTTP_DEFAULT, dest, info, "media-source")) {
      for (int i = 0, n = ippGetCount(a); i < n; ++i)
        if (const char* v = ippGetString(a, i, nullptr)) out.emplace_back(v);
    }
    cupsFreeDestInfo(info);
  }
  cupsFreeDests(1, dest);
  return out;
}
