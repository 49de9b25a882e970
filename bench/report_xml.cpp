// The report library's element tree against what a caller could use instead, on a prepared
// report's shape: 1,000 unloadable pages of 49 objects, 50,000 elements of 20 attributes.
// - ReadFromStream against QXmlStreamReader visiting every element and attribute (aim <= 2 x);
// - WriteToStream against QXmlStreamWriter writing the same tree (aim <= 2 x);
// - AttrValue of each element's last attribute against std::string::find on the same text
//   (aim <= 3 x);
// - SwapOut and SwapIn of the 1,000 pages against the same bytes written to and read back from
//   a bare std::FILE (aim <= 3 x); the swap file's size is printed.
#include "BenchUtil.h"
#include "core/FileUtils.h"
#include "core/Streams.h"
#include "core/SysUtils.h"
#include "report/frxXML.h"

#include <QByteArray>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int kPages = 1000;
constexpr int kObjectsPerPage = 49;
constexpr int kAttributes = 20;

String AttributeText(int Element) {
  String s;
  for (int a = 0; a < kAttributes; ++a) {
    if (a) s += ' ';
    s += "a" + IntToStr(a) + "=\"" + IntToStr(Element * 31 + a) + "\"";
  }
  return s;
}

void BuildTree(TfrxXMLDocument& Doc) {
  TfrxXMLItem* root = Doc.Root();
  root->SetName("preparedreport");
  int element = 0;
  for (int p = 0; p < kPages; ++p) {
    TfrxXMLItem* page = root->AddChild();
    page->SetName("page" + IntToStr(p));
    page->SetText(AttributeText(element++));
    page->SetUnloadable(true);
    for (int o = 0; o < kObjectsPerPage; ++o) {
      TfrxXMLItem* obj = page->AddChild();
      obj->SetName("TfrxMemoView");
      obj->SetText(AttributeText(element++));
    }
  }
}

const String& DocumentText() {
  static String text = [] {
    TfrxXMLDocument doc;
    BuildTree(doc);
    TStringStream s;
    doc.WriteToStream(&s);
    return s.DataString();
  }();
  return text;
}

void BM_FrxXmlRead(benchmark::State& state) {
  const String& text = DocumentText();
  for (auto _ : state) {
    TStringStream s(text);
    TfrxXMLDocument doc;
    doc.ReadFromStream(&s, false);
    benchmark::DoNotOptimize(doc.Root()->ChildCount());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_FrxXmlRead)->Unit(benchmark::kMillisecond);

void BM_QtXmlRead(benchmark::State& state) {
  QByteArray bytes = QByteArray::fromStdString(DocumentText());
  for (auto _ : state) {
    QXmlStreamReader r(bytes);
    qsizetype elements = 0, attrs = 0;
    while (!r.atEnd()) {
      if (r.readNext() == QXmlStreamReader::StartElement) {
        ++elements;
        for (const QXmlStreamAttribute& a : r.attributes()) attrs += a.value().size();
        benchmark::DoNotOptimize(r.name().size());
      }
    }
    benchmark::DoNotOptimize(elements + attrs);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_QtXmlRead)->Unit(benchmark::kMillisecond);

void BM_FrxXmlWrite(benchmark::State& state) {
  TfrxXMLDocument doc;
  BuildTree(doc);
  for (auto _ : state) {
    TMemoryStream s;
    doc.WriteToStream(&s);
    benchmark::DoNotOptimize(s.Size());
  }
}
BENCHMARK(BM_FrxXmlWrite)->Unit(benchmark::kMillisecond);

void BM_QtXmlWrite(benchmark::State& state) {
  // The attribute names and values as Qt strings up front, as a program holding them would.
  std::vector<QString> names, values;
  for (int a = 0; a < kAttributes; ++a) names.push_back(QStringLiteral("a%1").arg(a));
  for (int e = 0; e < kPages * (kObjectsPerPage + 1); ++e)
    for (int a = 0; a < kAttributes; ++a) values.push_back(QString::number(e * 31 + a));
  for (auto _ : state) {
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("preparedreport"));
    std::size_t v = 0;
    for (int p = 0; p < kPages; ++p) {
      w.writeStartElement(QStringLiteral("page%1").arg(p));
      for (int a = 0; a < kAttributes; ++a) w.writeAttribute(names[a], values[v++]);
      for (int o = 0; o < kObjectsPerPage; ++o) {
        w.writeStartElement(QStringLiteral("TfrxMemoView"));
        for (int a = 0; a < kAttributes; ++a) w.writeAttribute(names[a], values[v++]);
        w.writeEndElement();
      }
      w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndDocument();
    benchmark::DoNotOptimize(out.size());
  }
}
BENCHMARK(BM_QtXmlWrite)->Unit(benchmark::kMillisecond);

void BM_FrxAttrValue(benchmark::State& state) {
  TfrxXMLDocument doc;
  BuildTree(doc);
  std::vector<TfrxXMLItem*> items;
  for (int p = 0; p < doc.Root()->ChildCount(); ++p) {
    TfrxXMLItem* page = doc.Root()->ChildAt(p);
    items.push_back(page);
    for (int o = 0; o < page->ChildCount(); ++o) items.push_back(page->ChildAt(o));
  }
  for (auto _ : state) {
    std::size_t total = 0;
    for (TfrxXMLItem* item : items) total += item->AttrValue("a19").size();
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_FrxAttrValue)->Unit(benchmark::kMillisecond);

void BM_StdFindAttr(benchmark::State& state) {
  std::vector<String> texts;
  for (int e = 0; e < kPages * (kObjectsPerPage + 1); ++e) texts.push_back(AttributeText(e));
  for (auto _ : state) {
    std::size_t total = 0;
    for (const String& t : texts) {
      std::size_t at = t.find(" a19=\"");
      if (at == String::npos) continue;
      std::size_t from = at + 6, to = t.find('"', from);
      total += String(t, from, to - from).size();
    }
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_StdFindAttr)->Unit(benchmark::kMillisecond);

Int64 gSwapFileSize = 0;

void BM_FrxSwap(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto doc = std::make_unique<TfrxXMLDocument>();
    BuildTree(*doc);
    state.ResumeTiming();
    TfrxXMLItem* root = doc->Root();
    for (int p = 0; p < root->ChildCount(); ++p) doc->SwapOut(root->ChildAt(p));
    for (int p = 0; p < root->ChildCount(); ++p) doc->SwapIn(root->ChildAt(p));
    state.PauseTiming();
    gSwapFileSize = FileSize(doc->SwapFileName());
    doc.reset();
    state.ResumeTiming();
  }
  state.counters["swap_file_bytes"] = static_cast<double>(gSwapFileSize);
}
BENCHMARK(BM_FrxSwap)->Unit(benchmark::kMillisecond);

void BM_StdFileSwap(benchmark::State& state) {
  // The pages' bytes as the swap file holds them, written and read back by offset.
  std::vector<String> pages;
  {
    TfrxXMLDocument doc;
    BuildTree(doc);
    for (int p = 0; p < doc.Root()->ChildCount(); ++p) {
      TStringStream s;
      TfrxXMLWriter w(&s);
      w.WriteTree(doc.Root()->ChildAt(p));
      pages.push_back(s.DataString());
    }
  }
  std::vector<long> offsets(pages.size());
  String buffer;
  for (auto _ : state) {
    std::FILE* f = std::tmpfile();
    for (std::size_t p = 0; p < pages.size(); ++p) {
      std::fseek(f, 0, SEEK_END);
      offsets[p] = std::ftell(f);
      std::fwrite(pages[p].data(), 1, pages[p].size(), f);
    }
    std::size_t total = 0;
    for (std::size_t p = 0; p < pages.size(); ++p) {
      buffer.resize(pages[p].size());
      std::fseek(f, offsets[p], SEEK_SET);
      total += std::fread(buffer.data(), 1, buffer.size(), f);
    }
    std::fclose(f);
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_StdFileSwap)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\n");
    bench::PrintRatioRows(times, {
        {"ReadFromStream 50,000 elements against QXmlStreamReader", "BM_FrxXmlRead", "BM_QtXmlRead", 2.0},
        {"WriteToStream 50,000 elements against QXmlStreamWriter", "BM_FrxXmlWrite", "BM_QtXmlWrite", 2.0},
        {"AttrValue of the last attribute against std::string::find", "BM_FrxAttrValue", "BM_StdFindAttr", 3.0},
        {"SwapOut+SwapIn of 1,000 pages against a bare std::FILE", "BM_FrxSwap", "BM_StdFileSwap", 3.0},
    });
    if (gSwapFileSize > 0) std::printf("swap file after swapping 1,000 pages: %lld bytes\n", static_cast<long long>(gSwapFileSize));
  });
}
