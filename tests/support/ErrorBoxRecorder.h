#pragma once
#include <string>
#include <utility>
#include <vector>

#include "ui/qt/Application.h"

// Replaces the error box for the life of the object and keeps what it showed.
class ErrorBoxRecorder {
 public:
  ErrorBoxRecorder() {
    ui::Application::SetErrorBox([this](const std::string& title, const std::string& text) {
      boxes.emplace_back(title, text);
    });
  }
  ~ErrorBoxRecorder() { ui::Application::SetErrorBox(nullptr); }
  ErrorBoxRecorder(const ErrorBoxRecorder&) = delete;
  ErrorBoxRecorder& operator=(const ErrorBoxRecorder&) = delete;

  std::vector<std::pair<std::string, std::string>> boxes;
};
