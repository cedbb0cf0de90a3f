#include "ConnInfo.h"

#include <libpq-fe.h>

namespace store {

namespace {

// A value as libpq's keyword='value' syntax has it: in quotes, with quotes
// and backslashes escaped.
std::string Quoted(const char* value) {
  std::string quoted = "'";
  for (const char* c = value; *c != '\0'; ++c) {
    if (*c == '\'' || *c == '\\') quoted += '\\';
    quoted += *c;
  }
  return quoted + "'";
}

}  // namespace

bool LooksLikeConnInfo(std::string_view text) {
  return text.starts_with("postgresql://") || text.starts_with("postgres://") ||
         text.find('=') != std::string_view::npos;
}

std::variant<ConnInfo, std::string> ParseConnInfo(const std::string& text) {
  char* error = nullptr;
  PQconninfoOption* options = PQconninfoParse(text.c_str(), &error);
  if (options == nullptr) {
    std::string why = error != nullptr ? error : "out of memory";
    PQfreemem(error);
    while (!why.empty() && (why.back() == '\n' || why.back() == ' ')) why.pop_back();
    return "cannot read the connection string \"" + text + "\": " + why;
  }
  ConnInfo info{{}, text};
  bool password = false;
  for (PQconninfoOption* o = options; o->keyword != nullptr; ++o) {
    if (o->val == nullptr) continue;
    if (std::string_view(o->keyword) == "password") password = true;
    if (!info.options.empty()) info.options += ' ';
    info.options += std::string(o->keyword) + '=' + Quoted(o->val);
  }
  PQconninfoFree(options);
  if (password) {
    return std::string("the connection string holds a password, which every user of this machine could read in the "
                       "process list: put it in ~/.pgpass (or the file PGPASSFILE names), or name a service "
                       "(service=NAME) whose entry in ~/.pg_service.conf holds the connection");
  }
  return info;
}

}  // namespace store
