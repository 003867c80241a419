#include <iostream>
#include <string>
#include <vector>

#include "cli/picture_program.h"
#include "cli/quotaplan_calc.h"
#include "common/program_folder.h"
#include "common/program_info.h"

int main(int argc, char** argv) {
    quotaplan::SetProgramTitle("Quotaplan");
    const std::vector<std::string> args(argv + 1, argv + argc);
    return quotaplan::RunQuotaplanCalc(
        args, std::cout, std::cerr, quotaplan::ThisProgramFiles(),
        quotaplan::PicturesByProgram(args, quotaplan::ProgramFolder()));
}
