#include "ui/usury_verdict.h"

#include <cstdlib>

namespace quotaplan {

std::string PercentText(Percent rate, int decimals) {
    const std::int64_t units = rate.Rounded(decimals).TenThousandths();
    const std::int64_t magnitude = std::llabs(units);
    std::string text = (units < 0 ? "-" : "") + std::to_string(magnitude / 10000);
    if (decimals > 0) {
        const std::string fraction = std::to_string(10000 + magnitude % 10000).substr(1);
        text += "," + fraction.substr(0, static_cast<std::size_t>(decimals));
    }
    return text;
}

std::string ShortPercentText(Percent rate) {
    for (int decimals = 2; decimals < 4; ++decimals) {
        if (rate.Rounded(decimals) == rate) return PercentText(rate, decimals);
    }
    return PercentText(rate, 4);
}

UsuryVerdict UsuryVerdictOf(const std::string& category,
                            const std::optional<UsuryJudgement>& judgement) {
    if (category.empty()) return {"Tipologia senza categoria d'usura", UsuryTone::Grey};
    if (!judgement) return {"Nessuna soglia d'usura in vigore", UsuryTone::Grey};
    const std::string threshold = "(soglia " + PercentText(judgement->threshold, 4) + " %)";
    if (judgement->over) return {"Tasso oltre la soglia d'usura " + threshold, UsuryTone::Red};
    return {"Entro la soglia d'usura " + threshold, UsuryTone::Neutral};
}

}  // namespace quotaplan
