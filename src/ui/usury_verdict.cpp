#include "ui/usury_verdict.h"

#include <cstdlib>

namespace quotaplan {

UsuryVerdict UsuryVerdictOf(const std::string& category,
                            const std::optional<UsuryJudgement>& judgement) {
    if (category.empty()) return {"Tipologia senza categoria d'usura", UsuryTone::Grey};
    if (!judgement) return {"Nessuna soglia d'usura in vigore", UsuryTone::Grey};
    const std::string threshold = "(soglia " + PercentText(judgement->threshold, 4) + " %)";
    if (judgement->over) return {"Tasso oltre la soglia d'usura " + threshold, UsuryTone::Red};
    return {"Entro la soglia d'usura " + threshold, UsuryTone::Neutral};
}

}  // namespace quotaplan
