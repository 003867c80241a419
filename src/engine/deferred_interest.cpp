#include "engine/deferred_interest.h"

namespace quotaplan {

void SpreadDeferredInterest(std::vector<CentsPlanRow>& rows, std::size_t first, Money amount) {
    if (first >= rows.size() || amount.IsZero()) return;
    const auto count = static_cast<std::int64_t>(rows.size() - first);
    const Money part = Money::FromCents(amount.Cents() / count);
    for (std::size_t k = first; k < rows.size(); ++k) {
        const Money share = k + 1 < rows.size() ? part : amount - Money::FromCents(part.Cents() * (count - 1));
        rows[k].deferredInterest += share;
        rows[k].interest += share;
        rows[k].instalment += share;
    }
}

Money TakeDeferredInterest(std::vector<CentsPlanRow>& rows, std::size_t first) {
    Money sum;
    for (std::size_t k = first; k < rows.size(); ++k) {
        CentsPlanRow& row = rows[k];
        sum += row.deferredInterest;
        row.interest -= row.deferredInterest;
        row.instalment -= row.deferredInterest;
        row.deferredInterest = Money();
    }
    return sum;
}

}  // namespace quotaplan
