#pragma once

#include <optional>
#include <string>

#include "engine/usury.h"
#include "output/percent_text.h"

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

}  // namespace quotaplan
