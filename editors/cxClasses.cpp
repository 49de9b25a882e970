// Helpers of the editor library's base layer, and its start-up registration.
#include "editors/cxClasses.h"

TPersistent* PersistentOwner(TPersistent* APersistent) { return APersistent ? APersistent->GetOwner() : nullptr; }

String TranslateLibraryString(const String& S) { return S; }

TPoint MakePoint(int X, int Y) { return TPoint{X, Y}; }

int MidCoordinate(int A, int B) {
  const long long sum = static_cast<long long>(A) + B;
  // Division truncates toward zero, so a negative odd sum is taken one lower first.
  return static_cast<int>(sum > 0 ? sum / 2 : (sum - 1) / 2);
}

namespace {
// Layouts find the library's components by class name.
const bool gRegistered = (RegisterClass(TcxComponent::StaticClass()), true);
}  // namespace
