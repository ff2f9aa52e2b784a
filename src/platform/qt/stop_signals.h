// SIGINT and SIGTERM close the window as its close box would, so a recording
// is complete, even from inside a modal box: the signal reaches the event loop
// through a pipe. Should the loop be blocked, a second signal ends the process
// at once (every recorded line but the last run of ticks is on disk), as the
// first one does before the window is made.
#pragma once
#include <QObject>
#include <functional>

// Once the window exists: calls stop from the event loop on the first signal.
void onStopSignal(QObject* context, std::function<void()> stop);
