#pragma once
// The application-wide signal hub. Objects that change the analysis, or start and end long
// work, forward their own signals into it; the main window, the well list and the pages
// listen to it and never hold pointers to one another. The hub itself has no state and no
// logic: it only relays.
#include <QObject>
#include <QVector>

class SignalTransfer : public QObject {
    Q_OBJECT
public:
    // One row of the forwarder table: the sender's signal is connected to the hub signal.
    struct Forwarder {
        const char *senderClass;
        const char *senderSignal; // normalised signature, e.g. "mergeComplete()"
        const char *hubSignal;
    };

    // The process-wide hub, built on first use and kept to the end of the program. The first
    // call should come from the user-interface thread; when it does not, the hub moves itself
    // there, so that queued deliveries still reach it.
    static SignalTransfer *getInstance();

    // Every forwarder of the program, in the order the connections are made. A sender with
    // two rows feeds both hub signals in this order.
    static const QVector<Forwarder> &forwarders();

    // Connects the sender's signals of every row of its class (its own class name or, failing
    // that, the nearest base class that has rows), automatic connection type, in table order.
    // Called once from the sender's constructor. Returns the number of connections made; a row
    // whose signal the sender lacks is skipped with a warning.
    int forwardSignals(QObject *sender);
    // The same for the rows of the named class, whatever the sender's own class.
    int forwardSignalsAs(QObject *sender, const char *senderClass);

signals:
    void beginBusyStatus();
    void endBusyStatus();
    void compensationStatus(bool isable);
    void updateWellInfo();
    void updateWellComplete();
    void computeCompensation();
    void dataFixed();
    void openFileError();
    void editCompensationComplete();
    void sigHideMenuDialog();
    void clearCompensation();
    // The analysis engine has stored a new analysis of the wells (re-analysis, compensation):
    // each well now carries its own automatic thresholds. Comes just before the engine's
    // updateWellInfo.
    void wellsReanalysed();

private:
    SignalTransfer();
    ~SignalTransfer() override;
    Q_DISABLE_COPY(SignalTransfer)
};
