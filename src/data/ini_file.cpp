#include "data/ini_file.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

#include "common/text_encoding.h"

namespace quotaplan {
namespace {

std::string_view Trim(std::string_view text) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

// The section name of a "[name]" line, or nullopt for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[') return std::nullopt;
    const auto close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

// The key of a "key=value" line, or nullopt.
std::optional<std::string_view> EntryKey(std::string_view line) {
    const auto trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') return std::nullopt;
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    return Trim(line.substr(0, equals));
}

// The text's lines without their line ends.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        auto line = text.substr(0, end);
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

}  // namespace

std::string IniTextAsUtf8(std::string_view bytes) {
    return MarkedTextAsUtf8(bytes).value_or(std::string(bytes));
}

std::string IniValueFromText(std::string_view bytes, std::string_view section,
                             std::string_view key) {
    const std::string text = IniTextAsUtf8(bytes);
    bool inSection = false;
    for (const auto line : Lines(text)) {
        if (const auto name = SectionName(line)) {
            inSection = SameName(*name, section);
            continue;
        }
        if (!inSection) continue;
        const auto entryKey = EntryKey(line);
        if (!entryKey || !SameName(*entryKey, key)) continue;
        auto value = Trim(line.substr(line.find('=') + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        return std::string(value.substr(0, kIniValueMaxLength));
    }
    return "";
}

std::string IniTextWithValue(std::string_view bytes, std::string_view section,
                             std::string_view key, std::string_view value) {
    const std::string text = IniTextAsUtf8(bytes);
    std::vector<std::string> lines;
    for (const auto line : Lines(text)) lines.emplace_back(line);
    const std::string entry = std::string(key) + "=" + std::string(value);

    std::optional<std::size_t> sectionLine;
    std::size_t insertAt = lines.size();
    bool replaced = false;
    for (std::size_t i = 0; i < lines.size() && !replaced; ++i) {
        if (const auto name = SectionName(lines[i])) {
            if (sectionLine) break;  // the end of our section
            if (SameName(*name, section)) {
                sectionLine = i;
                insertAt = i + 1;
            }
            continue;
        }
        if (!sectionLine) continue;
        if (!Trim(lines[i]).empty()) insertAt = i + 1;
        const auto entryKey = EntryKey(lines[i]);
        if (entryKey && SameName(*entryKey, key)) {
            lines[i] = entry;
            replaced = true;
        }
    }
    if (!replaced) {
        if (sectionLine) {
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
        } else {
            lines.push_back("[" + std::string(section) + "]");
            lines.push_back(entry);
        }
    }
    std::string out;
    for (const auto& line : lines) out += line + "\r\n";
    // The text is UTF-8 now; should its first bytes look like a mark (a second mark after
    // the one read, or bytes that spell one), a UTF-8 mark in front keeps them text when
    // the file is read again.
    if (MarkedTextAsUtf8(out)) out.insert(0, "\xEF\xBB\xBF");
    return out;
}

FileReadResult ReadIniFile(const std::filesystem::path& file) {
    return ReadBoundedFile(file, kIniFileMaxBytes);
}

std::string ReadIniValue(const std::filesystem::path& file, std::string_view section,
                         std::string_view key) {
    const FileReadResult read = ReadIniFile(file);
    return read.status == FileReadStatus::Read ? IniValueFromText(read.bytes, section, key) : "";
}

}  // namespace quotaplan
