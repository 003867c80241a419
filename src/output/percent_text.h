#pragma once

#include <string>

#include "engine/money.h"

namespace quotaplan {

// A rate with the decimal comma and exactly `decimals` decimals (0..4): 17,2250.
std::string PercentText(Percent rate, int decimals);

// A rate with the decimal comma, two decimals at least and every further one it has:
// 10,58; 3,125; 7,00.
std::string ShortPercentText(Percent rate);

// An amount to the cent as the plan shows it: "1.234,56", "-0,07".
std::string AmountText(Money amount);

}  // namespace quotaplan
