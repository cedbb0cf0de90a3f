#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "numeric/Result.h"
#include "ui/qt/Language.h"

namespace shell {

// --serve and its options as the command line gives them.
struct ServeRequest {
  std::string address = "0.0.0.0";  // --listen ADDR:PORT; all interfaces by default
  std::uint16_t port = 8080;
  bool anyAddress = true;               // listen on every interface (IPv4 and IPv6)
  std::vector<std::string> designFiles;  // --design FILE...
  std::optional<std::string> data;       // --data DIR; "none": no files
  std::optional<std::string> store;      // --store CONNINFO
  std::optional<std::uint32_t> seed;
  std::optional<std::string> tlsCert, tlsKey;
  ui::Language language = ui::Language::kJapanese;  // of the server's own lines; the pages choose theirs
};

// "ADDR:PORT", "[IPv6]:PORT" or ":PORT" into request; why not, if not.
numeric::Status ParseListen(const std::string& text, ServeRequest& request);

// Serves the experiment to browsers until SIGINT or SIGTERM: 0 then; 2 when
// it cannot start (a design file, the data folder, the address, the TLS
// files), with the reason on standard error.
int RunServe(const ServeRequest& request, int argc, char** argv);

}  // namespace shell
