// Running a compiled script, and finding the function calls inside it.
#include "report_legacy/FR_Intrp.h"
#include "report_legacy/FR_Intrp_p.h"

#include "core/StrUtils.h"
#include "core/StringList.h"

TfrInterpretator::TfrInterpretator() : FParser(std::make_unique<TfrParser>()) {
  FParser->SetOnGetValue(TGetPValueEvent::Lambda([this](const String& n, Variant& v) { GetValue(n, v); }));
  FParser->SetOnFunction(TFunctionEvent::Lambda(
      [this](const String& n, Variant p1, Variant p2, Variant p3, Variant& v) { DoFunction(n, p1, p2, p3, v); }));
}

TfrInterpretator::~TfrInterpretator() = default;

void TfrInterpretator::GetValue(const String&, Variant&) {}
void TfrInterpretator::SetValue(const String&, const Variant&) {}
void TfrInterpretator::DoFunction(const String&, Variant, Variant, Variant, Variant&) {}

void TfrInterpretator::CompileScript(TStrings* Memo, TStrings* Script, TStrings* Errors) {
  std::vector<String> source;
  source.reserve(static_cast<std::size_t>(Memo->Count()));
  for (int i = 0; i < Memo->Count(); ++i) source.push_back(Memo->Strings(i));
  frintrp::TCompileResult r = frintrp::Compile(source, *FParser);
  Script->Clear();
  Errors->Clear();
  for (String& line : r.Lines) Script->Add(line);
  if (!r.Error.empty()) Errors->Add(r.Error);
}

namespace {

int TargetOf(const String& line) {
  if (line.size() < 3) return -1;
  return static_cast<unsigned char>(line[1]) | static_cast<unsigned char>(line[2]) << 8;
}

bool IsZero(const Variant& v) { return !VarIsNull(v) && !VarIsEmpty(v) && v == Variant(0); }

}  // namespace

void TfrInterpretator::RunScript(TStrings* Memo) {
  const int count = Memo->Count();
  int i = 0;
  while (i < count) {
    const String line = Memo->Strings(i);
    if (line.empty()) {
      ++i;
      continue;
    }
    switch (line[0]) {
      case frline::IfFalseJump:
        i = IsZero(FParser->EvalPostfix(line.substr(3))) ? TargetOf(line) : i + 1;
        break;
      case frline::Jump:
        i = TargetOf(line);
        break;
      case frline::Call: {
        String expr = line.substr(1);
        if (UpperCase(expr) == "EXIT(0)") return;
        FParser->EvalPostfix(expr);
        ++i;
        break;
      }
      default: {
        std::size_t p = 0;
        while (p < line.size() && static_cast<unsigned char>(line[p]) <= 32) ++p;
        std::size_t e = p;
        while (e < line.size() && static_cast<unsigned char>(line[e]) > 32) ++e;
        SetValue(line.substr(p, e - p), FParser->EvalPostfix(line.substr(e)));
        ++i;
        break;
      }
    }
    if (i < 0) return;
  }
}

void TfrInterpretator::FindFunctionCalls(TStrings* Memo, TStrings* MatchNames, TfrVariables* Variables,
                                         TStrings* Found) {
  TfrFunctionSplitter splitter(MatchNames, Found, Variables);
  for (int i = 0; i < Memo->Count(); ++i) {
    const String line = Memo->Strings(i);
    if (line.empty()) continue;
    if (line[0] == frline::IfFalseJump) {
      if (line.size() > 3) splitter.Split(line.substr(3));
    } else if (line[0] == frline::Call) {
      splitter.Split(line.substr(1));
    } else if (line[0] != frline::Jump) {
      std::size_t p = 0;
      while (p < line.size() && static_cast<unsigned char>(line[p]) <= 32) ++p;
      while (p < line.size() && static_cast<unsigned char>(line[p]) > 32) ++p;
      splitter.Split(line.substr(p));
    }
  }
}
