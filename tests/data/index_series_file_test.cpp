#include "data/index_series_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "archive_fixture.h"

namespace quotaplan {
namespace {

CalendarDate Ymd(int year, int month, int day) { return *CalendarDate::FromYmd(year, month, day); }

std::vector<IndexValue> Values(const IndexFileContent& content) {
    if (const auto* refusal = std::get_if<IndexFileRefusal>(&content)) {
        ADD_FAILURE() << refusal->message;
        return {};
    }
    return std::get<std::vector<IndexValue>>(content);
}

IndexFileRefusal Refusal(const IndexFileContent& content) {
    if (!std::holds_alternative<IndexFileRefusal>(content)) {
        ADD_FAILURE() << "file accepted";
        return {};
    }
    return std::get<IndexFileRefusal>(content);
}

TEST(IndexSeriesFile, ReadsWhatSpreadsheetsWrite) {
    const std::string text =
        "\xEF\xBB\xBF"
        "Data;Valore\r\n"
        "01/07/2026;1,75\r\n"
        "\r\n"
        "  1/1/2026 ; 2 \r\n"
        "\"01/04/2026\";\"2,50\";\r\n"
        "15/01/2026;-0,356\r\n"
        "01/10/2026;+2,6\r\n"
        "16/01/2026;,5";  // no line end after the last line
    EXPECT_EQ(Values(ReadIndexSeriesText(text)),
              (std::vector<IndexValue>{{Ymd(2026, 1, 1), 2.0},
                                       {Ymd(2026, 1, 15), -0.356},
                                       {Ymd(2026, 1, 16), 0.5},
                                       {Ymd(2026, 4, 1), 2.5},
                                       {Ymd(2026, 7, 1), 1.75},
                                       {Ymd(2026, 10, 1), 2.6}}));
    // No header at all, and the third decimal of the Euribor kept.
    EXPECT_EQ(Values(ReadIndexSeriesText("02/01/2024;3,905\n")),
              (std::vector<IndexValue>{{Ymd(2024, 1, 2), 3.905}}));
}

TEST(IndexSeriesFile, BadLineIsNamed) {
    struct Case {
        const char* text;
        int line;
        const char* message;
    };
    const Case cases[] = {
        {"Data;Valore\n01/01/2026;2,00\n31/02/2026;2,50\n", 3,
         "Riga 3: data non valida \"31/02/2026\" (serve gg/mm/aaaa). Nessun valore importato."},
        {"01/01/26;2,00\n", 1,
         "Riga 1: data non valida \"01/01/26\" (serve gg/mm/aaaa). Nessun valore importato."},
        {"2026-01-01;2,00\n", 1,
         "Riga 1: data non valida \"2026-01-01\" (serve gg/mm/aaaa). Nessun valore importato."},
        {"01/01/2026;2.50\n", 1,
         "Riga 1: valore non valido \"2.50\" (serve un numero con la virgola decimale, come "
         "2,50). Nessun valore importato."},
        {"01/01/2026;1.234,5\n", 1,
         "Riga 1: valore non valido \"1.234,5\" (serve un numero con la virgola decimale, come "
         "2,50). Nessun valore importato."},
        {"\n\n01/01/2026;\n", 3,
         "Riga 3: valore non valido \"\" (serve un numero con la virgola decimale, come 2,50). "
         "Nessun valore importato."},
        {"01/01/2026;2,\n", 1,
         "Riga 1: valore non valido \"2,\" (serve un numero con la virgola decimale, come 2,50). "
         "Nessun valore importato."},
        {"01/01/2026;--2\n", 1,
         "Riga 1: valore non valido \"--2\" (serve un numero con la virgola decimale, come "
         "2,50). Nessun valore importato."},
        {"01/01/2026;250\n", 1,
         "Riga 1: valore fuori misura \"250\" (serve un tasso in percentuale fra -100 e 100). "
         "Nessun valore importato."},
        {"01/01/2026\n", 1,
         "Riga 1: servono due campi, Data;Valore, separati da un punto e virgola. Nessun valore "
         "importato."},
        {"01/01/2026;2,00;3,00\n", 1,
         "Riga 1: servono due campi, Data;Valore, separati da un punto e virgola. Nessun valore "
         "importato."},
        // A header is allowed on the first line only.
        {"01/01/2026;2,00\nData;Valore\n", 2,
         "Riga 2: data non valida \"Data\" (serve gg/mm/aaaa). Nessun valore importato."},
        // Two values for one day, however the date is written: which one holds is unclear.
        {"Data;Valore\n01/04/2026;2,50\n01/07/2026;1,75\n1/4/2026;2,60\n", 4,
         "Riga 4: stessa data della riga 2 (01/04/2026). Nessun valore importato."},
        {"01/04/2026;2,50\n\n01/04/2026;2,50\n", 3,
         "Riga 3: stessa data della riga 1 (01/04/2026). Nessun valore importato."},
    };
    for (const Case& c : cases) {
        const IndexFileRefusal refusal = Refusal(ReadIndexSeriesText(c.text));
        EXPECT_EQ(refusal.line, c.line) << c.text;
        EXPECT_EQ(refusal.message, c.message) << c.text;
    }
}

TEST(IndexSeriesFile, FileWithoutValuesOrUnreadable) {
    const std::string none =
        "Il file non contiene valori (righe Data;Valore). Nessun valore importato.";
    EXPECT_EQ(Refusal(ReadIndexSeriesText("")), (IndexFileRefusal{0, none}));
    EXPECT_EQ(Refusal(ReadIndexSeriesText("Data;Valore\r\n\r\n")), (IndexFileRefusal{0, none}));

    testing::TempArchive folder;
    const auto missing = folder.Folder() / "euribor.csv";
    EXPECT_EQ(Refusal(ReadIndexSeriesFile(missing)).message,
              "Impossibile leggere il file \"" + missing.string() + "\". Nessun valore importato.");
    EXPECT_EQ(Refusal(ReadIndexSeriesFile(folder.Folder())).message,
              "Impossibile leggere il file \"" + folder.Folder().string() +
                  "\". Nessun valore importato.");
    // Refused without waiting on it or reading it without end.
    const auto fifo = folder.Folder() / "coda.csv";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto device = folder.Folder() / "null.csv";
    std::filesystem::create_symlink("/dev/null", device);
    for (const auto& file : {fifo, device}) {
        EXPECT_EQ(
            Refusal(ReadIndexSeriesFile(file)).message,
            "Impossibile leggere il file \"" + file.string() + "\". Nessun valore importato.");
    }
    std::ofstream(missing) << "Data;Valore\n01/01/2026;2,00\n";
    EXPECT_EQ(Values(ReadIndexSeriesFile(missing)),
              (std::vector<IndexValue>{{Ymd(2026, 1, 1), 2.0}}));
}

}  // namespace
}  // namespace quotaplan
