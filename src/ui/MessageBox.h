#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace ip2h {

// Every message box of the program: the text, an OK button, the warning icon and the
// executable's base name as the caption. Tests arm the hook so that no box ever waits for a
// user: an armed box is recorded and answered without being shown.
class MessageBox final {
public:
    MessageBox() = delete;

    // Shows the box modally and returns the button that closed it (always Ok when shown).
    static QMessageBox::StandardButton ShowWarning(QWidget* parent, const QString& text);

    // The caption every box carries.
    static QString Caption();

    // Test hooks. setNextAnswer: the next box is recorded and answered with `answer` instead of
    // being shown. setRecordOnly: while on, every box is recorded and answered with Ok.
    static void setNextAnswer(QMessageBox::StandardButton answer);
    static void setRecordOnly(bool recordOnly);
    // What was recorded or shown last, and how many boxes were, since the last reset.
    static QString lastText();
    static QString lastCaption();
    static int count();
    // Clears the record and disarms both hooks.
    static void resetForTest();
};

}  // namespace ip2h
