#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "engine/financial_plan.h"
#include "output/contract_header.h"

namespace quotaplan::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Runs a reader program through the shell and returns what it printed; a failing exit
// status is a test failure.
std::string RunReader(const std::string& commandLine);

// The command line of one of this folder's Python readers on a file.
std::string PythonReader(const std::string& script, const std::filesystem::path& file,
                         const std::string& extra = "");

std::string ReadBytes(const std::filesystem::path& file);
void WriteBytes(const std::filesystem::path& file, const std::string& bytes);

// Splits a reader's output into lines and each line into its tab-separated fields.
std::vector<std::vector<std::string>> SplitLines(const std::string& text);

// The non-empty lines of each page of a PDF as pdftotext lays them out (read_pdf.py):
// blanks squeezed, ligatures unfolded.
std::vector<std::vector<std::string>> ReadPdfPages(const std::filesystem::path& file);

// Cells as pdftotext reads a row of them: one blank apart.
template <typename Cells>
std::string Joined(const Cells& cells) {
    std::string line;
    for (const std::string& cell : cells) line += (line.empty() ? "" : " ") + cell;
    return line;
}

// The names of the files in a folder, hidden ones included.
std::vector<std::string> FileNames(const std::filesystem::path& folder);

// The form used across these tests: "Città: A/B", amounts that need grouping, a rate with
// three decimals, payment in advance.
ContractFormTexts SampleForm();

// Three instalments with a maxi of 1234.5 and a buy-out of 1000 (interest 9.70, dated
// 15/03/2007); instalment 3 has the rate 5.125 %.
FinancialPlan SmallPlan();

// The plan the engine builds for 10.000 at 6 % in n monthly instalments from 15/02/2006
// (contract of 15/01/2006, in arrears, compound), with the buy-out given.
FinancialPlan EngineMonthlyPlan(int n, float buyout = 0);

// The same contract's plan to the cent.
FinancialPlan EngineCentsPlan(int n);

// n monthly instalments from 15/02/2006, without maxi and buy-out unless asked.
FinancialPlan LongPlan(int n, bool withMaxiAndBuyout = false);

}  // namespace quotaplan::test
