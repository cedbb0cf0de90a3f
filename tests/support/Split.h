#pragma once
#include <sstream>
#include <string>
#include <vector>

// The parts of text between separators; a separator at the end gives an
// empty last part (a CSV line ending in an empty field, output ending in a line end).
inline std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::stringstream in(text);
  for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
  if (!text.empty() && text.back() == separator) parts.emplace_back();
  return parts;
}
