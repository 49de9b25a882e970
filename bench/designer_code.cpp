// The designer's code editor on a 5,000-line PascalScript of about 200 KB:
// (a) Rehighlight against a plain std::string build of the CR LF text plus one hand-written
//     pass classifying comments, strings, numbers and words (aim <= 8 x);
// (b) one character typed at line 2,500 (ReplaceSelection, Rehighlight and the paint of the
//     view) against the same baseline (aim <= 10 x);
// (c) painting a view of 60 lines by 120 columns against bare QPainter drawing the same runs
//     in the same fonts (aim <= 2 x).
#include "BenchUtil.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "gui/Application.h"
#include "gui/Canvas.h"
#include "gui/Forms.h"
#include "gui/Pictures.h"
#include "report/designer/frxSynMemo.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kLines = 5000;
constexpr int kViewLines = 60;
constexpr int kViewColumns = 120;

// A deterministic script: procedures with statements, comments, strings and numbers.
const std::vector<std::string>& Script() {
  static const std::vector<std::string> lines = [] {
    std::vector<std::string> r;
    unsigned seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    for (int i = 0; r.size() < static_cast<std::size_t>(kLines) - 3; ++i) {
      if (i % 12 == 0) {
        r.push_back("procedure Memo" + std::to_string(i) + "OnBeforePrint(Sender: TfrxComponent);");
        r.push_back("begin");
        continue;
      }
      switch (next() % 5) {
        case 0: r.push_back("  // total of the group " + std::to_string(next()) + ", kept for the footer"); break;
        case 1: r.push_back("  Memo1.Text := 'Amount: ' + FormatFloat('#,##0.00', " + std::to_string(next()) + ");"); break;
        case 2: r.push_back("  if Value > $" + std::to_string(next() % 9000 + 1000) + " then Total := Total + 1.5;"); break;
        case 3: r.push_back("  { a block comment about line " + std::to_string(i) + " }  Count := Count + 1;"); break;
        default: r.push_back("  for I := 0 to " + std::to_string(next() % 100) + " do Sum := Sum + I * 2;"); break;
      }
      if (i % 12 == 11) r.push_back("end;");
    }
    r.push_back("begin");
    r.push_back("  ShowMessage('done');");
    r.push_back("end.");
    return r;
  }();
  return lines;
}

bool IsWordStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsWordChar(char c) { return IsWordStart(c) || (c >= '0' && c <= '9'); }

const std::vector<std::string>& Keywords() {
  static const std::vector<std::string> words = [] {
    std::vector<std::string> w{"and",   "array", "begin", "break", "case",      "const", "continue", "div",
                               "do",    "downto", "else", "end",   "except",    "exit",  "finally",  "for",
                               "function", "goto", "if",  "in",    "is",        "label", "mod",      "not",
                               "of",    "or",    "procedure", "program", "repeat", "shl", "shr",     "then",
                               "to",    "try",   "until", "uses",  "var",       "while", "with",     "xor"};
    std::sort(w.begin(), w.end());
    return w;
  }();
  return words;
}

// The baseline: the CR LF text and a kind per byte from one pass over it.
std::string PlainClassify(const std::vector<std::string>& Lines) {
  std::string text;
  for (std::size_t i = 0; i < Lines.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += Lines[i];
  }
  std::string kinds(text.size(), static_cast<char>(ckText));
  const std::size_t n = text.size();
  std::string word;
  for (std::size_t i = 0; i < n;) {
    const char c = text[i];
    std::size_t j = i + 1;
    char kind = ckText;
    if (c == ' ' || c == '\r' || c == '\n') {
      kind = ckComment;
    } else if (c == '/' && i + 1 < n && text[i + 1] == '/') {
      while (j < n && text[j] != '\r') ++j;
      kind = ckComment;
    } else if (c == '{') {
      while (j < n && text[j] != '}') ++j;
      j = std::min(n, j + 1);
      kind = ckComment;
    } else if (c == '\'') {
      while (j < n && text[j] != '\'') ++j;
      j = std::min(n, j + 1);
      kind = ckString;
    } else if ((c >= '0' && c <= '9') || c == '$') {
      while (j < n && (IsWordChar(text[j]) || text[j] == '.')) ++j;
      kind = ckNumber;
    } else if (IsWordStart(c)) {
      while (j < n && IsWordChar(text[j])) ++j;
      word.assign(text, i, j - i);
      for (char& ch : word) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
      kind = std::binary_search(Keywords().begin(), Keywords().end(), word) ? ckKeyword : ckText;
    }
    std::fill(kinds.begin() + static_cast<std::ptrdiff_t>(i), kinds.begin() + static_cast<std::ptrdiff_t>(j), kind);
    i = j;
  }
  return kinds;
}

// The editor in a shown form, sized to a view of 60 lines by 120 columns, holding the script.
struct TEditor {
  TForm* Form;
  TfrxSyntaxMemo* Memo;
  TEditor() {
    Form = new TForm(nullptr);
    Form->SetBounds(0, 0, 1400, 1100);
    Memo = new TfrxSyntaxMemo(Form);
    Memo->SetParent(Form);
    Memo->SetBounds(0, 0, 1200, 1000);
    Form->Show();
    Application->ProcessMessages();
    Memo->SetLanguageName("PascalScript");
    TStringList list;
    for (const std::string& l : Script()) list.Add(l);
    Memo->SetLines(&list);
    // The bars come and go with the size, so the view is fitted in a few steps.
    for (int i = 0; i < 4; ++i) {
      Memo->SetBounds(0, 0, Memo->Width() + (kViewColumns - Memo->VisibleColumns()) * Memo->CharWidth(),
                      Memo->Height() + (kViewLines - Memo->VisibleLines()) * Memo->LineHeight());
      Application->ProcessMessages();
    }
  }
  ~TEditor() { delete Form; }
};

TEditor& Editor() {
  static TEditor* e = new TEditor();
  return *e;
}

void BM_Rehighlight(benchmark::State& state) {
  TfrxSyntaxMemo* memo = Editor().Memo;
  for (auto _ : state) memo->Rehighlight();
  benchmark::DoNotOptimize(memo->AttrLine(2500));
  std::size_t bytes = 0;
  for (const std::string& l : Script()) bytes += l.size() + 2;
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_Rehighlight)->Unit(benchmark::kMillisecond);

void BM_PlainClassify(benchmark::State& state) {
  const std::vector<std::string>& lines = Script();
  for (auto _ : state) benchmark::DoNotOptimize(PlainClassify(lines));
}
BENCHMARK(BM_PlainClassify)->Unit(benchmark::kMillisecond);

void BM_TypeCharacter(benchmark::State& state) {
  TfrxSyntaxMemo* memo = Editor().Memo;
  TBitmap view;
  view.SetSize(memo->ClientWidth(), memo->ClientHeight());
  memo->MoveCaretTo(5, 2500);
  for (auto _ : state) {
    memo->ReplaceSelection("x");
    memo->PaintOn(view.Canvas());
  }
  benchmark::DoNotOptimize(memo->Line(2499));
}
BENCHMARK(BM_TypeCharacter)->Unit(benchmark::kMillisecond);

void BM_PaintView(benchmark::State& state) {
  TfrxSyntaxMemo* memo = Editor().Memo;
  memo->MoveCaretTo(1, 2500 + kViewLines);
  TBitmap view;
  view.SetSize(memo->ClientWidth(), memo->ClientHeight());
  for (auto _ : state) memo->PaintOn(view.Canvas());
  state.counters["lines"] = memo->VisibleLines();
  state.counters["columns"] = memo->VisibleColumns();
}
BENCHMARK(BM_PaintView)->Unit(benchmark::kMillisecond);

// The same runs drawn with QPainter: per line, a background fill and the text of each run of
// one kind in its font and colour.
void BM_QPainterRuns(benchmark::State& state) {
  TfrxSyntaxMemo* memo = Editor().Memo;
  memo->MoveCaretTo(1, 2500 + kViewLines);
  struct TRun {
    int X, Y, Kind;
    QString Text;
  };
  std::vector<TRun> runs;
  const int cw = memo->CharWidth(), lh = memo->LineHeight(), g = memo->GutterWidth();
  for (int line = memo->TopOffset(); line < memo->TopOffset() + memo->VisibleLines(); ++line) {
    const std::u32string text = Utf8ToUtf32(memo->Line(line));
    const std::string kinds = memo->AttrLine(line);
    const int last = std::min<int>(static_cast<int>(text.size()), memo->LeftOffset() + memo->VisibleColumns());
    for (int c = memo->LeftOffset(); c < last;) {
      int e = c + 1;
      while (e < last && kinds[e] == kinds[c]) ++e;
      runs.push_back({g + (c - memo->LeftOffset()) * cw, (line - memo->TopOffset()) * lh, kinds[c],
                      QString::fromStdU32String(text.substr(c, e - c))});
      c = e;
    }
  }
  QFont fonts[7];
  QColor colors[7];
  for (int k = 0; k < 7; ++k) {
    fonts[k].setFamily("Liberation Mono");
    fonts[k].setPixelSize(13);
    fonts[k].setBold(k == ckKeyword);
    fonts[k].setItalic(k == ckComment);
    fonts[k].setKerning(false);
    colors[k] = k == ckComment || k == ckString ? QColor(0, 0, 128) : k == ckNumber ? QColor(0, 128, 0) : Qt::black;
  }
  const int ascent = QFontMetrics(fonts[ckKeyword]).ascent();
  QImage image(memo->ClientWidth(), memo->ClientHeight(), QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter p(&image);
    p.fillRect(image.rect(), Qt::white);
    p.fillRect(QRect(0, 0, g - 2, image.height()), QColor(0xD4, 0xD0, 0xC8));
    for (const TRun& r : runs) {
      p.fillRect(QRect(r.X, r.Y, static_cast<int>(r.Text.size()) * cw, lh), Qt::white);
      p.setFont(fonts[r.Kind]);
      p.setPen(colors[r.Kind]);
      p.drawText(QPoint(r.X, r.Y + ascent), r.Text);
    }
  }
  state.counters["runs"] = static_cast<double>(runs.size());
}
BENCHMARK(BM_QPainterRuns)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\n");
    bench::PrintRatioRows(times, {
        {"Rehighlight of 5,000 lines against a plain build and classifying pass", "BM_Rehighlight",
         "BM_PlainClassify", 8.0},
        {"one character typed at line 2,500 (replace, rehighlight, paint) against the same pass",
         "BM_TypeCharacter", "BM_PlainClassify", 10.0},
        {"painting a 60 x 120 view against bare QPainter runs", "BM_PaintView", "BM_QPainterRuns", 2.0},
    });
  });
}
