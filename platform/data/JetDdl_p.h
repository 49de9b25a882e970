#pragma once
// Private to platform/data: Jet's data definition (CREATE TABLE, INDEX and VIEW, ALTER TABLE,
// DROP) in SQLite's, with Jet's column types mapped to declared types SQLite's affinity keeps.
#include "data/JetTokens_p.h"

#include <functional>

namespace jet {

// Rewrites the statement's tree in place; `rewrite` translates expressions (defaults, a view's
// body) as the rest of the translator does.
void TranslateDdl(Level& top, std::size_t first, std::string_view stmt, const std::function<void(Level&)>& rewrite);

}  // namespace jet
