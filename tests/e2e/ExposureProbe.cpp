// Watches what reaches the screen in the experiment window's picture and
// prints a line each time it changes between a stimulus grid and anything
// else:
//
//   exposure_probe WINDOW [X Y W H]
//
//   ready                        the watch is in place
//   <t> <server> grid <brown>    a full 10 x 10 grid of green and maroon cells
//   <t> <server> none            no green or maroon cell in the top row
//   <t> <server> other           anything else (a half-drawn or wrong picture)
//   <t> <server> unmapped        the window was unmapped (or is not viewable)
//
// <t> is CLOCK_MONOTONIC in milliseconds when the probe read the event,
// <server> the X server's timestamp of the damage in whole milliseconds (0 for
// the first line and for mapping and unmapping).
//
// WINDOW is an X window id (decimal or 0x hex), the area is in its client
// coordinates (default 0 0 500 500, the picture). The probe ends when the
// window is destroyed or on a signal.
//
// How the time is taken: the X Damage extension sends an event whenever the
// server draws into the window; the probe stamps each event with
// CLOCK_MONOTONIC as it reads it, then reads pixels back (XGetImage) to
// classify the picture. Stamping on receipt adds the probe's own wake-up
// delay; the server's stamp has none but counts whole milliseconds only.
// Both are printed; the user picks.
#include <poll.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

namespace {

bool gXError = false;
int NoteXError(Display*, XErrorEvent*) {
  gXError = true;
  return 0;
}

double NowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

struct Area {
  int x = 0, y = 0, w = 500, h = 500;
};

// RGB of one pixel of a ZPixmap image, 0xRRGGBB.
unsigned long Rgb(XImage* img, int x, int y) {
  const unsigned long p = XGetPixel(img, x, y);
  auto channel = [p](unsigned long mask) -> unsigned long {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0) ++shift;
    const unsigned long v = (p & mask) >> shift;
    const unsigned long max = mask >> shift;
    return v * 255 / max;
  };
  return channel(img->red_mask) << 16 | channel(img->green_mask) << 8 | channel(img->blue_mask);
}

bool IsGridColour(unsigned long rgb) { return rgb == 0x008000 || rgb == 0x800000; }

// The picture, sampled as the screenshot checks do: every cell's centre, a
// point off the centre (a cell is one colour) and its top-left corner (the
// white outline between cells). A first look reads only the middle row of the
// top cells, which keeps the read-back short for the screens without a grid:
// damage that arrives meanwhile waits in the queue and would be stamped late.
std::string Classify(Display* dpy, Window win, const Area& a) {
  const int cw = a.w / 10, ch = a.h / 10;
  gXError = false;
  XImage* row = XGetImage(dpy, win, a.x, a.y + ch / 2, a.w, 1, AllPlanes, ZPixmap);
  if (row == nullptr || gXError) {
    if (row != nullptr) XDestroyImage(row);
    return "unmapped";
  }
  int coloured = 0;
  for (int c = 0; c < 10; ++c) coloured += IsGridColour(Rgb(row, c * cw + cw / 2, 0));
  XDestroyImage(row);
  if (coloured == 0) return "none";
  if (coloured < 10) return "other";

  XImage* img = XGetImage(dpy, win, a.x, a.y, a.w, a.h, AllPlanes, ZPixmap);
  if (img == nullptr || gXError) {
    if (img != nullptr) XDestroyImage(img);
    return "unmapped";
  }
  int cells = 0, maroon = 0;
  for (int r = 0; r < 10; ++r) {
    for (int c = 0; c < 10; ++c) {
      const unsigned long mid = Rgb(img, c * cw + cw / 2, r * ch + ch / 2);
      maroon += mid == 0x800000;
      cells += IsGridColour(mid) && Rgb(img, c * cw + cw * 22 / 50, r * ch + ch * 22 / 50) == mid &&
               Rgb(img, c * cw, r * ch) == 0xFFFFFF;
    }
  }
  XDestroyImage(img);
  return cells == 100 ? "grid " + std::to_string(maroon) : "other";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 6) {
    std::fprintf(stderr, "usage: exposure_probe WINDOW [X Y W H]\n");
    return 2;
  }
  const Window win = std::strtoul(argv[1], nullptr, 0);
  Area area;
  if (argc == 6) {
    area = {std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5])};
  }
  if (win == 0 || area.w < 10 || area.h < 10) {
    std::fprintf(stderr, "exposure_probe: bad window or area\n");
    return 2;
  }
  setvbuf(stdout, nullptr, _IOLBF, 0);

  Display* dpy = XOpenDisplay(nullptr);
  if (dpy == nullptr) {
    std::fprintf(stderr, "exposure_probe: cannot open display %s\n", XDisplayName(nullptr));
    return 2;
  }
  int damageEvent = 0, damageError = 0;
  if (!XDamageQueryExtension(dpy, &damageEvent, &damageError)) {
    std::fprintf(stderr, "exposure_probe: the X server has no Damage extension\n");
    return 2;
  }
  XSetErrorHandler(NoteXError);
  XSelectInput(dpy, win, StructureNotifyMask);
  const Damage damage = XDamageCreate(dpy, win, XDamageReportNonEmpty);
  XSync(dpy, False);
  if (gXError) {
    std::fprintf(stderr, "exposure_probe: no such window: %s\n", argv[1]);
    return 2;
  }
  std::printf("ready\n");

  std::string shown = Classify(dpy, win, area);
  unsigned long serverMs = 0;
  std::printf("%.3f 0 %s\n", NowMs(), shown.c_str());
  for (;;) {
    if (XPending(dpy) == 0) {
      pollfd fd{ConnectionNumber(dpy), POLLIN, 0};
      poll(&fd, 1, -1);
    }
    XEvent ev;
    XNextEvent(dpy, &ev);
    const double t = NowMs();
    // The server's time of the drawing, in whole milliseconds.
    serverMs = ev.type == damageEvent + XDamageNotify ? reinterpret_cast<XDamageNotifyEvent*>(&ev)->timestamp : 0;
    if (ev.type == DestroyNotify && ev.xdestroywindow.window == win) break;
    if (ev.type != damageEvent + XDamageNotify && ev.type != MapNotify && ev.type != UnmapNotify) continue;
    // Everything drawn from here on raises a new event.
    XDamageSubtract(dpy, damage, None, None);
    const std::string now = ev.type == UnmapNotify ? "unmapped" : Classify(dpy, win, area);
    if (now != shown) {
      std::printf("%.3f %lu %s\n", t, serverMs, now.c_str());
      shown = now;
    }
  }
  return 0;
}
