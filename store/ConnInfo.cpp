#include "ConnInfo.h"

#include <dlfcn.h>
#include <libpq-fe.h>

namespace store {

namespace {

// libpq's parser, loaded on first use: linked in, libpq and the twenty
// libraries it needs (TLS, Kerberos, LDAP) would load at every start of the
// program, with a database or without. The PostgreSQL driver of Qt loads the
// same library when a database is opened.
struct Libpq {
  decltype(&PQconninfoParse) parse = nullptr;
  decltype(&PQconninfoFree) free = nullptr;
  decltype(&PQfreemem) freemem = nullptr;
};

const Libpq* LoadLibpq() {
  static const Libpq loaded = [] {
    Libpq l;
    if (void* handle = ::dlopen("libpq.so.5", RTLD_NOW | RTLD_LOCAL)) {
      l.parse = reinterpret_cast<decltype(l.parse)>(::dlsym(handle, "PQconninfoParse"));
      l.free = reinterpret_cast<decltype(l.free)>(::dlsym(handle, "PQconninfoFree"));
      l.freemem = reinterpret_cast<decltype(l.freemem)>(::dlsym(handle, "PQfreemem"));
    }
    return l;
  }();
  return loaded.parse && loaded.free && loaded.freemem ? &loaded : nullptr;
}

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

numeric::Result<ConnInfo> ParseConnInfo(const std::string& text) {
  const Libpq* pq = LoadLibpq();
  if (pq == nullptr) {
    return numeric::Fail("cannot read the connection string \"" + text +
                         "\": libpq.so.5 (Debian package libpq5) is missing");
  }
  char* error = nullptr;
  PQconninfoOption* options = pq->parse(text.c_str(), &error);
  if (options == nullptr) {
    std::string why = error != nullptr ? error : "out of memory";
    pq->freemem(error);
    while (!why.empty() && (why.back() == '\n' || why.back() == ' ')) why.pop_back();
    return numeric::Fail("cannot read the connection string \"" + text + "\": " + why);
  }
  ConnInfo info{{}, text};
  bool password = false;
  for (PQconninfoOption* o = options; o->keyword != nullptr; ++o) {
    if (o->val == nullptr) continue;
    if (std::string_view(o->keyword) == "password") password = true;
    if (!info.options.empty()) info.options += ' ';
    info.options += std::string(o->keyword) + '=' + Quoted(o->val);
  }
  pq->free(options);
  if (password) {
    return numeric::Fail(
        "the connection string holds a password, which every user of this machine could read in the process list: "
        "put it in ~/.pgpass (or the file PGPASSFILE names), or name a service (service=NAME) whose entry in "
        "~/.pg_service.conf holds the connection");
  }
  return info;
}

}  // namespace store
