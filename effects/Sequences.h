#pragma once

#include "app/ContentReader.h"

// The overlay sequences registered at start-up on g_timeline, with
// g_sceneSwitch as their switch: the greeting logos with their glows, the
// title between two white flashes, and the slime bands from 87 s on.
void buildLogoSequence();
void buildTitleSequence();
void buildSlimeOverlay();

// The pictures each builder reads, in the order it reads them.
ContentList logoSequenceContent();
ContentList titleSequenceContent();
ContentList slimeOverlayContent();
