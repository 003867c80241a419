#pragma once

#include <istream>
#include <optional>
#include <string>

namespace quotaplan {

// The lines of a data file read one at a time, in constant memory, as UTF-8 whatever the
// file was saved as (as DataFileTextAsUtf8 tells it for a whole file): a byte-order mark
// names UTF-8 (dropped) or UTF-16 little- or big-endian; without one each line is taken as
// UTF-8 when it is valid UTF-8, otherwise as Windows-1252. Line ends are LF or CR LF.
class DataLineStream {
public:
    explicit DataLineStream(std::istream& in) : in_(in) {}

    // The next line without its end, or nullopt at the end of the file. LineNumber() is then
    // its 1-based number in the file.
    std::optional<std::string> Next();
    int LineNumber() const { return lineNumber_; }

private:
    enum class Encoding { Unknown, Bytes, Utf16LittleEndian, Utf16BigEndian };
    void ReadMark();
    std::optional<std::string> NextUtf16();

    std::istream& in_;
    Encoding encoding_ = Encoding::Unknown;
    int lineNumber_ = 0;
};

}  // namespace quotaplan
