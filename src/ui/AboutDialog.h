#pragma once

#include <QDialog>

class QFrame;
class QLabel;

namespace ip2h {

// The about box: the program icon and the version line on white, inside a plain frame. It has
// no buttons; Esc, Enter and the close box end it, and F1 does nothing. Open it with open().
class AboutDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AboutDialog)

public:
    // In the language IsJapanese() selects.
    explicit AboutDialog(QWidget* parent = nullptr);
    AboutDialog(bool japanese, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QFrame* m_groupFrame = nullptr;
    QLabel* m_iconLabel = nullptr;
    QLabel* m_versionLabel = nullptr;
    QLabel* m_creditLabel = nullptr;
};

}  // namespace ip2h
