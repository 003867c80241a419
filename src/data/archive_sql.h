#pragma once

#include <string_view>

#include "data/database_engine.h"

namespace quotaplan {

// The engine's schema.sql, views.sql and seed.sql of db/, one after the other: what makes a
// new, empty archive with its lookup values.
std::string_view NewArchiveSql(EngineKind engine);

// The engine's views.sql alone: brings an archive's summary views up to date.
std::string_view ArchiveViewsSql(EngineKind engine);

}  // namespace quotaplan
