#pragma once

#include <QObject>

class QSocketNotifier;
class QWidget;

namespace ip2h {

// Closes `window` through its normal closing sequence when the process is asked to end with
// SIGTERM or SIGHUP (logout, shutdown, kill), so that the settings and the history are saved.
// The signal handler only writes a byte to a socket pair; the window is closed from the
// event loop. One instance at a time; the previous handlers come back when it goes.
class TerminationSignals final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TerminationSignals)

public:
    explicit TerminationSignals(QWidget& window);
    ~TerminationSignals() override;

private:
    void OnSignalled();

    QWidget& m_window;
    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace ip2h
