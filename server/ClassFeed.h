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

class QHttpServerResponder;
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
  // Called before the waits are looked at: brings the feed up to the runs.
  explicit ClassFeed(std::function<void()> follow);
  ~ClassFeed();

  // Brings the sessions up to the runs, in the order they were made; true
  // when one changed.
  bool Follow(const std::vector<BrowserRun*>& runs);
  std::uint64_t Version() const { return version_; }

  // The sessions changed after `since` (all for 0), with every design's
  // summary and curves, in the page's language.
  QJsonObject Since(std::uint64_t since, ui::Language language) const;
  // The two designs compared, as lines of a caption and a text.
  QJsonObject Compare(const std::string& first, const std::string& second, ui::Language language) const;
  // The summary of the designs as --class-summary writes it.
  std::string SummaryCsv() const;

  // A page's wait for a change after `since`: answered with Since() when
  // one comes or at `until`, whichever is first; dropped when the page goes.
  void Park(QHttpServerResponder responder, QTcpSocket* socket, std::uint64_t since, ui::Language language,
            Clock::time_point until);
  // Answers the waits whose change came or whose time ended.
  void Wake(Clock::time_point now);

 private:
  struct Entry {
    classdata::ClassEntry entry;
    std::size_t answered = 0;
    std::uint64_t version = 0;
  };
  struct Wait;
  std::vector<Entry> entries_;
  std::map<std::string, std::size_t> index_;  // run id -> entry
  std::vector<roc::DesignSummary> designs_;
  std::uint64_t version_ = 0;
  std::vector<std::unique_ptr<Wait>> waits_;
  std::function<void()> follow_;
  QTimer tick_;
};

}  // namespace server
