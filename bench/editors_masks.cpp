// The editor masks against what a program could use instead:
// (a) 100,000 texts fed character by character, with IsComplete, to six mask expressions
//     (date, time, phone, decimal, code, alternation), against std::regex_match of the
//     equivalent anchored patterns on the same texts (and against QRegularExpression);
// (b) "(a|a)*" against "a*", 10,000 characters each: an ambiguous repetition costs no more
//     than a plain one;
// (c) the standard mask's FitText on 100,000 texts against the platform's FormatMaskText with
//     the same masks;
// (d) smart dates: the format controller's date expression with its 19 words matching 100,000
//     date texts (valid, invalid, "今天+3") against the platform's TryStrToDate on the same texts.
// Prints each ratio with its goal.
#include "BenchUtil.h"

#include "core/DateUtils.h"
#include "core/FormatSettings.h"
#include "core/Mask.h"
#include "core/StrUtils.h"
#include "editors/cxFormats.h"
#include "editors/cxRegExpr.h"
#include "editors/cxStandardMask.h"

#include <QRegularExpression>
#include <QString>

#include <cstdio>
#include <memory>
#include <regex>
#include <string>
#include <vector>

namespace {

constexpr int kTexts = 100000;

struct TMaskPair {
  const char* Ours;
  const char* Std;
};

const TMaskPair kExpressions[] = {
    {"\\d\\d?/\\d\\d?/\\d\\d\\d\\d", "\\d\\d?/\\d\\d?/\\d{4}"},
    {"(0?\\d|1\\d|2[0-3]):[0-5]\\d(:[0-5]\\d)?", "(0?\\d|1\\d|2[0-3]):[0-5]\\d(:[0-5]\\d)?"},
    {"'('\\d\\d\\d') '\\d\\d\\d-\\d\\d\\d\\d", "\\(\\d{3}\\) \\d{3}-\\d{4}"},
    {"[+\\-]?\\d+(\\.\\d\\d?)?", "[+-]?\\d+(\\.\\d{1,2})?"},
    {"[A-Z]{2}\\d{4}", "[A-Z]{2}\\d{4}"},
    {"(HT|FP|XM|KH)-\\d+", "(HT|FP|XM|KH)-\\d+"},
};
constexpr int kMasks = static_cast<int>(std::size(kExpressions));

// A text for mask M: most fit it, some break off or go wrong halfway.
std::string SampleText(int M, unsigned I) {
  const unsigned a = I * 2654435761u;
  const auto d = [a](int k) { return static_cast<char>('0' + (a >> (k * 3)) % 10); };
  std::string t;
  switch (M) {
    case 0: t = std::string{d(0), '/', d(1), d(2), '/', '2', '0', d(3), d(4)}; break;
    case 1: t = std::string{'1', d(0), ':', static_cast<char>('0' + (a >> 5) % 6), d(1), ':', '3', d(2)}; break;
    case 2: t = std::string{'(', d(0), d(1), d(2), ')', ' ', d(3), d(4), d(5), '-', d(6), d(7), d(8), d(0)}; break;
    case 3: t = std::string{'-', d(0), d(1), d(2), '.', d(3), d(4)}; break;
    case 4: t = std::string{static_cast<char>('A' + a % 26), static_cast<char>('A' + (a >> 7) % 26), d(1), d(2), d(3), d(4)}; break;
    default: t = std::string((a & 1) ? "HT-" : "XM-") + d(0) + d(1) + d(2) + d(3); break;
  }
  if (I % 7 == 3) t[t.size() / 2] = 'x';  // a wrong character halfway
  if (I % 11 == 5) t.pop_back();          // one short
  return t;
}

struct TSamples {
  std::vector<std::string> Texts[kMasks];
  std::vector<std::u32string> Chars[kMasks];
  std::vector<QString> QTexts[kMasks];
  TSamples() {
    for (unsigned I = 0; I < kTexts; ++I) {
      const int M = static_cast<int>(I % kMasks);
      Texts[M].push_back(SampleText(M, I));
      Chars[M].push_back(Utf8ToUtf32(Texts[M].back()));
      QTexts[M].push_back(QString::fromStdString(Texts[M].back()));
    }
  }
};

const TSamples& Samples() {
  static const TSamples S;
  return S;
}

void UseSlashDates() {
  FormatSettings().DateSeparator = '/';
  FormatSettings().TimeSeparator = ':';
}

// ---------------------------------------------------------------- (a) expressions

void BM_MaskExpressionsFed(benchmark::State& state) {
  UseSlashDates();
  std::unique_ptr<TcxRegExpr> E[kMasks];
  for (int M = 0; M < kMasks; ++M) {
    E[M] = std::make_unique<TcxRegExpr>();
    E[M]->Compile(kExpressions[M].Ours);
  }
  const TSamples& S = Samples();
  int Complete = 0;
  for (auto _ : state) {
    Complete = 0;
    for (int M = 0; M < kMasks; ++M)
      for (const std::u32string& Text : S.Chars[M]) {
        E[M]->Restart();
        bool Taken = true;
        for (char32_t c : Text)
          if (!(Taken = E[M]->Accept(c))) break;
        Complete += Taken && E[M]->IsComplete();
      }
  }
  state.counters["complete"] = Complete;
}

void BM_StdRegexMatch(benchmark::State& state) {
  std::regex R[kMasks];
  for (int M = 0; M < kMasks; ++M) R[M] = std::regex(kExpressions[M].Std);
  const TSamples& S = Samples();
  int Complete = 0;
  for (auto _ : state) {
    Complete = 0;
    for (int M = 0; M < kMasks; ++M)
      for (const std::string& Text : S.Texts[M]) Complete += std::regex_match(Text, R[M]);
  }
  state.counters["complete"] = Complete;
}

void BM_QRegularExpressionMatch(benchmark::State& state) {
  QRegularExpression R[kMasks];
  for (int M = 0; M < kMasks; ++M) {
    R[M].setPattern(QRegularExpression::anchoredPattern(QString::fromLatin1(kExpressions[M].Std)));
    R[M].optimize();
  }
  const TSamples& S = Samples();
  int Complete = 0;
  for (auto _ : state) {
    Complete = 0;
    for (int M = 0; M < kMasks; ++M)
      for (const QString& Text : S.QTexts[M]) Complete += R[M].match(Text).hasMatch();
  }
  state.counters["complete"] = Complete;
}

// ---------------------------------------------------------------- (b) ambiguous repetition

void FeedRepeated(benchmark::State& state, const char* Source) {
  TcxRegExpr E;
  E.Compile(Source);
  bool Complete = false;
  for (auto _ : state) {
    E.Restart();
    for (int I = 0; I < 10000; ++I) {
      char32_t c = U'a';
      E.Accept(c);
    }
    Complete = E.IsComplete();
  }
  if (!Complete) state.SkipWithError("not complete");
}

void BM_AmbiguousRepetition(benchmark::State& state) { FeedRepeated(state, "(a|a)*"); }
void BM_PlainRepetition(benchmark::State& state) { FeedRepeated(state, "a*"); }

// ---------------------------------------------------------------- (c) standard masks

const char* const kStandardMasks[] = {"!99/99/0000;1;_", "(999) 000-0000;0;_", ">LL0000;1;_", "90:00;1;_"};
constexpr int kStandard = static_cast<int>(std::size(kStandardMasks));

std::vector<std::string> StandardTexts(int M) {
  std::vector<std::string> Result;
  for (unsigned I = static_cast<unsigned>(M); I < kTexts; I += kStandard) {
    const unsigned a = I * 2654435761u;
    const auto d = [a](int k) { return static_cast<char>('0' + (a >> (k * 3)) % 10); };
    switch (M) {
      case 0: Result.push_back(std::string{d(0), d(1), '/', d(2), d(3), '/', '2', '0', d(4), d(5)}); break;
      case 1: Result.push_back(std::string{d(0), d(1), d(2), d(3), d(4), d(5), d(6), d(7), d(8), d(0)}); break;
      case 2: Result.push_back(std::string{static_cast<char>('a' + a % 26), 'k', d(1), d(2), d(3), d(4)}); break;
      default: Result.push_back(std::string{d(0), d(1), ':', d(2), d(3)}); break;
    }
  }
  return Result;
}

void BM_StandardFitText(benchmark::State& state) {
  UseSlashDates();
  TcxStandardMask Masks[kStandard];
  std::vector<std::string> Texts[kStandard];
  for (int M = 0; M < kStandard; ++M) {
    Masks[M].Compile(kStandardMasks[M]);
    Texts[M] = StandardTexts(M);
  }
  std::size_t Length = 0;
  for (auto _ : state) {
    Length = 0;
    for (int M = 0; M < kStandard; ++M)
      for (const std::string& Text : Texts[M]) {
        String T = Text;
        Masks[M].FitText(T, true, false);
        Length += T.size();
      }
  }
  benchmark::DoNotOptimize(Length);
}

void BM_FormatMaskText(benchmark::State& state) {
  UseSlashDates();
  std::vector<std::string> Texts[kStandard];
  for (int M = 0; M < kStandard; ++M) Texts[M] = StandardTexts(M);
  std::size_t Length = 0;
  for (auto _ : state) {
    Length = 0;
    for (int M = 0; M < kStandard; ++M)
      for (const std::string& Text : Texts[M]) Length += FormatMaskText(kStandardMasks[M], Text).size();
  }
  benchmark::DoNotOptimize(Length);
}

// ---------------------------------------------------------------- (d) smart dates

std::vector<std::string> DateTexts() {
  const char* const Words[] = {"今天+3", "明天", "星期五-12", "昨天"};
  std::vector<std::string> Result;
  for (unsigned I = 0; I < kTexts; ++I) {
    const unsigned a = I * 2654435761u;
    char Text[32];
    switch (I % 4) {
      case 0:
      case 1: std::snprintf(Text, sizeof Text, "%04u-%02u-%02u", 1990 + a % 40, 1 + (a >> 6) % 12, 1 + (a >> 11) % 28); break;
      case 2: std::snprintf(Text, sizeof Text, "%04u-%02u-%02u", 1990 + a % 40, 13 + (a >> 6) % 80, 1 + (a >> 11) % 40); break;
      default: std::snprintf(Text, sizeof Text, "%s", Words[(a >> 4) % 4]); break;
    }
    Result.push_back(Text);
  }
  return Result;
}

void BM_SmartDateExpression(benchmark::State& state) {
  ResetFormatSettings();
  TcxDateTimeFormatInfo Info;
  TcxFormatController::ParseFormat(FormatSettings().ShortDateFormat, Info);
  TcxRegExpr E;
  E.Compile(TcxFormatController::AddSmartWords(TcxFormatController::DateRegExpr(Info), false));
  std::vector<std::u32string> Texts;
  for (const std::string& Text : DateTexts()) Texts.push_back(Utf8ToUtf32(Text));
  int Complete = 0;
  for (auto _ : state) {
    Complete = 0;
    for (const std::u32string& Text : Texts) {
      E.Restart();
      bool Taken = true;
      for (char32_t c : Text)
        if (!(Taken = E.Accept(c))) break;
      Complete += Taken && E.IsComplete();
    }
  }
  state.counters["complete"] = Complete;
}

void BM_TryStrToDate(benchmark::State& state) {
  ResetFormatSettings();
  const std::vector<std::string> Texts = DateTexts();
  int Valid = 0;
  for (auto _ : state) {
    Valid = 0;
    TDateTime D = 0;
    for (const std::string& Text : Texts) Valid += TryStrToDate(Text, D);
  }
  state.counters["complete"] = Valid;
}

BENCHMARK(BM_MaskExpressionsFed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdRegexMatch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QRegularExpressionMatch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AmbiguousRepetition)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainRepetition)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StandardFitText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormatMaskText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmartDateExpression)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TryStrToDate)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    bench::PrintRatioRows(times, {
        {"mask expressions fed by character vs std::regex_match", "BM_MaskExpressionsFed", "BM_StdRegexMatch", 2},
        {"mask expressions fed by character vs QRegularExpression", "BM_MaskExpressionsFed", "BM_QRegularExpressionMatch", 2},
        {"(a|a)* vs a*, 10,000 characters", "BM_AmbiguousRepetition", "BM_PlainRepetition", 2},
        {"standard mask FitText vs FormatMaskText", "BM_StandardFitText", "BM_FormatMaskText", 2},
        {"smart-date expression vs TryStrToDate", "BM_SmartDateExpression", "BM_TryStrToDate", 5},
    });
  });
}
