// Builds the show in its fixed order, shows the splash while loading, starts
// the soundtrack and runs the frame loop until Escape ends the process.
#include "app/GFX.h"
#include "app/Globals.h"
#include "app/Show.h"
#include "app/Timeline.h"
#include "effects/FileException.h"

#include <SDL/SDL.h>

#include <cstdlib>
#include <iostream>

namespace {

void printStatusLine()
{
    std::cout << "FPS:" << g_frameCount / g_time << " Time:" << g_time
              << " Frame: " << g_frameCount << std::endl;
}

[[noreturn]] void runShow(GFX& gfx)
{
    for (;;) {
        g_timeline->update(g_time);
        gfx.frame();
        if (g_frameCount % 10 == 0)
            printStatusLine();
    }
}

} // namespace

int main(int, char**)
{
    // SDL 1.2 has no entry glue on this platform; do what it would.
    SDL_Init(SDL_INIT_NOPARACHUTE);
    std::atexit(SDL_Quit);

    // Started first, so that the files are read while the window opens.
    ContentPreloader preloader(startContentInLoadOrder());
    g_contentReader = &preloader;
    GFX gfx;
    try {
        gfx.init(true);
        gfx.showSplash(kSplashImage);
        const OpeningParts opening = buildShow();
        g_contentReader = nullptr;
        preloader.stop();
        gfx.readStartTime();
        gfx.setTime(0.0);
        gfx.playMusic();
        runShow(gfx);
    } catch (const Demo::CFileException& e) {
        // The show does not run without its pictures: say which one is
        // missing and stop with a failure status.
        std::cout << e.message << std::endl;
        std::cerr << "Cannot start the show: " << e.message << std::endl;
        return 1;
    }
}
