#include "ui/qt/QtJapanese.h"

#include <gtest/gtest.h>

#include <QFileDialog>

namespace {

QString CancelText() {
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  return dialog.labelText(QFileDialog::Reject);
}

// The save dialogs speak Japanese; once they are closed, Qt's texts in the
// other windows (an edit's context menu, say) are what they were.
TEST(QtJapanese, QtsDialogsSpeakJapaneseOnlyWhileInForce) {
  const QString before = CancelText();
  {
    const ui::QtJapanese japanese;
    ASSERT_TRUE(japanese.Active()) << "Qt's Japanese translation (Debian package qt6-translations-l10n) not found";
    EXPECT_EQ(CancelText(), QStringLiteral("キャンセル"));
  }
  EXPECT_EQ(CancelText(), before);
  EXPECT_NE(before, QStringLiteral("キャンセル"));
}

}  // namespace
