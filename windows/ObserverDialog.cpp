#include "windows/ObserverDialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "experiment/TextRules.h"

namespace {

// The reasons of a bad name, in the dialog's words.
QString ProblemText(std::string_view typed) {
  if (experiment::TrimWhiteSpace(typed).empty())
    return QCoreApplication::translate("ObserverDialog", "名前を入力して下さい。");
  const std::optional<std::size_t> length = experiment::Utf8Length(experiment::TrimWhiteSpace(typed));
  if (length && *length > experiment::kMaxNameCharacters) {
    return QCoreApplication::translate("ObserverDialog", "名前は %1 文字までです。")
        .arg(experiment::kMaxNameCharacters);
  }
  return QCoreApplication::translate("ObserverDialog", "制御文字は使えません。");
}

}  // namespace

ObserverDialog::ObserverDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QCoreApplication::translate("ObserverDialog", "観察者"));
  auto* column = new QVBoxLayout(this);
  column->addWidget(new QLabel(QCoreApplication::translate("ObserverDialog", "観察者の名前を入力して下さい。")));
  field_ = new QLineEdit;
  field_->setMaxLength(256);
  column->addWidget(field_);
  problem_ = new QLabel;
  problem_->setStyleSheet(QStringLiteral("QLabel { color: #a00000; }"));
  column->addWidget(problem_);
  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons_->button(QDialogButtonBox::Ok)->setText(QCoreApplication::translate("ObserverDialog", "開始"));
  buttons_->button(QDialogButtonBox::Cancel)->setText(QCoreApplication::translate("ObserverDialog", "キャンセル"));
  column->addWidget(buttons_);
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(field_, &QLineEdit::textChanged, this, [this] { Check(); });
  Check();
  problem_->clear();  // nothing typed yet: no complaint before the first key
}

numeric::Result<std::string> ObserverDialog::Name() const {
  return experiment::ObserverName(field_->text().toStdString());
}

void ObserverDialog::Check() {
  const bool good = Name().ok();
  buttons_->button(QDialogButtonBox::Ok)->setEnabled(good);
  problem_->setText(good ? QString() : ProblemText(field_->text().toStdString()));
}

std::optional<std::string> ObserverDialog::Ask(QWidget* parent) {
  ObserverDialog dialog(parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const numeric::Result<std::string> name = dialog.Name();
  if (!name) return std::nullopt;  // "開始" is enabled for a good name only
  return *name;
}
