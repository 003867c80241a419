#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/calendar_date.h"
#include "data/batch_file.h"
#include "data/database.h"
#include "engine/calculation_request.h"
#include "engine/plan_totals.h"
#include "engine/usury.h"

namespace quotaplan {

// The archive's usury thresholds and the categories of its financing types, read once
// before a batch starts so that the workers never touch the archive.
struct UsuryBook {
    struct Category {
        std::string name;
        std::vector<UsuryRate> rows;
    };
    struct Type {
        std::string name;
        std::string category;  // empty: the type has none
    };
    std::vector<Category> categories;
    std::vector<Type> types;
};

// Reads the book of the open archive. Throws DatabaseError.
UsuryBook ReadUsuryBook(Database& db);

// How a batch runs: its worker threads, the day a missing contract date counts as, the
// usury book when the archive was read (none: a line asking for the check is refused),
// and whether each answer keeps its plan.
struct BatchSettings {
    int jobs = 1;
    CalendarDate today;
    const UsuryBook* usury = nullptr;
    bool keepPlans = false;
};

// What one line of the batch gave: the calculation with its totals and, when asked, its
// usury verdict; or the Italian message of why it could not be calculated.
struct BatchAnswer {
    int line = 0;
    std::string description;
    std::optional<CalcOutcome> outcome;  // its plan emptied unless keepPlans
    Money instalment;                    // as its field shows it (instalment target only)
    PlanTotals totals;                   // of the plan (instalment target only)
    std::string error;                   // set when there is no outcome
};

// One line priced: read (ReadBatchContract), checked and calculated as the calculator does
// (CalculateRequest), then judged against the usury threshold of its category (or its
// financing type's) when it names one. Reads no global; safe on several threads at once.
BatchAnswer PriceBatchLine(const BatchRecord& record, const BatchSettings& settings);

struct BatchCounts {
    int good = 0;
    int bad = 0;
};

// Prices every line of the started reader on settings.jobs threads and gives the answers
// to `answered` in input order, reading ahead a bounded number of lines, so a file of any
// size runs in constant memory. `answered` returns false to stop: no further line is read.
// Returns the lines answered, good and bad.
BatchCounts RunBatch(BatchReader& reader, const BatchSettings& settings,
                     const std::function<bool(const BatchAnswer&)>& answered);

}  // namespace quotaplan
