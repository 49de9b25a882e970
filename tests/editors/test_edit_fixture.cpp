// Class information of the test editor and its properties (layouts find them by name).
#include "EditFixture.h"

#include "core/ClassBuilder.h"

namespace edittest {
KELM_PUBLISH(TTestEditProperties) { Published(b); }
KELM_PUBLISH(TOtherEditProperties) {}
KELM_PUBLISH(TTestRepositoryItem) {}
KELM_PUBLISH(TOtherRepositoryItem) {}
KELM_PUBLISH(TTestEdit) { Published(b); }
const bool gRegistered = (RegisterClass(TTestEdit::StaticClass()), true);
}  // namespace edittest
