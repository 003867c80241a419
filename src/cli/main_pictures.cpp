// quotaplan-calc-pictures: the calculator with Qt, which quotaplan-calc hands its PDF and
// PNG exports and its expert review over to.
#include <iostream>
#include <string>
#include <vector>

#include "cli/drawn_pictures.h"
#include "cli/picture_program.h"
#include "cli/quotaplan_calc.h"
#include "cli/review_command.h"
#include "common/program_info.h"

int main(int argc, char** argv) {
    quotaplan::SetProgramTitle("Quotaplan");
    const std::vector<std::string> args(argv + 1, argv + argc);
    return quotaplan::RunQuotaplanCalc(args, std::cout, std::cerr, quotaplan::PictureProgramFiles(),
                                       quotaplan::DrawnPictures(), quotaplan::RunReviewCommand);
}
