#pragma once
#include <string>
#include <string_view>

#include "numeric/Result.h"

namespace store {

// A class database named on the command line: any libpq connection string
// ("host=/run/postgresql dbname=rocrating", "service=rocrating") or URI
// ("postgresql://student@labdb/rocrating").
struct ConnInfo {
  std::string options;  // keyword='value' pairs as libpq reads them; sslmode and the rest pass through
  std::string shown;    // what messages name: the text as given
};

// Whether a command-line argument names a database rather than a file.
bool LooksLikeConnInfo(std::string_view text);

// The connection string parsed, or why it is refused: what libpq cannot
// parse, and any password (the process list would show it to every user of
// the machine).
numeric::Result<ConnInfo> ParseConnInfo(const std::string& text);

}  // namespace store
