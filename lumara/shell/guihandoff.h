#pragma once
// Work that a pool job needs done on the GUI thread (drawing with widgets, a message box),
// run there while the job waits. Unlike a blocking queued call, the wait can be given up: the
// GUI side closes the hand-off before it waits for the job, and every call not yet begun then
// returns at once without its work, so neither thread waits for the other.
#include <QObject>

#include <functional>
#include <memory>

class GuiHandOff {
public:
    // Work is run in the thread of `context` (the GUI thread's objects).
    explicit GuiHandOff(QObject *context);

    // Runs the work in the context's thread and waits for it; directly when called there.
    // False, without the work, once the hand-off is closed (or when its context is gone).
    bool run(const std::function<void()> &work) const;
    // GUI thread: from now on no work begins; a job waiting for work not yet begun goes on.
    void close();
    bool isClosed() const;

private:
    struct State;
    std::shared_ptr<State> m_state;
};
