#include "data/batch_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "common/data_lines.h"
#include "common/number_text.h"

namespace quotaplan {
namespace {

constexpr std::array<const char*, 10> kNumberFields = {
    "value", "maxi",        "buyout",        "rate",           "spread",
    "count", "periodicity", "contract-fees", "instalment-fee", "instalment"};
constexpr std::array<const char*, 3> kDateFields = {"contract-date", "first-date", "buyout-date"};
constexpr std::array<const char*, 3> kFlagFields = {"simple", "advance", "buyout-interest"};
constexpr std::array<const char*, 6> kOtherFields = {"solve",       "plan",           "rates",
                                                     "description", "usury-category", "type"};

template <std::size_t N>
bool Holds(const std::array<const char*, N>& names, const std::string& name) {
    return std::any_of(names.begin(), names.end(),
                       [&](const char* known) { return known != nullptr && name == known; });
}

std::string Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

// The fields of a CSV line: `separator` between them, double quotes around a field that
// holds one (a quote inside written twice). nullopt for a quote left open.
std::optional<std::vector<std::string>> CsvFields(const std::string& line, char separator) {
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false;
    bool wasQuoted = false;
    for (std::size_t k = 0; k < line.size(); ++k) {
        const char c = line[k];
        if (quoted) {
            if (c != '"') {
                field += c;
            } else if (k + 1 < line.size() && line[k + 1] == '"') {
                field += '"';
                ++k;
            } else {
                quoted = false;
            }
        } else if (c == '"' && Trimmed(field).empty()) {
            quoted = wasQuoted = true;
            field.clear();
        } else if (c == separator) {
            fields.push_back(wasQuoted ? field : Trimmed(field));
            field.clear();
            wasQuoted = false;
        } else if (!wasQuoted || (c != ' ' && c != '\t')) {
            field += c;
        }
    }
    if (quoted) return std::nullopt;
    fields.push_back(wasQuoted ? field : Trimmed(field));
    return fields;
}

// A flat JSON object: string keys, values that are strings, numbers (kept as written),
// true, false, null (left out) or arrays of those (joined by blanks).
class FlatJson {
public:
    explicit FlatJson(std::string_view text) : text_(text) {}

    std::optional<std::string> Read(std::vector<std::pair<std::string, std::string>>& fields) {
        Blank();
        if (!Take('{')) return Fault("manca la graffa aperta");
        Blank();
        if (Take('}')) return End();
        for (;;) {
            Blank();
            std::string key;
            if (!String(key)) return Fault("serve il nome di un campo fra virgolette");
            Blank();
            if (!Take(':')) return Fault("mancano i due punti dopo \"" + key + "\"");
            Blank();
            std::optional<std::string> value;
            if (Take('[')) {
                std::string joined;
                Blank();
                if (!Take(']')) {
                    for (;;) {
                        Blank();
                        std::optional<std::string> item;
                        if (!Scalar(item) || !item) return Fault("valore non valido in " + key);
                        joined += (joined.empty() ? "" : " ") + *item;
                        Blank();
                        if (Take(']')) break;
                        if (!Take(',')) return Fault("manca la virgola in " + key);
                    }
                }
                value = joined;
            } else if (!Scalar(value)) {
                return Fault("valore non valido per \"" + key + "\"");
            }
            if (value) fields.emplace_back(std::move(key), std::move(*value));
            Blank();
            if (Take('}')) return End();
            if (!Take(',')) return Fault("manca la virgola fra i campi");
        }
    }

private:
    static std::optional<std::string> Fault(const std::string& why) {
        return "JSON non valido: " + why + ".";
    }
    std::optional<std::string> End() {
        Blank();
        if (at_ != text_.size()) return Fault("testo dopo la graffa chiusa");
        return std::nullopt;
    }
    void Blank() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t')) ++at_;
    }
    bool Take(char c) {
        if (at_ >= text_.size() || text_[at_] != c) return false;
        ++at_;
        return true;
    }
    bool Hex4(unsigned& code) {
        if (at_ + 4 > text_.size()) return false;
        code = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = text_[at_++];
            code <<= 4;
            if (c >= '0' && c <= '9')
                code |= static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f')
                code |= static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                code |= static_cast<unsigned>(c - 'A' + 10);
            else
                return false;
        }
        return true;
    }
    static void Utf8(std::string& out, unsigned c) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    bool String(std::string& out) {
        if (!Take('"')) return false;
        while (at_ < text_.size()) {
            const char c = text_[at_++];
            if (c == '"') return true;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at_ >= text_.size()) return false;
            const char escaped = text_[at_++];
            switch (escaped) {
                case '"':
                case '\\':
                case '/':
                    out += escaped;
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    unsigned code = 0;
                    if (!Hex4(code)) return false;
                    if (code >= 0xD800 && code < 0xDC00) {
                        unsigned low = 0;
                        if (!Take('\\') || !Take('u') || !Hex4(low) || low < 0xDC00 ||
                            low >= 0xE000)
                            return false;
                        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                    }
                    Utf8(out, code);
                    break;
                }
                default:
                    return false;
            }
        }
        return false;
    }
    // A string, a number as written, true/false as "true"/"false"; null leaves `value` empty.
    bool Scalar(std::optional<std::string>& value) {
        if (at_ < text_.size() && text_[at_] == '"') {
            std::string text;
            if (!String(text)) return false;
            value = std::move(text);
            return true;
        }
        for (const char* word : {"true", "false", "null"}) {
            const std::string_view w(word);
            if (text_.substr(at_, w.size()) == w) {
                at_ += w.size();
                if (w != "null") value = std::string(w);
                return true;
            }
        }
        const std::size_t start = at_;
        while (at_ < text_.size() &&
               std::string_view("+-.0123456789eE").find(text_[at_]) != std::string_view::npos) {
            ++at_;
        }
        if (at_ == start) return false;
        value = std::string(text_.substr(start, at_ - start));
        return true;
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

std::string Invalid(const std::string& field, const std::string& text, const char* what) {
    return "Valore non valido per " + field + ": \"" + text + "\" (" + what + ")";
}

// A number of a batch file: Italian when it holds a comma, plain otherwise; in the 32-bit
// range the calculation reads it in.
std::optional<double> ReadFileNumber(const std::string& text) {
    std::optional<double> number;
    if (text.find(',') != std::string::npos) {
        number = TryParseNumber(text);
    } else if (SplitPlainNumberText(text)) {
        errno = 0;
        char* end = nullptr;
        const std::string plain = Trimmed(text);
        number = std::strtod(plain.c_str(), &end);
        if (end != plain.c_str() + plain.size() || errno == ERANGE) number.reset();
    }
    if (!number || !std::isfinite(*number) ||
        std::fabs(*number) > std::numeric_limits<float>::max()) {
        return std::nullopt;
    }
    return number;
}

std::optional<CalendarDate> ReadFileDate(const std::string& text) {
    if (auto iso = CalendarDate::FromIso(text)) return iso;
    return ReadDataFileDate(text);
}

std::optional<bool> ReadYesNo(const std::string& text) {
    std::string lower;
    for (const char c : text)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* yes : {"sì", "si", "s", "1", "true", "x", "yes"}) {
        if (lower == yes) return true;
    }
    for (const char* no : {"", "no", "n", "0", "false"}) {
        if (lower == no) return false;
    }
    return std::nullopt;
}

// Reads one field into `contract`; the message of a value that does not read.
std::optional<std::string> ReadField(const std::string& name, const std::string& text,
                                     BatchContract& contract) {
    CalcOptions& options = contract.options;
    if (name == "description") {
        contract.description = text;
    } else if (name == "usury-category") {
        contract.usuryCategory = text;
    } else if (name == "type") {
        contract.type = text;
    } else if (text.empty()) {
        // An empty cell is a value not given.
    } else if (Holds(kFlagFields, name)) {
        const auto yes = ReadYesNo(text);
        if (!yes) return Invalid(name, text, "serve sì o no");
        (name == "simple"    ? options.simple
         : name == "advance" ? options.advance
                             : options.buyoutInterest) = *yes;
    } else if (Holds(kDateFields, name)) {
        const auto date = ReadFileDate(text);
        if (!date) return Invalid(name, text, "serve una data AAAA-MM-GG o GG/MM/AAAA");
        (name == "contract-date" ? options.contractDate
         : name == "first-date"  ? options.firstDate
                                 : options.buyoutDate) = date;
    } else if (name == "solve") {
        if (text == "instalment")
            options.target = SolveTarget::Instalment;
        else if (text == "rate")
            options.target = SolveTarget::Rate;
        else if (text == "value")
            options.target = SolveTarget::Value;
        else
            return Invalid(name, text, "instalment, rate o value");
    } else if (name == "plan") {
        if (text == "classic")
            options.plan = PlanKind::Classic;
        else if (text == "cents")
            options.plan = PlanKind::ToTheCent;
        else
            return Invalid(name, text, "classic o cents");
    } else if (name == "rates") {
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = std::min(text.find(' ', start), text.size());
            if (end > start) {
                const auto rate = ReadFileNumber(text.substr(start, end - start));
                if (!rate) return Invalid(name, text, "servono tassi separati da spazi");
                options.ratesPercent.push_back(*rate);
            }
            start = end + 1;
        }
    } else {
        const auto number = ReadFileNumber(text);
        if (!number) return Invalid(name, text, "serve un numero");
        if (name == "count" || name == "periodicity") {
            if (*number != std::trunc(*number))
                return Invalid(name, text, "serve un numero intero");
            // Beyond 16 bits the calculation reports an overflow, as the window does.
            const double clamped = std::clamp(*number, -1e6, 1e6);
            if (name == "count")
                options.count = static_cast<long>(clamped);
            else
                options.periodicity = static_cast<int>(clamped);
        } else if (name == "value") {
            options.value = *number;
        } else if (name == "rate") {
            options.ratePercent = *number;
        } else if (name == "instalment") {
            options.instalment = *number;
        } else {
            double& target = name == "maxi"            ? options.maxi
                             : name == "buyout"        ? options.buyout
                             : name == "spread"        ? options.spreadPercent
                             : name == "contract-fees" ? options.contractFees
                                                       : options.instalmentFee;
            target = *number;
        }
    }
    return std::nullopt;
}

bool IsBlankLine(const std::string& text) {
    return text.find_first_not_of(" \t") == std::string::npos;
}

}  // namespace

bool IsBatchField(const std::string& name) {
    return Holds(kNumberFields, name) || Holds(kDateFields, name) || Holds(kFlagFields, name) ||
           Holds(kOtherFields, name);
}

std::optional<std::string> BatchReader::Start() {
    std::optional<std::string> header;
    while ((header = lines_.Next()) && IsBlankLine(*header)) {
    }
    if (!header) return "Il file non contiene contratti.";
    const std::string first = Trimmed(*header);
    if (first.starts_with('{')) {
        json_ = true;
        firstJsonLine_.emplace(lines_.LineNumber(), first);
        const BatchRecord record = RecordOf(lines_.LineNumber(), first);
        namesUsury_ = std::any_of(record.fields.begin(), record.fields.end(), [](const auto& f) {
            return f.first == "usury-category" || f.first == "type";
        });
        return std::nullopt;
    }
    separator_ = first.find(';') != std::string::npos ? ';' : ',';
    const auto columns = CsvFields(first, separator_);
    if (!columns) return "Intestazione del file non valida: virgolette non chiuse.";
    for (const std::string& column : *columns) {
        if (!IsBatchField(column)) {
            return "Colonna sconosciuta nell'intestazione del file: \"" + column +
                   "\" (le colonne sono le opzioni di quotaplan-calc senza i trattini: value, "
                   "rate, count, …).";
        }
        if (column == "usury-category" || column == "type") namesUsury_ = true;
    }
    columns_ = *columns;
    return std::nullopt;
}

BatchRecord BatchReader::RecordOf(int line, const std::string& text) {
    BatchRecord record;
    record.line = line;
    if (json_) {
        if (auto fault = FlatJson(text).Read(record.fields)) {
            record.error = *fault;
            record.fields.clear();
            return record;
        }
        for (const auto& [name, value] : record.fields) {
            if (!IsBatchField(name)) {
                record.error = "Campo sconosciuto: \"" + name + "\".";
                return record;
            }
        }
        return record;
    }
    const auto fields = CsvFields(text, separator_);
    if (!fields) {
        record.error = "Virgolette non chiuse.";
        return record;
    }
    if (fields->size() > columns_.size()) {
        record.error = "La riga ha " + std::to_string(fields->size()) + " campi, l'intestazione " +
                       std::to_string(columns_.size()) + ".";
        return record;
    }
    for (std::size_t k = 0; k < fields->size(); ++k) {
        record.fields.emplace_back(columns_[k], (*fields)[k]);
    }
    return record;
}

std::optional<BatchRecord> BatchReader::Next() {
    if (firstJsonLine_) {
        const auto [line, text] = *firstJsonLine_;
        firstJsonLine_.reset();
        return RecordOf(line, text);
    }
    std::optional<std::string> text;
    while ((text = lines_.Next()) && IsBlankLine(*text)) {
    }
    if (!text) return std::nullopt;
    return RecordOf(lines_.LineNumber(), Trimmed(*text));
}

std::variant<BatchContract, std::string> ReadBatchContract(const BatchRecord& record) {
    if (!record.error.empty()) return record.error;
    BatchContract contract;
    for (const auto& [name, text] : record.fields) {
        if (auto fault = ReadField(name, name == "description" ? text : Trimmed(text), contract)) {
            return *fault;
        }
    }
    return contract;
}

}  // namespace quotaplan
