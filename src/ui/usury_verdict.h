#pragma once

#include <optional>
#include <string>

#include "engine/usury.h"

namespace quotaplan {

// How the verdict is shown beside the TAEG: a plain text, a grey note (no judgement), or
// the red warning.
enum class UsuryTone { Neutral, Grey, Red };

struct UsuryVerdict {
    std::string text;
    UsuryTone tone = UsuryTone::Grey;
    friend bool operator==(const UsuryVerdict&, const UsuryVerdict&) = default;
};

// The verdict's text: over the threshold "Tasso oltre la soglia d'usura (soglia 17,2250 %)"
// in red; within it "Entro la soglia d'usura (soglia 17,2250 %)"; no threshold in force
// "Nessuna soglia d'usura in vigore" and a financing type without a usury category
// (`category` empty) "Tipologia senza categoria d'usura", both in grey.
UsuryVerdict UsuryVerdictOf(const std::string& category,
                            const std::optional<UsuryJudgement>& judgement);

// A rate with the decimal comma and exactly `decimals` decimals (0..4): 17,2250.
std::string PercentText(Percent rate, int decimals);

// A rate with the decimal comma, two decimals at least and every further one it has:
// 10,58; 3,125; 7,00.
std::string ShortPercentText(Percent rate);

}  // namespace quotaplan
