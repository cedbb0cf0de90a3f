#include "Display.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <string_view>

namespace ui {

std::string DisplayProblem() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform != nullptr && *platform != '\0' && !std::string_view(platform).starts_with("xcb")) return {};
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0')
    return "no display: DISPLAY is not set (set it to an X server, e.g. DISPLAY=:0)";
  xcb_connection_t* c = xcb_connect(display, nullptr);
  const int error = xcb_connection_has_error(c);
  xcb_disconnect(c);
  if (error == 0) return {};
  return std::string("cannot open the X display \"") + display + "\"" +
         (error == XCB_CONN_CLOSED_PARSE_ERR ? ": not a display name" : ": no X server answers there");
}

}  // namespace ui
