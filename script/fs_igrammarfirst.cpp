// The first tokens of every grammar item and what trying an item at any other token does,
// computed once per grammar. A switch of many alternatives otherwise tries each in turn, every
// one descending through its rules to a token that is not there; the matcher uses these sets
// to answer for such an alternative without trying it, with the same result, output, errors,
// furthest position and nesting limit as the trial.
#include "script/fs_igrammar.h"

#include "script/fs_iilparser.h"

#include <algorithm>
#include <cstdint>

namespace {

using K = TfsGrammarKind;

constexpr int kWordBits = 256;
// Deeper than any nesting the matcher allows: a trial that deep fails with "Stack overflow".
constexpr int kDepthCap = TfsILParser::MaxNesting + 1;

bool IsPunctuation(unsigned char C) {
  return (C >= 33 && C <= 47) || (C >= 58 && C <= 64) || (C >= 91 && C <= 96) || (C >= 123 && C <= 126);
}

void SetBit(std::uint64_t* Bits, unsigned Bit) { Bits[Bit >> 6] |= std::uint64_t(1) << (Bit & 63); }

// Adds B to A; true when A grew.
bool Unite(TfsFirstTokens& A, const TfsFirstTokens& B) {
  TfsFirstTokens before = A;
  for (int i = 0; i < 4; ++i) {
    A.Punct[i] |= B.Punct[i];
    A.Words[i] |= B.Words[i];
  }
  A.Any |= B.Any;
  A.AnyWord |= B.AnyWord;
  A.AnyIdent |= B.AnyIdent;
  A.Number |= B.Number;
  A.String |= B.String;
  for (int i = 0; i < 4; ++i)
    if (A.Punct[i] != before.Punct[i] || A.Words[i] != before.Words[i]) return true;
  return A.Any != before.Any || A.AnyWord != before.AnyWord || A.AnyIdent != before.AnyIdent ||
         A.Number != before.Number || A.String != before.String;
}

bool IsToken(K Kind) {
  return Kind == K::Char || Kind == K::Keyword || Kind == K::Ident || Kind == K::Number || Kind == K::String ||
         Kind == K::FrString || Kind == K::Eol;
}

// Children matched in order (a rule, a sequence, an optional, a loop's iteration).
bool InSequence(K Kind) {
  return Kind == K::Rule || Kind == K::Sequence || Kind == K::Optional || Kind == K::Loop || Kind == K::OptionalLoop;
}

}  // namespace

namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// FNV-1a over the lower-cased bytes: a word that equals a text exactly hashes as it does.
std::uint32_t LowerHash(std::string_view S) {
  std::uint32_t h = 2166136261u;
  for (char c : S) h = (h ^ static_cast<unsigned char>(AsciiLower(c))) * 16777619u;
  return h;
}

}  // namespace

int TfsGrammar::WordId(std::string_view Word, bool FoldCase) const {
  if (FWordSlots.empty()) return -1;
  const std::size_t mask = FWordSlots.size() - 1;
  for (std::size_t slot = LowerHash(Word) & mask; FWordSlots[slot] >= 0; slot = (slot + 1) & mask) {
    const std::pair<String, int>& e = FWordIds[static_cast<std::size_t>(FWordSlots[slot])];
    if (e.first.size() != Word.size()) continue;
    bool same = true;
    for (std::size_t k = 0; k < Word.size() && same; ++k) same = e.first[k] == (FoldCase ? AsciiLower(Word[k]) : Word[k]);
    if (same) return e.second;
  }
  return -1;
}

void TfsGrammar::AddWordIds() {
  for (const TfsGrammarItem& item : FItems)
    if ((item.Kind == K::Keyword || item.Kind == K::Ident) && !item.Text.empty()) FWordIds.emplace_back(item.Text, 0);
  std::sort(FWordIds.begin(), FWordIds.end());
  FWordIds.erase(std::unique(FWordIds.begin(), FWordIds.end()), FWordIds.end());
  for (std::size_t i = 0; i < FWordIds.size(); ++i) FWordIds[i].second = static_cast<int>(i);
  std::size_t size = 8;
  while (size < FWordIds.size() * 2) size *= 2;
  FWordSlots.assign(size, -1);
  for (std::size_t i = 0; i < FWordIds.size(); ++i) {
    std::size_t slot = LowerHash(FWordIds[i].first) & (size - 1);
    while (FWordSlots[slot] >= 0) slot = (slot + 1) & (size - 1);
    FWordSlots[slot] = static_cast<int>(i);
  }
}

void TfsGrammar::ComputeFirstTokens() {
  AddWordIds();
  const int count = static_cast<int>(FItems.size());
  auto child = [this](const TfsGrammarItem& Item, int i) -> TfsGrammarItem& {
    return FItems[static_cast<std::size_t>(Item.FirstChild + i)];
  };

  // Tokens first: their sets never change.
  for (TfsGrammarItem& item : FItems) {
    TfsFirstTokens& f = item.First;
    switch (item.Kind) {
      case K::Char:
        if (item.NoSkip) f.Any = true;
        else if (item.Text.empty()) {
          for (unsigned c = 0; c < 256; ++c)
            if (IsPunctuation(static_cast<unsigned char>(c))) SetBit(f.Punct, c);
        } else if (item.Text.size() == 1 && IsPunctuation(static_cast<unsigned char>(item.Text[0]))) {
          SetBit(f.Punct, static_cast<unsigned char>(item.Text[0]));
        }  // any other text never equals one punctuation character: nothing begins it
        break;
      case K::Keyword:
      case K::Ident:
        if (item.Text.empty()) (item.Kind == K::Keyword ? f.AnyWord : f.AnyIdent) = true;
        else if (int id = WordId(item.Text, false); id < kWordBits) SetBit(f.Words, static_cast<unsigned>(id));
        else f.AnyWord = true;
        break;
      case K::Number: f.Number = true; break;
      case K::String: f.String = true; break;
      case K::FrString:
      case K::Eol:
        // Never answered for; counted as possibly matching nothing, which only widens the
        // sets of what contains them.
        f.Any = true;
        item.Nullable = true;
        break;
      case K::RuleRef:
        if (item.RuleIndex < 0) {
          f.Any = true;  // raises when reached
          item.Nullable = true;
        }
        break;
      default: break;
    }
  }

  // First sets and Nullable grow together until nothing changes.
  for (bool changed = true; changed;) {
    changed = false;
    for (int n = 0; n < count; ++n) {
      TfsGrammarItem& item = FItems[static_cast<std::size_t>(n)];
      if (IsToken(item.Kind)) continue;
      bool nullable = false;
      TfsFirstTokens first = item.First;
      if (item.Kind == K::RuleRef) {
        if (item.RuleIndex < 0) continue;
        const TfsGrammarItem& rule = FItems[static_cast<std::size_t>(item.RuleIndex)];
        Unite(first, rule.First);
        nullable = rule.Nullable;
      } else if (item.Kind == K::Switch || item.Kind == K::OptionalSwitch) {
        for (int i = 0; i < item.ChildCount; ++i) {
          Unite(first, child(item, i).First);
          nullable |= child(item, i).Nullable;
        }
        nullable |= item.Kind == K::OptionalSwitch;
      } else {
        nullable = true;
        for (int i = 0; i < item.ChildCount && nullable; ++i) {
          Unite(first, child(item, i).First);
          nullable = child(item, i).Nullable;
        }
        // An iteration that matched nothing is followed by the separator.
        if (nullable && (item.Kind == K::Loop || item.Kind == K::OptionalLoop) && !item.Text.empty()) {
          if (IsPunctuation(static_cast<unsigned char>(item.Text[0]))) SetBit(first.Punct, static_cast<unsigned char>(item.Text[0]));
          else first.Any = true;
        }
        nullable |= item.Kind == K::Optional || item.Kind == K::OptionalLoop;
      }
      if (Unite(item.First, first)) changed = true;
      if (nullable && !item.Nullable) {
        item.Nullable = true;
        changed = true;
      }
    }
  }

  // The trial of each item, given Nullable: the items it visits, and what they may do.
  for (TfsGrammarItem& item : FItems) {
    item.ReadsToken = IsToken(item.Kind);
    item.ReadsIdent = item.Kind == K::Ident;
  }
  for (bool changed = true; changed;) {
    changed = false;
    for (int n = 0; n < count; ++n) {
      TfsGrammarItem& item = FItems[static_cast<std::size_t>(n)];
      if (IsToken(item.Kind)) {
        // A token fails: it writes nothing, and records its error.
        if (item.HasErr && !item.MayRecord) item.MayRecord = changed = true;
        continue;
      }
      bool write = false, record = item.HasErr, reads = false, ident = false;
      int depth = 0;
      auto visit = [&](const TfsGrammarItem& c) {
        write |= c.MayWrite;
        record |= c.MayRecord;
        reads |= c.ReadsToken;
        ident |= c.ReadsIdent;
        depth = std::max(depth, std::min(c.TrialDepth + 1, kDepthCap));
      };
      if (item.Kind == K::RuleRef) {
        if (item.RuleIndex >= 0) visit(FItems[static_cast<std::size_t>(item.RuleIndex)]);
        // What the rule wrote is wrapped, and an `add` written, when it matched nothing.
        write |= item.Nullable && (!item.Node.empty() || item.HasAdd);
      } else if (item.Kind == K::Switch || item.Kind == K::OptionalSwitch) {
        for (int i = 0; i < item.ChildCount; ++i) {
          visit(child(item, i));
          if (child(item, i).Nullable) break;
        }
      } else if (InSequence(item.Kind)) {
        for (int i = 0; i < item.ChildCount; ++i) {
          visit(child(item, i));
          if (!child(item, i).Nullable) break;
        }
        if (item.Kind == K::Sequence) write |= !item.Node.empty() || item.HasAdd;  // written before its children
        if (item.Kind == K::Rule) {
          write |= item.HasAdd;
          // A failed rule with a node takes back all it wrote; one that matched wraps it.
          if (!item.Node.empty() && !item.NodeIsUses) write = item.Nullable;
          else if (item.NodeIsUses) write = true;
        }
      }
      // Each value only grows, so the loop ends.
      write |= item.MayWrite;
      record |= item.MayRecord;
      reads |= item.ReadsToken;
      ident |= item.ReadsIdent;
      depth = std::max(depth, item.TrialDepth);
      if (write != item.MayWrite || record != item.MayRecord || reads != item.ReadsToken || ident != item.ReadsIdent ||
          depth != item.TrialDepth) {
        item.MayWrite = write;
        item.MayRecord = record;
        item.ReadsToken = reads;
        item.ReadsIdent = ident;
        item.TrialDepth = depth;
        changed = true;
      }
    }
  }
  for (TfsGrammarItem& item : FItems) item.Skippable = !item.First.Any && !item.MayWrite;
}
