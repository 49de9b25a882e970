// The script engine's core against what a caller could use instead:
// - loading and saving a 1 MB tag-only document with the script XML tree against Qt's
//   streaming reader and writer (aim <= 2 x each);
// - 1,000,000 name lookups in a script of 3,000 names against a std::map keyed by the same
//   upper-case fold (aim <= 1.5 x).
#include "BenchUtil.h"
#include "script/fs_iinterpreter.h"
#include "script/fs_xml.h"
#include "core/StrUtils.h"
#include "core/Streams.h"
#include "core/SysUtils.h"

#include <QByteArray>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>

namespace {

// ---------------------------------------------------------------- the document

// An intermediate program's shape: statements holding expressions holding operands, each with
// a text and a position attribute.
struct TNode {
  String Name;
  String Text;   // escaped, as stored in the tree
  String Value;  // the attribute's value, for the writer
  String Pos;
  int Depth;
};

const std::vector<TNode>& Nodes() {
  static std::vector<TNode> nodes = [] {
    std::vector<TNode> v;
    std::size_t size = 0;
    for (int i = 0; size < 1024 * 1024; ++i) {
      const char* names[] = {"statement", "expr", "operand"};
      for (int d = 0; d < 3; ++d) {
        TNode n{names[d], "", "name" + IntToStr(i) + "_" + IntToStr(d), IntToStr(i) + ":" + IntToStr(d + 1), d};
        n.Text = "text=\"" + n.Value + "\" pos=\"" + n.Pos + "\"";
        size += n.Name.size() * 2 + n.Text.size() + 6;
        v.push_back(n);
      }
    }
    return v;
  }();
  return nodes;
}

void BuildTree(TfsXMLItem* Root) {
  Root->SetName("program");
  TfsXMLItem* parents[3] = {Root, nullptr, nullptr};
  for (const TNode& n : Nodes()) {
    TfsXMLItem* item = parents[n.Depth]->Add();
    item->SetName(n.Name);
    item->SetText(n.Text);
    if (n.Depth < 2) parents[n.Depth + 1] = item;
  }
}

const String& DocumentText() {
  static String text = [] {
    TfsXMLDocument doc;
    BuildTree(doc.Root());
    TStringStream s;
    doc.SaveToStream(&s);
    return s.DataString();
  }();
  return text;
}

void BM_FsXmlLoad(benchmark::State& state) {
  const String& text = DocumentText();
  for (auto _ : state) {
    TStringStream s(text);
    TfsXMLDocument doc;
    doc.LoadFromStream(&s);
    benchmark::DoNotOptimize(doc.Root()->Count());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_FsXmlLoad)->Unit(benchmark::kMillisecond);

void BM_QtXmlRead(benchmark::State& state) {
  QByteArray bytes = QByteArray::fromStdString(DocumentText());
  for (auto _ : state) {
    QXmlStreamReader r(bytes);
    qsizetype elements = 0, attrs = 0;
    while (!r.atEnd()) {
      if (r.readNext() == QXmlStreamReader::StartElement) {
        ++elements;
        attrs += r.attributes().size();
        benchmark::DoNotOptimize(r.name().size());
      }
    }
    benchmark::DoNotOptimize(elements + attrs);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_QtXmlRead)->Unit(benchmark::kMillisecond);

void BM_FsXmlSave(benchmark::State& state) {
  TfsXMLDocument doc;
  BuildTree(doc.Root());
  for (auto _ : state) {
    TMemoryStream s;
    doc.SaveToStream(&s);
    benchmark::DoNotOptimize(s.Size());
  }
}
BENCHMARK(BM_FsXmlSave)->Unit(benchmark::kMillisecond);

void BM_QtXmlWrite(benchmark::State& state) {
  const std::vector<TNode>& nodes = Nodes();
  for (auto _ : state) {
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("program"));
    int depth = 0;
    for (const TNode& n : nodes) {
      for (; depth > n.Depth; --depth) w.writeEndElement();
      w.writeStartElement(QString::fromStdString(n.Name));
      w.writeAttribute(QStringLiteral("text"), QString::fromStdString(n.Value));
      w.writeAttribute(QStringLiteral("pos"), QString::fromStdString(n.Pos));
      depth = n.Depth + 1;
    }
    for (; depth >= 0; --depth) w.writeEndElement();
    w.writeEndDocument();
    benchmark::DoNotOptimize(out.size());
  }
}
BENCHMARK(BM_QtXmlWrite)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- name lookup

constexpr int kNames = 3000;
constexpr int kLookups = 1000000;

String NameOf(int i) { return (i % 2 ? "Var" : "func") + IntToStr(i * 7919 % 100003) + "_Item"; }

// The lookups in mixed case, as source text writes names.
const std::vector<String>& Queries() {
  static std::vector<String> q = [] {
    std::vector<String> v;
    for (int i = 0; i < kNames; ++i) v.push_back(UpperCase(NameOf(i * 13 % kNames)));
    return v;
  }();
  return q;
}

void BM_ScriptLookupName(benchmark::State& state) {
  TfsScript s(nullptr);
  for (int i = 0; i < kNames; ++i) s.RegisterVariable(NameOf(i), "Integer", Variant(i));
  const std::vector<String>& q = Queries();
  for (auto _ : state) {
    std::size_t found = 0;
    for (int i = 0; i < kLookups; ++i) found += s.LookupName(q[i % kNames]) != nullptr;
    benchmark::DoNotOptimize(found);
  }
}
BENCHMARK(BM_ScriptLookupName)->Unit(benchmark::kMillisecond);

// The same fold: ASCII upper case into a reused buffer.
std::string_view Fold(const String& Name, String& Buffer) {
  Buffer.resize(Name.size());
  for (std::size_t i = 0; i < Name.size(); ++i) {
    char c = Name[i];
    Buffer[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
  }
  return Buffer;
}

void BM_StdMapLookup(benchmark::State& state) {
  std::vector<std::unique_ptr<TObject>> objects;
  std::map<String, TObject*, std::less<>> map;
  String buffer;
  for (int i = 0; i < kNames; ++i) {
    objects.push_back(std::make_unique<TObject>());
    map.emplace(String(Fold(NameOf(i), buffer)), objects.back().get());
  }
  const std::vector<String>& q = Queries();
  for (auto _ : state) {
    std::size_t found = 0;
    for (int i = 0; i < kLookups; ++i) found += map.find(Fold(q[i % kNames], buffer)) != map.end();
    benchmark::DoNotOptimize(found);
  }
}
BENCHMARK(BM_StdMapLookup)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    bench::PrintRatioRows(times, {
        {"load 1 MB document against QXmlStreamReader", "BM_FsXmlLoad", "BM_QtXmlRead", 2.0},
        {"save 1 MB document against QXmlStreamWriter", "BM_FsXmlSave", "BM_QtXmlWrite", 2.0},
        {"10^6 LookupName over 3,000 names against std::map", "BM_ScriptLookupName", "BM_StdMapLookup", 1.5},
    });
  });
}
