#include "common/file_io.h"
#include "common/text_encoding.h"
#include "data/sheet_cells.h"

namespace quotaplan {
namespace {

// A bank's plan of 32,767 rows takes a few MiB in any of the three forms.
constexpr std::size_t kSheetFileMaxBytes = 64 * 1024 * 1024;

}  // namespace

SheetContent ReadSheetFile(const std::filesystem::path& file) {
    const FileReadResult read = ReadBoundedFile(file, kSheetFileMaxBytes);
    if (read.status != FileReadStatus::Read) {
        return SheetRefusal{0, "Impossibile leggere il file \"" + file.string() + "\"."};
    }
    const std::string_view bytes = read.bytes;
    if (bytes.starts_with("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) return ReadXlsSheet(file);
    if (bytes.starts_with("PK\x03\x04")) return ReadXlsxSheet(file);
    return ReadCsvText(DataFileTextAsUtf8(bytes));
}

}  // namespace quotaplan
