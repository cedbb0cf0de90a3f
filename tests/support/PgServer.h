#pragma once
// A real PostgreSQL server for tests: a cluster made in a temporary folder,
// listening only on a Unix socket there, run as "nobody" when the tests run
// as root (the server refuses root), stopped and removed at the end.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

class PgServer {
 public:
  PgServer() {
    char pattern[] = "/tmp/rocrating-pg.XXXXXX";
    dir_ = ::mkdtemp(pattern);
    bin_ = Bin();
    if (::geteuid() == 0) {
      Run("chown nobody:nogroup " + dir_);
      as_ = "runuser -u nobody -- ";
    }
    ok_ = !bin_.empty() &&
          Run(as_ + bin_ + "/initdb -D " + dir_ + "/data -A trust -U postgres --no-sync -E UTF8 --locale=C") &&
          Start();
  }
  ~PgServer() {
    Stop();
    std::filesystem::remove_all(dir_);
  }

  bool Ok() const { return ok_; }
  // The connection string of a user on the server's socket.
  std::string ConnInfo(const std::string& user = "postgres") const {
    return "host=" + dir_ + " dbname=postgres user=" + user;
  }
  const std::string& Folder() const { return dir_; }

  bool Start() {
    return Run(as_ + bin_ + "/pg_ctl -D " + dir_ + "/data -l " + dir_ + "/log -w -o \"-k " + dir_ +
               " -c listen_addresses= -F\" start");
  }
  // As a crash would: no shutdown of the sessions.
  bool Stop() { return Run(as_ + bin_ + "/pg_ctl -D " + dir_ + "/data -m immediate -w stop"); }

 private:
  static bool Run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }
  // The newest installed server's programs.
  static std::string Bin() {
    std::string best;
    for (const auto& e : std::filesystem::directory_iterator("/usr/lib/postgresql")) {
      const std::string bin = e.path().string() + "/bin";
      if (std::filesystem::exists(bin + "/initdb") && bin > best) best = bin;
    }
    return best;
  }

  std::string dir_, bin_, as_;
  bool ok_ = false;
};
