#pragma once
#include <QJsonObject>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "classdata/ClassLoader.h"
#include "stats/ClassSummary.h"
#include "ui/qt/Language.h"

class QTcpSocket;

namespace server {

class BrowserRun;

// The class as the teacher's page follows it: each run a session of the
// class view, refitted only when its answers changed, and each change
// numbered, so that a page asks for the sessions changed since the number it
// has and is sent those alone. The texts are the class window's.
class ClassFeed {
 public:
  using Clock = std::chrono::steady_clock;
  // Called before the streams are served: brings the feed up to the runs.
  explicit ClassFeed(std::function<void()> follow);
  ~ClassFeed();

  // Brings the sessions up to the runs, in the order they were made; true
  // when one changed.
  bool Follow(const std::vector<BrowserRun*>& runs);
  std::uint64_t Version() const { return version_; }

  // The sessions changed after `since` (all for 0), with every design's
  // summary and curves, in the page's language; the summaries and the
  // comparison over the whole runs alone unless `withIncomplete`.
  QJsonObject Since(std::uint64_t since, ui::Language language, bool withIncomplete) const;
  // The two designs compared, as lines of a caption and a text.
  QJsonObject Compare(const std::string& first, const std::string& second, ui::Language language,
                      bool withIncomplete) const;
  // The summary of the designs as --class-summary writes it.
  std::string SummaryCsv(bool withIncomplete) const;

  // A page's stream of changes on its connection (server-sent events,
  // written on the socket itself: the HTTP server answers a request once):
  // at once the sessions changed after `since`, then each change as it comes,
  // every event's id the version it brings the page to.
  void Stream(QTcpSocket* socket, std::uint64_t since, ui::Language language, bool withIncomplete);
  // Sends each stream what changed since its last event; a comment to one
  // quiet for long, so that neither end takes it for idle.
  void Push(Clock::time_point now);

 private:
  struct Entry {
    classdata::ClassEntry entry;
    std::size_t answered = 0;
    std::uint64_t version = 0;
  };
  struct Listener;
  void Send(Listener& listener, Clock::time_point now) const;
  std::vector<Entry> entries_;
  std::map<std::string, std::size_t> index_;  // run id -> entry
  std::vector<roc::DesignSummary> designs_[2];  // without and with the incomplete runs
  std::uint64_t version_ = 0;
  std::vector<std::unique_ptr<Listener>> listeners_;
  std::function<void()> follow_;
  QTimer tick_;
};

}  // namespace server
