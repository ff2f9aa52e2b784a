// SIGINT and SIGTERM end the window as its close box would, so a recording
// is complete, even when the event loop is busy: the first signal reaches the
// loop through a pipe; a second one, should the loop not answer, ends the
// process at once (every recorded line but the last run of ticks is written).
#pragma once
#include <QObject>
#include <functional>

// Installs the handlers; call it first thing, so nothing blocks unheard.
void catchStopSignals();
// Once the application exists: calls stop from the event loop on the first signal.
void onStopSignal(QObject* context, std::function<void()> stop);
