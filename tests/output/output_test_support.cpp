#include "output_test_support.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "engine/contract_calculation.h"
#include "engine/plan_builder.h"
#include "engine/rate_schedule.h"

namespace quotaplan::test {

TempFolder::TempFolder() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("quotaplan-output-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code error;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, error);
    std::filesystem::remove_all(path_, error);
}

std::string RunReader(const std::string& commandLine) {
    std::string output;
    FILE* pipe = ::popen(commandLine.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot run " << commandLine;
        return output;
    }
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
    const int status = ::pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "reader failed: " << commandLine << "\n"
        << output;
    return output;
}

static std::string Quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string PythonReader(const std::string& script, const std::filesystem::path& file,
                         const std::string& extra) {
    return Quoted(QUOTAPLAN_PYTHON3) + " " +
           Quoted((std::filesystem::path(QUOTAPLAN_OUTPUT_TEST_DIR) / script).string()) + " " +
           Quoted(file.string()) + (extra.empty() ? "" : " " + Quoted(extra));
}

std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary);
    out << bytes;
}

std::vector<std::vector<std::string>> SplitLines(const std::string& text) {
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (;;) {
            const std::size_t tab = line.find('\t', start);
            fields.push_back(line.substr(start, tab - start));
            if (tab == std::string::npos) break;
            start = tab + 1;
        }
        lines.push_back(fields);
    }
    return lines;
}

std::vector<std::vector<std::string>> ReadPdfPages(const std::filesystem::path& file) {
    std::vector<std::vector<std::string>> pages;
    for (const auto& fields : SplitLines(RunReader(PythonReader("read_pdf.py", file)))) {
        if (fields[0] == "page") pages.emplace_back();
        if (fields[0] == "line" && !pages.empty()) pages.back().push_back(fields[1]);
    }
    return pages;
}

std::vector<std::string> FileNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

ContractFormTexts SampleForm() {
    ContractFormTexts form;
    form.tipo = "Leasing";
    form.descrizione = "Città: A/B";
    form.valBene = "10000";
    form.maxi = "1234,5";
    form.spread = "1";
    form.tasso = "5,125";
    form.txRif = "Euribor 3 mesi";
    form.rate = "3";
    form.periodicita = "Mensile";
    form.riscatto = "1000";
    form.dataContratto = "15/01/2006";
    form.capitalizzazioneSemplice = false;
    form.pagamentoAnticipato = true;
    return form;
}

static PlanRow Row(int year, int month, int day, float rate, float capital, float interest,
                   float residual) {
    PlanRow row;
    row.Data = CalendarDate::FromYmdCarrying(year, month, day);
    row.Tasso = rate;
    row.QCapitale = capital;
    row.QInteressi = interest;
    row.Importo = capital + interest;
    row.DebitoRes = residual;
    return row;
}

FinancialPlan SmallPlan() {
    FinancialPlan plan;
    plan.PlanReady = true;
    plan.Valore = 10000;
    plan.Maxicanone = 1234.5f;
    plan.DataMaxi = CalendarDate::FromYmdCarrying(2006, 1, 15);
    plan.Riscatto = 1000;
    plan.InteressiRiscatto = 9.7f;
    plan.DataRiscatto = CalendarDate::FromYmdCarrying(2007, 3, 15);
    plan.rows = {Row(2006, 2, 15, 0.06f, 2950.5f, 45, 6049.5f),
                 Row(2006, 3, 15, 0.06f, 2965.25f, 30.25f, 3084.25f),
                 Row(2006, 4, 15, 0.05125f, 2084.25f, 15.42f, 1000)};
    return plan;
}

FinancialPlan EngineMonthlyPlan(int n, float buyout) {
    FinancialPlan plan;
    BuildPlan(plan, 10000, 0, buyout, static_cast<std::int16_t>(n), 12, 0.06f, 2, true, false,
              false, *CalendarDate::FromYmd(2006, 1, 15), *CalendarDate::FromYmd(2006, 2, 15),
              CalendarDate(), std::vector<float>(static_cast<std::size_t>(n), 0.06f), 1);
    return plan;
}

FinancialPlan EngineCentsPlan(int n) {
    ContractTerms terms;
    terms.NumRate = static_cast<std::int16_t>(n);
    terms.Tasso = 6;
    terms.DataContratto = *CalendarDate::FromYmd(2006, 1, 15);
    terms.DataInizio = *CalendarDate::FromYmd(2006, 2, 15);
    ExactAmounts exact;
    exact.value = Money::FromCents(1000000);
    FinancialPlan plan;
    CalculateInstalmentToTheCent(terms, exact, RatesForPlan({}, terms.NumRate, 6), plan);
    return plan;
}

FinancialPlan LongPlan(int n, bool withMaxiAndBuyout) {
    FinancialPlan plan;
    plan.PlanReady = true;
    plan.Valore = 100000;
    plan.DataMaxi = CalendarDate::FromYmdCarrying(2006, 1, 15);
    if (withMaxiAndBuyout) {
        plan.Maxicanone = 5000;
        plan.Riscatto = 2500;
    }
    for (int i = 0; i < n; ++i) {
        plan.rows.push_back(Row(2006, 2 + i, 15, 0.06f, 100.0f + static_cast<float>(i % 1000),
                                12.5f, static_cast<float>(n - i) * 10.0f));
    }
    return plan;
}

}  // namespace quotaplan::test
