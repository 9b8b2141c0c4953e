// Keys, the mouse wheel and the popup menu: turned into commands by the core's key routing.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QTableView>
#include <QWheelEvent>

#include "ui/DialogMetrics.h"
#include "ui/MainDialog.h"
#include "ui/SortHeader.h"
#include "window/KeyRouting.h"
#include "window/ListZoom.h"

namespace ip2h {
namespace {

Key KeyOf(int key) {
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return Key::Enter;
        case Qt::Key_Escape:
            return Key::Escape;
        case Qt::Key_Delete:
            return Key::Delete;
        case Qt::Key_F1:
            return Key::F1;
        case Qt::Key_F4:
            return Key::F4;
        case Qt::Key_A:
            return Key::A;
        case Qt::Key_C:
            return Key::C;
        case Qt::Key_S:
            return Key::S;
        case Qt::Key_V:
            return Key::V;
        default:
            return Key::Other;
    }
}

unsigned ModifiersOf(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ControlModifier ? Ctrl : 0u) |
           (modifiers & Qt::AltModifier ? Alt : 0u) | (modifiers & Qt::ShiftModifier ? Shift : 0u) |
           (modifiers & Qt::MetaModifier ? Meta : 0u);
}

}  // namespace

bool MainDialog::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this)
        return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::ShortcutOverride: {
            // Claim the accelerators from line edits, so that they reach the list.
            const auto* key = static_cast<QKeyEvent*>(event);
            if (Accelerator(KeyOf(key->key()), ModifiersOf(key->modifiers()))) {
                event->accept();
                return true;
            }
            break;
        }
        case QEvent::KeyPress:
            if (HandleKey(watched, static_cast<QKeyEvent*>(event))) return true;
            break;
        case QEvent::Wheel:
            if (HandleWheel(widget, static_cast<QWheelEvent*>(event))) return true;
            break;
        case QEvent::Resize:
            if (watched == statusBar()) LayoutPanes();
            break;
        case QEvent::ContextMenu:
            if (watched == m_list || watched == m_list->viewport()) {
                const auto* menuEvent = static_cast<QContextMenuEvent*>(event);
                ShowListContextMenu(menuEvent->globalPos(),
                                    menuEvent->reason() == QContextMenuEvent::Keyboard);
                return true;
            }
            break;
        default:
            break;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool MainDialog::HandleKey(QObject* watched, QKeyEvent* event) {
    FocusKind focus = FocusKind::Other;
    bool dropDownOpen = false;
    for (QComboBox* combo : {m_rangeCombo, m_intervalCombo}) {
        if (watched == combo || watched == combo->lineEdit()) {
            focus = FocusKind::EntryBox;
            dropDownOpen = combo->view() != nullptr && combo->view()->isVisible();
        }
    }
    if (watched == m_list || watched == m_list->viewport()) focus = FocusKind::List;
    const KeyRoute route =
        RouteKey(KeyOf(event->key()), ModifiersOf(event->modifiers()), focus, dropDownOpen);
    if (route.Run) {
        if (route.Posted) {
            Post(*route.Run);
        } else {
            Dispatch(*route.Run);
        }
    }
    return route.Consumed;
}

void MainDialog::keyPressEvent(QKeyEvent* event) {
    // A key no control took: Enter runs the default button, Esc closes, as in a dialog.
    if (const auto command = DialogKey(KeyOf(event->key()), ModifiersOf(event->modifiers()))) {
        Dispatch(*command);
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool MainDialog::HandleWheel(QWidget* over, QWheelEvent* event) {
    // Ctrl+wheel zooms the list wherever over the window it turns. A plain wheel scrolls the
    // list and does nothing anywhere else: over an entry box it would step through the
    // drop-down list and change the text.
    if (event->modifiers() & Qt::ControlModifier) {
        ZoomList(event->angleDelta().y());
        return true;
    }
    return over != m_list && !m_list->isAncestorOf(over);
}

void MainDialog::ZoomList(int wheelDelta) {
    if (m_listPoints == 0) {
        const QFont current = m_list->font();
        m_listPoints = current.pointSize() > 0
                           ? current.pointSize()
                           : std::abs(MulDivRound(current.pixelSize(), 72, logicalDpiY()));
    }
    const int points = ZoomedPointSize(m_listPoints, wheelDelta);
    if (points == m_listPoints) return;
    m_listPoints = points;
    // The size in points is a cell height (the font's whole line), not a character height.
    const int dpi = logicalDpiY();
    const auto cellHeightFont = [dpi](const QFont& base, int cellPoints) {
        return CellHeightFont(base, base.family(), MulDivRound(cellPoints, dpi, 72),
                              static_cast<int>(base.weight()));
    };
    // The header follows the list's font only from 14 points on; below that it keeps the font
    // it has, so it must not inherit the list's.
    if (!m_header->testAttribute(Qt::WA_SetFont)) {
        QFont pinned = m_header->font();
        pinned.setResolveMask(QFont::AllPropertiesResolved);
        m_header->setFont(pinned);
    }
    const QFont font = cellHeightFont(m_list->font(), points);
    m_list->setFont(font);
    m_list->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 4);
    if (points >= kZoomHeaderThresholdPoints) {
        m_header->setFont(cellHeightFont(m_header->font(), kZoomHeaderPoints));
    }
    m_list->viewport()->update();
}

void MainDialog::ShowListContextMenu(const QPoint& globalPosition, bool fromKeyboard) {
    activateWindow();
    m_list->setFocus(Qt::PopupFocusReason);
    const QPoint position = fromKeyboard ? m_client->mapToGlobal(QPoint(5, 5)) : globalPosition;
    // Shown without a nested event loop: a chosen item dispatches its command when it is
    // triggered, and the menu goes away once it has closed.
    QMenu* menu = BuildListContextMenu().release();
    connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    menu->popup(position);
}

}  // namespace ip2h
