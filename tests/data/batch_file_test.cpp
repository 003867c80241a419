// Batch files: CSV with either separator or JSON Lines, any of the encodings the other data
// files come in, Italian or plain numbers; and a batch priced in input order.
#include "data/batch_file.h"

#include <gtest/gtest.h>

#include <sstream>

#include "data/portfolio_batch.h"

namespace quotaplan {
namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

std::vector<BatchRecord> Records(const std::string& bytes, std::string* refusal = nullptr) {
    std::istringstream in(bytes);
    BatchReader reader(in);
    std::vector<BatchRecord> records;
    if (auto refused = reader.Start()) {
        if (refusal != nullptr) *refusal = *refused;
        return records;
    }
    while (auto record = reader.Next()) records.push_back(std::move(*record));
    return records;
}

std::string Utf16LittleEndian(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    }
    return bytes;
}

struct ReadCase {
    const char* name;
    std::string bytes;
    std::vector<int> lines;
    std::vector<Fields> fields;
    std::vector<std::string> errors;
};
void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.name; }

class BatchRead : public testing::TestWithParam<ReadCase> {};

TEST_P(BatchRead, LinesAndFields) {
    const auto records = Records(GetParam().bytes);
    ASSERT_EQ(records.size(), GetParam().lines.size());
    for (std::size_t k = 0; k < records.size(); ++k) {
        EXPECT_EQ(records[k].line, GetParam().lines[k]) << k;
        EXPECT_EQ(records[k].fields, GetParam().fields[k]) << k;
        EXPECT_EQ(records[k].error, GetParam().errors[k]) << k;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, BatchRead,
    testing::Values(
        ReadCase{"SemicolonsCrLfAndAnEmptyLine",
                 "value;rate;description\r\n10.000,00;6;Auto\r\n\r\n5000; 4,5 ;\"Tornio; CNC\"\r\n",
                 {2, 4},
                 {Fields{{"value", "10.000,00"}, {"rate", "6"}, {"description", "Auto"}},
                  Fields{{"value", "5000"}, {"rate", "4,5"}, {"description", "Tornio; CNC"}}},
                 {"", ""}},
        ReadCase{
            "CommasQuotesAndFewerFields",
            "value,rate,description\n10000.5,6,\"Il \"\"grande\"\" tornio\"\n7000\n",
            {2, 3},
            {Fields{{"value", "10000.5"}, {"rate", "6"}, {"description", "Il \"grande\" tornio"}},
             Fields{{"value", "7000"}}},
            {"", ""}},
        ReadCase{"TooManyFieldsAndAnOpenQuote",
                 "value;rate\n1;2;3\n\"10;6\n",
                 {2, 3},
                 {Fields{}, Fields{}},
                 {"La riga ha 3 campi, l'intestazione 2.", "Virgolette non chiuse."}},
        ReadCase{"WindowsLatinOne",
                 "description;value\nAttivit\xE0;1000\n",
                 {2},
                 {Fields{{"description", "Attivit\xC3\xA0"}, {"value", "1000"}}},
                 {""}},
        ReadCase{"Utf16WithItsMark",
                 Utf16LittleEndian(u"description;value\r\nAttivit\u00E0;1000\r\n"),
                 {2},
                 {Fields{{"description", "Attivit\xC3\xA0"}, {"value", "1000"}}},
                 {""}},
        ReadCase{"JsonLines",
                 "\xEF\xBB\xBF{\"value\": 10000, \"rate\": \"6,5\", \"simple\": true, "
                 "\"rates\": [6.5, 7], \"description\": \"Tornio \\u00e8 \\\"nuovo\\\"\", "
                 "\"spread\": null}\n\n{\"valu\": 1}\n{\"value\": 1,}\n",
                 {1, 3, 4},
                 {Fields{{"value", "10000"},
                         {"rate", "6,5"},
                         {"simple", "true"},
                         {"rates", "6.5 7"},
                         {"description", "Tornio \xC3\xA8 \"nuovo\""}},
                  Fields{{"valu", "1"}}, Fields{}},
                 {"", "Campo sconosciuto: \"valu\".",
                  "JSON non valido: serve il nome di un campo fra virgolette."}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BatchRead, RefusedFiles) {
    std::string refusal;
    Records("", &refusal);
    EXPECT_EQ(refusal, "Il file non contiene contratti.");
    Records("valore;rate\n1;2\n", &refusal);
    EXPECT_EQ(refusal,
              "Colonna sconosciuta nell'intestazione del file: \"valore\" (le colonne sono le "
              "opzioni di quotaplan-calc senza i trattini: value, rate, count, …).");
}

// Numbers with a comma are Italian, the others plain: "1.234" is one and a bit.
TEST(BatchContractOf, NumbersDatesAndYesNo) {
    BatchRecord record;
    record.fields = {{"value", "1.234,56"},
                     {"maxi", "1.234"},
                     {"rate", "4"},
                     {"count", "36"},
                     {"periodicity", "4"},
                     {"contract-date", "31/01/2026"},
                     {"first-date", "2026-04-30"},
                     {"advance", "sì"},
                     {"simple", "no"},
                     {"plan", "cents"},
                     {"rates", "4,00  4,5"},
                     {"usury-category", "Leasing"}};
    const auto read = ReadBatchContract(record);
    const auto& contract = std::get<BatchContract>(read);
    EXPECT_EQ(*contract.options.value, 1234.56);
    EXPECT_EQ(contract.options.maxi, 1.234);
    EXPECT_EQ(*contract.options.count, 36);
    EXPECT_EQ(contract.options.periodicity, 4);
    EXPECT_EQ(contract.options.contractDate->Iso(), "2026-01-31");
    EXPECT_EQ(contract.options.firstDate->Iso(), "2026-04-30");
    EXPECT_TRUE(contract.options.advance);
    EXPECT_FALSE(contract.options.simple);
    EXPECT_EQ(contract.options.plan, PlanKind::ToTheCent);
    EXPECT_EQ(contract.options.ratesPercent, (std::vector<double>{4.0, 4.5}));
    EXPECT_EQ(contract.usuryCategory, "Leasing");
}

TEST(BatchContractOf, UnreadableValuesNameTheirField) {
    const struct {
        const char* field;
        const char* text;
        const char* message;
    } cases[] = {
        {"value", "abc", "Valore non valido per value: \"abc\" (serve un numero)"},
        {"value", "1,2,3", "Valore non valido per value: \"1,2,3\" (serve un numero)"},
        {"count", "12,5", "Valore non valido per count: \"12,5\" (serve un numero intero)"},
        {"first-date", "31/02/2026",
         "Valore non valido per first-date: \"31/02/2026\" (serve una data AAAA-MM-GG o "
         "GG/MM/AAAA)"},
        {"advance", "forse", "Valore non valido per advance: \"forse\" (serve sì o no)"},
        {"solve", "tutto", "Valore non valido per solve: \"tutto\" (instalment, rate o value)"},
    };
    for (const auto& c : cases) {
        BatchRecord record;
        record.fields = {{c.field, c.text}};
        EXPECT_EQ(std::get<std::string>(ReadBatchContract(record)), c.message) << c.field;
    }
}

// Several workers, answers in the file's order; the usury verdict from the book read before.
TEST(RunBatch, InInputOrderWithTheUsuryVerdict) {
    std::string file = "description;value;rate;count;contract-date;usury-category\n";
    for (int k = 1; k <= 300; ++k) {
        file += "C" + std::to_string(k) + ";" + std::to_string(1000 * k) + ";" +
                (k % 50 == 0 ? "0" : std::to_string(k % 20 + 1)) + ";" +
                std::to_string(k % 360 + 1) + ";2026-02-15;" +
                (k % 3 == 0 ? "Credito personale" : "") + "\n";
    }
    UsuryBook book;
    book.categories.push_back({"Credito personale",
                               {UsuryRate{"Credito personale", std::nullopt, std::nullopt,
                                          *CalendarDate::FromYmd(2026, 1, 1), CalendarDate(),
                                          Percent::FromTenThousandths(105800)}}});
    std::istringstream in(file);
    BatchReader reader(in);
    ASSERT_FALSE(reader.Start());
    BatchSettings settings;
    settings.jobs = 4;
    settings.today = *CalendarDate::FromYmd(2026, 2, 1);
    settings.usury = &book;
    std::vector<BatchAnswer> answers;
    const BatchCounts counts = RunBatch(reader, settings, [&](const BatchAnswer& answer) {
        answers.push_back(answer);
        return true;
    });
    ASSERT_EQ(answers.size(), 300u);
    EXPECT_EQ(counts.good, 294);
    EXPECT_EQ(counts.bad, 6);
    for (int k = 1; k <= 300; ++k) {
        const BatchAnswer& answer = answers[k - 1];
        ASSERT_EQ(answer.line, k + 1);
        ASSERT_EQ(answer.description, "C" + std::to_string(k));
        if (k % 50 == 0) {
            EXPECT_EQ(answer.error, "Inserire il Tasso!");
            continue;
        }
        ASSERT_TRUE(answer.outcome) << answer.error;
        EXPECT_TRUE(answer.outcome->plan.rows.empty());  // no plans kept
        // An over-threshold rate (above 17,225 %) only at 18 % and more.
        if (k % 3 == 0) {
            ASSERT_TRUE(answer.outcome->usury && answer.outcome->usury->judgement) << k;
            EXPECT_EQ(answer.outcome->usury->judgement->over, k % 20 + 1 >= 18) << k;
        } else {
            EXPECT_FALSE(answer.outcome->usury);
        }
    }
    // The first contract: 1.000 at 2 % in two monthly instalments.
    EXPECT_EQ(answers[0].instalment.Decimal(), "501.24");
}

TEST(RunBatch, AStopAfterAnAnswerReadsNoMore) {
    std::string file = "value;rate;count\n";
    for (int k = 0; k < 1000; ++k) file += "10000;6;12\n";
    std::istringstream in(file);
    BatchReader reader(in);
    ASSERT_FALSE(reader.Start());
    BatchSettings settings;
    settings.jobs = 2;
    int given = 0;
    const BatchCounts counts =
        RunBatch(reader, settings, [&](const BatchAnswer&) { return ++given < 3; });
    EXPECT_EQ(given, 3);
    EXPECT_EQ(counts.good, 3);
    // What the workers read ahead stays small: the rest of the file was never read.
    EXPECT_LT(in.tellg(), static_cast<std::streamoff>(file.size() / 2));
}

}  // namespace
}  // namespace quotaplan
