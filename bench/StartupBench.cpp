// Start-up of the program on a real X display: the wall time from starting
// rocrating to the mapping of its main window ("Form1"), and the program's
// resident memory at that moment. Targets: at most 60 ms and 40 MiB (medians).
//
// The baseline is a Qt window with one label of Japanese text in IPAPGothic
// (bench/baseline/LabelledWindow.cpp, titled "LabelledWindow"), which pays
// for fontconfig and a Japanese face as the program must; an empty Qt window
// (bench/baseline/EmptyWindow.cpp) is timed beside it for reference. Each
// repetition starts every one of them, one after the other, so that a change
// of the machine's load meets all alike. Target: the program within 1.05
// times the labelled window. --previous=PATH adds another build of the
// program (an earlier commit's, say) to each repetition.
//
// The main window's mapping is seen from outside, as the X server reports it:
// this process listens for MapNotify on the root window before it starts the
// program. Under a window manager the program's window is mapped inside a
// frame, so a mapped window counts when it or one of its descendants is named
// "Form1".
//
// Needs DISPLAY. The program paths are compiled in; positional arguments
// (the program, then the labelled and the empty window) replace them.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

// After the benchmark header: Xlib defines macros (Status, Bool, None) that
// must not reach it.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#ifndef ROCRATING_PROGRAM
#define ROCRATING_PROGRAM "rocrating"
#endif
#ifndef EMPTY_WINDOW_PROGRAM
#define EMPTY_WINDOW_PROGRAM "empty_window"
#endif
#ifndef LABELLED_WINDOW_PROGRAM
#define LABELLED_WINDOW_PROGRAM "labelled_window"
#endif

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kTimeoutMs = 10000;

Display* gDisplay = nullptr;

struct Program {
  std::string path;
  const char* windowName;
};
Program gProgram{ROCRATING_PROGRAM, "Form1"};
Program gLabelled{LABELLED_WINDOW_PROGRAM, "LabelledWindow"};
Program gEmpty{EMPTY_WINDOW_PROGRAM, "EmptyWindow"};
Program gPrevious{"", "Form1"};  // optional

// Windows come and go while we look at them; a vanished one is simply not it.
int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

bool PropertyIs(Window w, Atom property, const char* text) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  const int rc =
      XGetWindowProperty(gDisplay, w, property, 0, 256, False, AnyPropertyType, &type, &format, &count, &after, &data);
  bool same = false;
  if (rc == Success && data != nullptr && format == 8) {
    same = count == std::strlen(text) && std::memcmp(data, text, count) == 0;
  }
  if (data != nullptr) XFree(data);
  return same;
}

// The window or one of its descendants (down to a frame's depth) carries the name.
bool IsNamed(Window w, const char* name, int depth) {
  static const Atom wmName = XInternAtom(gDisplay, "WM_NAME", False);
  static const Atom netWmName = XInternAtom(gDisplay, "_NET_WM_NAME", False);
  if (PropertyIs(w, wmName, name) || PropertyIs(w, netWmName, name)) return true;
  if (depth == 0) return false;
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned int n = 0;
  if (XQueryTree(gDisplay, w, &root, &parent, &children, &n) == 0) return false;
  bool found = false;
  for (unsigned int i = 0; i < n && !found; ++i) found = IsNamed(children[i], name, depth - 1);
  if (children != nullptr) XFree(children);
  return found;
}

// VmRSS of the process in MiB; -1 when unreadable.
double ResidentMiB(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtod(line.c_str() + 6, nullptr) / 1024;
  }
  return -1;
}

struct Launch {
  double ms = 0;
  double rssMiB = 0;
  std::string error;  // empty on success
};

pid_t StartProgram(const std::string& path) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  // The child: the real X platform, quiet output.
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  const int null = open("/dev/null", O_WRONLY);
  if (null >= 0) {
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
  }
  execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
  _exit(127);
}

void StopProgram(pid_t pid) {
  kill(pid, SIGTERM);
  int status = 0;
  for (int i = 0; i < 200; ++i) {
    if (waitpid(pid, &status, WNOHANG) == pid) return;
    usleep(10000);
  }
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
}

Launch StartOnce(const Program& program) {
  Launch result;
  XSync(gDisplay, True);  // forget events of earlier runs

  const Clock::time_point start = Clock::now();
  const pid_t pid = StartProgram(program.path);
  if (pid < 0) {
    result.error = "fork failed";
    return result;
  }

  const Clock::time_point deadline = start + std::chrono::milliseconds(kTimeoutMs);
  for (;;) {
    while (XPending(gDisplay) > 0) {
      XEvent ev;
      XNextEvent(gDisplay, &ev);
      if (ev.type != MapNotify) continue;
      const Clock::time_point mapped = Clock::now();
      if (!IsNamed(ev.xmap.window, program.windowName, 3)) continue;
      result.ms = std::chrono::duration<double, std::milli>(mapped - start).count();
      result.rssMiB = ResidentMiB(pid);
      StopProgram(pid);
      return result;
    }
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      result.error = program.path + " ended before its window was mapped (exit status " +
                     std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + ")";
      return result;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
      StopProgram(pid);
      result.error = program.path + ": no window within " + std::to_string(kTimeoutMs) + " ms";
      return result;
    }
    pollfd fd{ConnectionNumber(gDisplay), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(std::min<long long>(left, 50)));
  }
}

void BM_StartupToMainWindow(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<const Program*> order{&gProgram, &gLabelled, &gEmpty};
    if (!gPrevious.path.empty()) order.push_back(&gPrevious);
    std::vector<Launch> runs;
    for (const Program* p : order) {
      runs.push_back(StartOnce(*p));
      if (!runs.back().error.empty()) break;
    }
    if (!runs.back().error.empty()) {
      state.SkipWithError(runs.back().error.c_str());
      break;
    }
    state.SetIterationTime(runs[0].ms / 1000);
    state.counters["rss_MiB"] = runs[0].rssMiB;
    state.counters["labelled_ms"] = runs[1].ms;
    state.counters["empty_ms"] = runs[2].ms;
    state.counters["ratio"] = runs[0].ms / runs[1].ms;
    if (runs.size() == 4) state.counters["previous_ms"] = runs[3].ms;
  }
}
BENCHMARK(BM_StartupToMainWindow)
    ->Iterations(1)
    ->Repetitions(15)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a.rfind("--previous=", 0) == 0) {
      gPrevious.path = a.substr(11);
    } else if (a[0] == '-' || positional.size() == 3) {
      benchmark::ReportUnrecognizedArguments(argc, argv);
      return 1;
    } else {
      positional.push_back(a);
    }
  }
  Program* const paths[] = {&gProgram, &gLabelled, &gEmpty};
  for (std::size_t i = 0; i < positional.size(); ++i) paths[i]->path = positional[i];

  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') {
    std::fprintf(stderr, "StartupBench: no display (set DISPLAY to an X server, e.g. one of Xvfb)\n");
    return 2;
  }
  gDisplay = XOpenDisplay(nullptr);
  if (gDisplay == nullptr) {
    std::fprintf(stderr, "StartupBench: cannot open display %s\n", display);
    return 2;
  }
  std::vector<const Program*> all{&gProgram, &gLabelled, &gEmpty};
  if (!gPrevious.path.empty()) all.push_back(&gPrevious);
  for (const Program* p : all) {
    if (access(p->path.c_str(), X_OK) != 0) {
      std::fprintf(stderr, "StartupBench: %s is not an executable program\n", p->path.c_str());
      return 2;
    }
  }
  XSetErrorHandler(IgnoreXErrors);
  XSelectInput(gDisplay, DefaultRootWindow(gDisplay), SubstructureNotifyMask);
  XSync(gDisplay, False);

  // One uncounted start of each: loads them and their libraries into the page cache.
  for (const Program* p : all) {
    const Launch warmUp = StartOnce(*p);
    if (!warmUp.error.empty()) {
      std::fprintf(stderr, "StartupBench: %s\n", warmUp.error.c_str());
      return 1;
    }
  }

  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  XCloseDisplay(gDisplay);
  return 0;
}
