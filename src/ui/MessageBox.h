#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace ip2h {

// Every message box of the program: the text, an OK button, the warning icon and the
// executable's base name as the caption. Tests turn the hook on so that no box is shown: each
// is recorded instead.
class MessageBox final {
public:
    MessageBox() = delete;

    // Opens the box over `parent` without a nested event loop; it deletes itself once closed.
    static void ShowWarning(QWidget* parent, const QString& text);

    // The caption every box carries.
    static QString Caption();

    // Test hook: while on, every box is recorded instead of being shown.
    static void SetRecordOnly(bool recordOnly);
    // What was recorded or shown last, and how many boxes were, since the last reset.
    static QString LastText();
    static QString LastCaption();
    static int Count();
    // Clears the record and turns the hook off.
    static void ResetForTest();
};

}  // namespace ip2h
