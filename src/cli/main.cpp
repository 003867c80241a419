#include <iostream>
#include <string>
#include <vector>

#include "cli/calc_command.h"
#include "common/program_info.h"

int main(int argc, char** argv) {
    quotaplan::SetProgramTitle("Quotaplan");
    const std::vector<std::string> args(argv + 1, argv + argc);
    return quotaplan::RunCalcCommand(args, std::cout, std::cerr);
}
