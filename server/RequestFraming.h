#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace server {

// The limits a request must keep before the HTTP server reads it whole.
inline constexpr std::size_t kMaxBodyBytes = 64 * 1024;
inline constexpr std::size_t kMaxHeaderBytes = 16 * 1024;

// Follows the bytes of one connection request by request, as they arrive,
// without keeping them: where each request's header ends and how long its
// body is, so that a request too large is refused before it is read whole
// and a request still arriving can be timed.
class RequestFraming {
 public:
  enum class Verdict {
    kGoOn,            // nothing wrong so far
    kBodyTooLarge,    // 413: Content-Length over kMaxBodyBytes
    kHeaderTooLarge,  // 431: no header end within kMaxHeaderBytes
    kLengthRequired,  // 411: a body without Content-Length (chunked)
    kBadLength,       // 400: a Content-Length that is no number, or two that differ
  };

  // The next bytes of the connection; once a verdict other than kGoOn is
  // given, the connection is to be refused and closed.
  Verdict Feed(std::string_view bytes);
  // A request has begun and has not yet arrived whole.
  bool Partial() const { return inHeader_ ? !header_.empty() : remaining_ > 0; }
  // Requests that arrived whole so far.
  std::int64_t Complete() const { return complete_; }

 private:
  Verdict HeaderEnded();

  bool inHeader_ = true;
  std::string header_;            // the current request's header so far
  std::uint64_t remaining_ = 0;   // body bytes still to come
  std::int64_t complete_ = 0;
};

// The HTTP status that refuses a verdict, and its one-line reason.
int VerdictStatus(RequestFraming::Verdict verdict);
const char* VerdictReason(RequestFraming::Verdict verdict);

}  // namespace server
