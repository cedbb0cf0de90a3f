#pragma once
#include <memory>

class QTranslator;

namespace ui {

// While alive, Qt's own dialogs (the file dialog and its questions) speak
// Japanese, from Qt's translation qtbase_ja (Debian package
// qt6-translations-l10n); without that file they stay in English. Scoped to
// the dialogs the program opens, so the texts Qt gives the other windows'
// controls stay as they are. Nothing in the English interface.
class QtJapanese {
 public:
  QtJapanese();
  ~QtJapanese();
  QtJapanese(const QtJapanese&) = delete;
  QtJapanese& operator=(const QtJapanese&) = delete;

  // Whether the translation was found and is in force.
  bool Active() const { return active_; }

 private:
  bool active_ = false;
};

}  // namespace ui
