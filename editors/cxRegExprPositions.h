#pragma once
// The positions a matcher has reached and the steps it has taken between them. A position is
// a list of states (in the order the walk found them), kept once and known by its number; a
// step is a character accepted or refused from a position, with the position it leads to and
// the spelling the walk handed back. Typing the same characters from the same position again -
// the next date in a column, the next value of the same mask - follows the remembered steps
// instead of walking the graph, and the history of a long input is a list of numbers.
//
// Steps hold only while the settings the walks read stay as they were: the date and time
// separators and the case rule. When any of them differs, the steps are forgotten (the
// positions stay: they do not depend on them). The number of positions is bounded: past the
// bound the owner keeps only those it still refers to (KeepOnly), and the bound becomes twice
// what was kept, so an expression with very many positions costs memory in proportion to its
// input, as a list per character would, and a long input is not sifted at every character.
// Declares TcxRegExprPositions.
#include "core/System.h"

#include <memory>
#include <vector>

class TcxRegExprStates;

class TcxRegExprPositions {
public:
  static constexpr int Dead = -2;  // the step refuses the character
  static constexpr int MaxPositions = 1024;
  static constexpr char32_t AsciiCount = 128;  // characters whose steps sit in a table

  TcxRegExprPositions();
  ~TcxRegExprPositions();
  TcxRegExprPositions(const TcxRegExprPositions&) = delete;
  TcxRegExprPositions& operator=(const TcxRegExprPositions&) = delete;

  // Forgets every step when one of the settings the walks read has changed.
  void Use(char32_t DateSeparator, char32_t TimeSeparator, bool CaseInsensitive) {
    if (DateSeparator != FDateSeparator || TimeSeparator != FTimeSeparator || CaseInsensitive != FCaseInsensitive)
      ForgetSteps(DateSeparator, TimeSeparator, CaseInsensitive);
  }
  // The number of the position States holds, added when new (the caller makes room first:
  // Full()).
  int Intern(const TcxRegExprStates& States);
  bool Full() const { return Count() >= FLimit; }
  int Count() const;
  // Valid until the next Intern or KeepOnly.
  const TcxRegExprStates& States(int Position) const;
  bool Accepting(int Position) const { return FAccepting[static_cast<std::size_t>(Position)]; }
  // The step from Position on Ch: true with Next (a position or Dead) and Ch in the spelling
  // handed back; false when it has not been taken yet. Asked for every typed character.
  bool FindStep(int Position, char32_t& Ch, int& Next) const {
    if (Ch >= AsciiCount) return FindWideStep(Position, Ch, Next);
    const TStep& Step = FAscii[static_cast<std::size_t>(Position) * AsciiCount + Ch];
    if (Step.Next == Unknown) return false;
    Next = Step.Next;
    Ch = Step.Out;
    return true;
  }
  void AddStep(int Position, char32_t In, char32_t Out, int Next);
  // Keeps the positions Numbers names, and no step; Numbers come back renumbered.
  void KeepOnly(std::vector<int>& Numbers);

private:
  static constexpr int Unknown = -1;
  struct TStep {
    int Next = Unknown;
    char32_t Out = 0;
  };
  struct TImpl;

  void ForgetSteps(char32_t DateSeparator, char32_t TimeSeparator, bool CaseInsensitive);
  bool FindWideStep(int Position, char32_t& Ch, int& Next) const;

  std::unique_ptr<TImpl> FImpl;   // the lists, their index and the steps on other characters
  std::vector<TStep> FAscii;      // AsciiCount steps per position
  std::vector<char> FAccepting;   // per position: it ends a complete match
  char32_t FDateSeparator = 0, FTimeSeparator = 0;
  bool FCaseInsensitive = false;
  int FLimit = MaxPositions;
};
