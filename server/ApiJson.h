#pragma once
#include <QByteArray>
#include <QJsonObject>
#include <cstdint>
#include <string>

#include "experiment/Design.h"
#include "numeric/Result.h"
#include "server/BrowserRuns.h"
#include "ui/qt/Language.h"

namespace server {

// The bodies pages send, checked: a JSON object with the known fields alone,
// each of its type and in its range; the reason of a refusal otherwise.

// POST /api/runs: the observer as typed and the design's name (empty: the
// server's first design).
struct JoinRequest {
  std::string observer;
  std::string design;
};
numeric::Result<JoinRequest> ParseJoin(const QByteArray& body);

// PUT /api/runs/ID/answers/N for a design of `categories` rating categories;
// the page's count of answers it still holds into unsent.
numeric::Result<PageAnswer> ParseAnswer(const QByteArray& body, int categories, std::int64_t& unsent);

// POST /api/runs/ID/status: the page's count of answers it still holds.
numeric::Result<std::int64_t> ParseStatus(const QByteArray& body);

// What a page is handed of a design, in its language: counts, exposure,
// feedback, colours, the rating buttons in the window's order (top first)
// with their codes and captions, and the instruction screen's lines.
QJsonObject DesignJson(const experiment::Design& design, ui::Language language);

// A run as the page gets it: id, write key, design and every trial.
QJsonObject RunJson(const BrowserRun& run, ui::Language language);

}  // namespace server
