#pragma once
#include <QDialog>
#include <optional>
#include <string>

#include "numeric/Result.h"

class QDialogButtonBox;
class QLabel;
class QLineEdit;

// Asks for the observer's name before a run: required, trimmed, 1 to 64
// characters, no control characters. "開始" is enabled only for a good name;
// what is wrong with a typed name is said below the field.
class ObserverDialog : public QDialog {
 public:
  explicit ObserverDialog(QWidget* parent = nullptr);

  // The trimmed name typed, or why it is refused.
  numeric::Result<std::string> Name() const;

  // Shows the dialog and waits: the name, or nothing when cancelled.
  static std::optional<std::string> Ask(QWidget* parent);

  QLineEdit* Field() const { return field_; }
  QDialogButtonBox* Buttons() const { return buttons_; }

 private:
  void Check();

  QLineEdit* field_;
  QLabel* problem_;
  QDialogButtonBox* buttons_;
};
