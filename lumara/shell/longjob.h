#pragma once
// The one long job of the program at a time: open, save, re-analysis, export, merge and the
// compensation jobs all change or read the whole document on a worker, so two of them at once
// would corrupt it. The main window holds the slot: it shows the busy overlay while the slot
// is taken, keeps input from the pages under it and holds a close back until it is free.
// Every road that starts such a job takes the slot first and does nothing when it cannot.
#include <QObject>
#include <QString>

class LongJob : public QObject {
    Q_OBJECT
public:
    // Made by the main window; the newest one made is the program's.
    explicit LongJob(QObject *parent = nullptr);
    ~LongJob() override;

    // The main window's slot; none for pages built without a window (their own tests).
    static LongJob *instance();

    // Takes the slot for the named job (GUI thread). False, and nothing changes, while another
    // job holds it. Without a window every job may start.
    static bool begin(const QString &name);
    // Frees the slot of the named job (GUI thread); a job that does not hold it frees nothing.
    static void end(const QString &name);
    // Whether a job holds the slot.
    static bool running();

    bool isRunning() const { return !m_name.isEmpty(); }
    QString name() const { return m_name; }
    bool take(const QString &name);
    void release(const QString &name);

signals:
    void started(const QString &name);
    void ended(const QString &name);

private:
    QString m_name;
};
