#pragma once
#include <QJsonObject>
#include <optional>
#include <string>

#include "stats/BinormalFit.h"
#include "stats/RatingCounts.h"

namespace server {

class BrowserRun;

// The maximum-likelihood fit of a run's recorded counts as a page gets it
// (GET /api/runs/ID/fit): the counts, the estimates with what follows from
// them, or, when the counts cannot be fitted, the obstacle's key among the
// page's texts. Numbers go out at full precision, so that the page's
// deviance of the fit by eye is the analysis window's.
QJsonObject FitJson(const roc::RatingCounts& counts, const std::optional<roc::BinormalFit>& fit);

// A run's rows as a per-trial file of the class format.
std::string RowsCsv(const BrowserRun& run);

}  // namespace server
