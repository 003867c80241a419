#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

namespace quotaplan {

// What happens when the final name is already taken.
enum class WhenFileExists {
    Replace,  // the new file takes the place of whatever bore the name
    Keep      // whatever bore the name stays, a dangling link too; the new bytes are dropped
};

enum class AtomicWriteStatus {
    Written,       // the file is complete under its final name
    KeptExisting,  // WhenFileExists::Keep and something already bore the name
    Failed         // nothing changed under the final name
};

// Writes `file` so that its name only ever shows a complete file. `fill` writes the bytes to
// the descriptor of a hidden temporary file in the same folder (temporaryPrefix followed by
// six letters or digits, so that a crash never leaves anything that looks finished); the
// temporary is flushed to disk and only then given the final name. It stays locked while it
// is written, and temporaries of the same prefix that belong to this user and that no writer
// holds any more (left by a process killed midway) are removed from the folder first. The
// folder must exist; the file gets the permissions of a new file under the umask. A `fill`
// that returns false, a full disk or a folder that cannot be written give Failed.
AtomicWriteStatus WriteFileAtomically(const std::filesystem::path& file,
                                      std::string_view temporaryPrefix, WhenFileExists whenExists,
                                      const std::function<bool(int fd)>& fill);

// As WriteFileAtomically, for a writer that opens the file by its name (a database library):
// `fill` gets the temporary's path, and has closed whatever it opened when it returns. Files
// the writer keeps beside it, named after it ("-journal"), go with a stale temporary.
AtomicWriteStatus WriteNamedFileAtomically(
    const std::filesystem::path& file, std::string_view temporaryPrefix, WhenFileExists whenExists,
    const std::function<bool(const std::filesystem::path& temporary)>& fill);

}  // namespace quotaplan
