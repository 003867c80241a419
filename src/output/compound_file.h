#pragma once

#include <string>
#include <vector>

namespace quotaplan {

// One stream of a compound file: its name (at most 31 characters, no "/", "\", ":" or "!")
// and its bytes.
struct CompoundStream {
    std::u16string name;
    std::string bytes;
};

// Builds a compound file (the structured-storage container of Office 97-2003 documents,
// version 3 with 512-byte sectors) holding the given streams directly under the root
// storage. This writer keeps no mini stream: a stream shorter than the 4,096-byte cutoff is
// padded with zero bytes up to it, so that every stream lives in ordinary sectors. Files of
// any size are laid out, with extra allocation-table index sectors beyond 109 table sectors.
// Throws std::invalid_argument for a bad or repeated stream name.
std::string BuildCompoundFile(const std::vector<CompoundStream>& streams);

}  // namespace quotaplan
