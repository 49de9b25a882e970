#pragma once
// A small reader of the PDF files the PDF printer writes, independent of pdftotext: it inflates
// the page content streams, follows the fonts' ToUnicode maps and gives each page's text, one
// line per text object (BT ... ET). It knows the subset of the format those files use: numbered
// objects, a page tree, Type0 fonts with two-byte codes, Tj and TJ.
#include <zlib.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace pdftest {

class TPdfReader {
public:
  explicit TPdfReader(const std::string& FileName) {
    std::ifstream in(FileName, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + FileName);
    FData.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    ReadObjects();
    ReadFonts();
  }

  // The text of every page in page order.
  std::vector<std::string> Pages() const {
    std::vector<std::string> pages;
    for (int page : PageObjects()) {
      std::string text;
      for (int content : Refs(Value(FObjects.at(page).Dict, "Contents"))) text += ShownText(Stream(content));
      pages.push_back(text);
    }
    return pages;
  }

private:
  struct TObject {
    std::string Dict;    // the object's text up to its stream, if any
    std::string Stream;  // raw stream bytes
  };

  // Objects one after the other, each stream skipped by its length, so bytes inside a stream
  // are never taken for an object's head.
  void ReadObjects() {
    for (std::size_t pos = 0;;) {
      std::size_t mark = FData.find(" 0 obj", pos);
      if (mark == std::string::npos) return;
      std::size_t digits = mark;
      while (digits > 0 && std::isdigit(static_cast<unsigned char>(FData[digits - 1]))) --digits;
      TObject o;
      std::size_t start = mark + 6;
      std::size_t s = FData.find("stream", start), stop = FData.find("endobj", start);
      if (s != std::string::npos && s < stop) {
        o.Dict = FData.substr(start, s - start);
        std::size_t data = s + 6;
        if (FData[data] == '\r') ++data;
        if (FData[data] == '\n') ++data;
        // The length may be an object written after the stream: the stream ends at its
        // keyword instead.
        std::size_t end = FData.find("endstream", data);
        std::size_t last = end;
        if (last > data && FData[last - 1] == '\n') --last;
        if (last > data && FData[last - 1] == '\r') --last;
        o.Stream = FData.substr(data, last - data);
        stop = FData.find("endobj", end);
      } else {
        o.Dict = FData.substr(start, stop - start);
      }
      if (digits < mark) FObjects[std::stoi(FData.substr(digits, mark - digits))] = o;
      pos = stop + 6;
    }
  }

  // The value after /Key in a dictionary's text: a number, a reference's object number as text,
  // or an array's text.
  static std::string Value(const std::string& Dict, const std::string& Key) {
    std::size_t at = Dict.find("/" + Key);
    if (at == std::string::npos) return "";
    std::size_t v = Dict.find_first_not_of(" \r\n", at + Key.size() + 1);
    if (Dict[v] == '[') return Dict.substr(v, Dict.find(']', v) - v + 1);
    return Dict.substr(v, Dict.find_first_of("/>\r\n", v) - v);
  }

  // The object numbers referred to in a value ("7 0 R" or "[7 0 R 9 0 R]").
  static std::vector<int> Refs(const std::string& Text) {
    static const std::regex ref(R"((\d+) 0 R)");
    std::vector<int> out;
    for (std::sregex_iterator it(Text.begin(), Text.end(), ref), end; it != end; ++it) out.push_back(std::stoi((*it)[1]));
    return out;
  }

  std::string Stream(int Object) const {
    const TObject& o = FObjects.at(Object);
    if (o.Dict.find("/FlateDecode") == std::string::npos) return o.Stream;
    std::string out(o.Stream.size() * 8 + 1024, '\0');
    for (;;) {
      uLongf size = uLongf(out.size());
      int rc = uncompress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(o.Stream.data()),
                          uLong(o.Stream.size()));
      if (rc == Z_BUF_ERROR) {
        out.resize(out.size() * 2);
        continue;
      }
      if (rc != Z_OK) throw std::runtime_error("a stream does not inflate");
      out.resize(size);
      return out;
    }
  }

  // The pages in the order of the page tree's kids.
  std::vector<int> PageObjects() const {
    std::vector<int> pages;
    for (const auto& [number, o] : FObjects)
      if (o.Dict.find("/Type /Pages") != std::string::npos) CollectPages(number, pages);
    return pages;
  }
  void CollectPages(int Node, std::vector<int>& Out) const {
    const std::string& dict = FObjects.at(Node).Dict;
    if (dict.find("/Type /Pages") == std::string::npos) {
      Out.push_back(Node);
      return;
    }
    for (int kid : Refs(Value(dict, "Kids"))) CollectPages(kid, Out);
  }

  // Font resource names (F7) to the code-to-text maps of their ToUnicode streams.
  void ReadFonts() {
    static const std::regex entry(R"(/(F\d+) (\d+) 0 R)");
    for (const auto& [number, o] : FObjects) {
      std::size_t fonts = o.Dict.find("/Font");
      if (fonts == std::string::npos || o.Dict.find("/Type /Font") != std::string::npos) continue;
      std::string resources = o.Dict.substr(fonts, o.Dict.find(">>", fonts) - fonts);
      for (std::sregex_iterator it(resources.begin(), resources.end(), entry), end; it != end; ++it) {
        std::vector<int> map = Refs(Value(FObjects.at(std::stoi((*it)[2])).Dict, "ToUnicode"));
        if (!map.empty()) FFonts[(*it)[1]] = ReadCMap(Stream(map[0]));
      }
    }
  }

  static std::map<unsigned, std::string> ReadCMap(const std::string& CMap) {
    std::map<unsigned, std::string> codes;
    static const std::regex range(R"(<([0-9A-Fa-f]+)>\s*<([0-9A-Fa-f]+)>\s*(<[0-9A-Fa-f]+>|\[[^\]]*\]))");
    static const std::regex single(R"(<([0-9A-Fa-f]+)>\s*<([0-9A-Fa-f]+)>)");
    static const std::regex hex(R"(<([0-9A-Fa-f]+)>)");
    auto section = [&](const std::string& Begin, const std::string& End, auto Each) {
      for (std::size_t at = 0; (at = CMap.find(Begin, at)) != std::string::npos;) {
        std::size_t stop = CMap.find(End, at);
        std::string part = CMap.substr(at + Begin.size(), stop - at - Begin.size());
        Each(part);
        at = stop;
      }
    };
    section("beginbfrange", "endbfrange", [&](const std::string& Part) {
      for (std::sregex_iterator it(Part.begin(), Part.end(), range), end; it != end; ++it) {
        unsigned lo = std::stoul((*it)[1], nullptr, 16), hi = std::stoul((*it)[2], nullptr, 16);
        std::string target = (*it)[3];
        if (target[0] == '[') {
          unsigned code = lo;
          for (std::sregex_iterator h(target.begin(), target.end(), hex); h != std::sregex_iterator(); ++h)
            codes[code++] = Utf16Hex((*h)[1]);
        } else {
          std::string first = target.substr(1, target.size() - 2);
          unsigned base = std::stoul(first, nullptr, 16);
          for (unsigned c = lo; c <= hi; ++c) codes[c] = Utf16Hex(Hex4(base + (c - lo)));
        }
      }
    });
    section("beginbfchar", "endbfchar", [&](const std::string& Part) {
      for (std::sregex_iterator it(Part.begin(), Part.end(), single), end; it != end; ++it)
        codes[std::stoul((*it)[1], nullptr, 16)] = Utf16Hex((*it)[2]);
    });
    return codes;
  }

  static std::string Hex4(unsigned V) {
    char b[8];
    std::snprintf(b, sizeof b, "%04X", V);
    return b;
  }

  // UTF-16 code units in hex to UTF-8.
  static std::string Utf16Hex(const std::string& Hex) {
    std::vector<unsigned> units;
    for (std::size_t i = 0; i + 4 <= Hex.size(); i += 4) units.push_back(std::stoul(Hex.substr(i, 4), nullptr, 16));
    std::string out;
    for (std::size_t i = 0; i < units.size(); ++i) {
      std::uint32_t c = units[i];
      if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size()) c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
      if (c < 0x80) {
        out += char(c);
      } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
      } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
      } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
      }
    }
    return out;
  }

  // The text a content stream shows: the codes of its Tj and TJ strings through the current
  // font's map, a line break after each text object. The blank's glyph may stand for any
  // white space (a TAB in the map): it reads as a blank.
  std::string ShownText(const std::string& Content) const {
    static const std::regex token(R"(/(F\d+)\s+[\d.]+\s+Tf|<([0-9A-Fa-f]*)>\s*Tj|\[([^\]]*)\]\s*TJ|\bET\b)");
    static const std::regex hex(R"(<([0-9A-Fa-f]*)>)");
    std::string text;
    const std::map<unsigned, std::string>* font = nullptr;
    auto show = [&](const std::string& Hex) {
      for (std::size_t i = 0; font && i + 4 <= Hex.size(); i += 4) {
        auto at = font->find(std::stoul(Hex.substr(i, 4), nullptr, 16));
        if (at == font->end()) continue;
        text += at->second.size() == 1 && std::isspace(static_cast<unsigned char>(at->second[0])) ? " " : at->second;
      }
    };
    for (std::sregex_iterator it(Content.begin(), Content.end(), token), end; it != end; ++it) {
      const std::smatch& m = *it;
      if (m[1].matched) {
        auto f = FFonts.find(m[1]);
        font = f == FFonts.end() ? nullptr : &f->second;
      } else if (m[2].matched) {
        show(m[2]);
      } else if (m[3].matched) {
        std::string parts = m[3];
        for (std::sregex_iterator h(parts.begin(), parts.end(), hex); h != std::sregex_iterator(); ++h) show((*h)[1]);
      } else if (!text.empty() && text.back() != '\n') {
        text += '\n';
      }
    }
    return text;
  }

  std::string FData;
  std::map<int, TObject> FObjects;
  std::map<std::string, std::map<unsigned, std::string>> FFonts;
};

}  // namespace pdftest
