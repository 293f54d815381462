#include "app/Pause.h"

#include "app/DemoClock.h"
#include "platform/sound/fsound.h"

void setShowPaused(bool paused)
{
    DemoClock::instance().setPaused(paused);
    FSOUND_SetPaused(FSOUND_ALL, paused);
}

bool isShowPaused()
{
    return DemoClock::instance().isPaused();
}
