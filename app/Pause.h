#pragma once

// Holds the whole show still and lets it go on: the process-wide clock (and
// so the demo time, every effect's clock and the frame time) and the music
// stop and restart together, so they agree after a pause as they did before.
// Main thread only.
void setShowPaused(bool paused);
bool isShowPaused();
