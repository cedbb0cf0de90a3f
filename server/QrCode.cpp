#include "server/QrCode.h"

#include <qrencode.h>

#include <memory>
#include <vector>

namespace server {

namespace {

constexpr int kQuiet = 4;  // the light margin a reader needs, in modules

// The code's modules, margin included: true for a dark one.
std::vector<std::vector<bool>> Modules(const std::string& text) {
  const std::unique_ptr<QRcode, void (*)(QRcode*)> code(
      QRcode_encodeString(text.c_str(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), QRcode_free);
  if (!code) return {};
  const int n = code->width;
  std::vector<std::vector<bool>> rows(static_cast<std::size_t>(n + 2 * kQuiet),
                                      std::vector<bool>(static_cast<std::size_t>(n + 2 * kQuiet)));
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) {
      rows[static_cast<std::size_t>(y + kQuiet)][static_cast<std::size_t>(x + kQuiet)] =
          (code->data[y * n + x] & 1) != 0;
    }
  }
  return rows;
}

}  // namespace

std::string QrForTerminal(const std::string& text, bool colours) {
  const auto rows = Modules(text);
  std::string out;
  // Upper half block: the upper module in the text colour, the lower in the
  // background; dark modules are drawn, light ones left.
  static const char* const kCells[4] = {" ", "\u2584", "\u2580", "\u2588"};  // -, lower, upper, both dark
  for (std::size_t y = 0; y < rows.size(); y += 2) {
    if (colours) out += "\x1b[30;107m";  // black on bright white
    for (std::size_t x = 0; x < rows[y].size(); ++x) {
      const bool upper = rows[y][x];
      const bool lower = y + 1 < rows.size() && rows[y + 1][x];
      out += kCells[(upper ? 2 : 0) + (lower ? 1 : 0)];
    }
    if (colours) out += "\x1b[0m";
    out += '\n';
  }
  return out;
}

std::string QrSvg(const std::string& text) {
  const auto rows = Modules(text);
  if (rows.empty()) return {};
  const std::string side = std::to_string(rows.size());
  std::string path;
  for (std::size_t y = 0; y < rows.size(); ++y) {
    for (std::size_t x = 0; x < rows[y].size(); ++x) {
      // Appended: g++ 12 warns (-Wrestrict) of "M" + std::to_string(x) in a release build.
      if (!rows[y][x]) continue;
      path.append("M").append(std::to_string(x)).append(",").append(std::to_string(y)).append("h1v1h-1z");
    }
  }
  return "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " + side + " " + side +
         "\" shape-rendering=\"crispEdges\"><rect width=\"" + side + "\" height=\"" + side +
         "\" fill=\"#fff\"/><path fill=\"#000\" d=\"" + path + "\"/></svg>\n";
}

}  // namespace server
