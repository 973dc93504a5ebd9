#pragma once
// Measures the time from the program's start to the first painting of the
// active editor when ZE_STARTUP_TIME is set in the environment: prints
// "first paint: N ms" to standard error, and with ZE_STARTUP_TIME=quit
// ends the program right after (for the start-up benchmark).

class QElapsedTimer;

namespace ze {

class TForm1;

void WatchFirstPaint(TForm1& window, const QElapsedTimer& clock);

} // namespace ze
