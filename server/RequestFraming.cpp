#include "server/RequestFraming.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace server {

namespace {

bool SameLetters(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// A decimal Content-Length; nullopt when it is none.
std::optional<std::uint64_t> Length(std::string_view text) {
  if (text.empty() || text.size() > 18) return std::nullopt;
  std::uint64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return v;
}

}  // namespace

RequestFraming::Verdict RequestFraming::Feed(std::string_view bytes) {
  while (!bytes.empty()) {
    if (!inHeader_) {
      const std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(remaining_, bytes.size()));
      remaining_ -= take;
      bytes.remove_prefix(take);
      if (remaining_ == 0) inHeader_ = true, ++complete_;
      continue;
    }
    // Blank lines between requests are allowed before a request line.
    if (header_.empty() && (bytes.front() == '\r' || bytes.front() == '\n')) {
      bytes.remove_prefix(1);
      continue;
    }
    const std::size_t before = header_.size();
    header_.append(bytes.substr(0, kMaxHeaderBytes + 4 - std::min(before, kMaxHeaderBytes + 4)));
    std::size_t end = header_.find("\r\n\r\n", before < 3 ? 0 : before - 3);
    std::size_t endLength = 4;
    if (const std::size_t lf = header_.find("\n\n", before < 1 ? 0 : before - 1); lf < end) end = lf, endLength = 2;
    if (end == std::string::npos) {
      if (header_.size() > kMaxHeaderBytes) return Verdict::kHeaderTooLarge;
      bytes.remove_prefix(header_.size() - before);
      continue;
    }
    bytes.remove_prefix(end + endLength - before);
    header_.resize(end);
    if (const Verdict v = HeaderEnded(); v != Verdict::kGoOn) return v;
    header_.clear();
  }
  return Verdict::kGoOn;
}

// The header of a request is whole in header_: its body's length.
RequestFraming::Verdict RequestFraming::HeaderEnded() {
  std::optional<std::uint64_t> length;
  std::size_t at = header_.find('\n');
  while (at != std::string::npos) {
    const std::size_t next = header_.find('\n', at + 1);
    const std::string_view line =
        std::string_view(header_).substr(at + 1, next == std::string::npos ? std::string::npos : next - at - 1);
    at = next;
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view name = Trimmed(line.substr(0, colon));
    const std::string_view value = Trimmed(line.substr(colon + 1));
    if (SameLetters(name, "transfer-encoding")) return Verdict::kLengthRequired;
    if (!SameLetters(name, "content-length")) continue;
    const auto v = Length(value);
    if (!v || (length && *length != *v)) return Verdict::kBadLength;
    length = v;
  }
  if (length.value_or(0) > kMaxBodyBytes) return Verdict::kBodyTooLarge;
  remaining_ = length.value_or(0);
  if (remaining_ > 0) {
    inHeader_ = false;
  } else {
    ++complete_;
  }
  return Verdict::kGoOn;
}

int VerdictStatus(RequestFraming::Verdict verdict) {
  switch (verdict) {
    case RequestFraming::Verdict::kBodyTooLarge: return 413;
    case RequestFraming::Verdict::kHeaderTooLarge: return 431;
    case RequestFraming::Verdict::kLengthRequired: return 411;
    case RequestFraming::Verdict::kBadLength: return 400;
    case RequestFraming::Verdict::kGoOn: break;
  }
  return 200;
}

const char* VerdictReason(RequestFraming::Verdict verdict) {
  switch (verdict) {
    case RequestFraming::Verdict::kBodyTooLarge: return "the body is larger than 64 KiB";
    case RequestFraming::Verdict::kHeaderTooLarge: return "the request's header is larger than 16 KiB";
    case RequestFraming::Verdict::kLengthRequired: return "a body needs a Content-Length";
    case RequestFraming::Verdict::kBadLength: return "the Content-Length is not one number";
    case RequestFraming::Verdict::kGoOn: break;
  }
  return "";
}

}  // namespace server
