#pragma once

#include <cal3d/coreanimation.h>
#include <cal3d/coretrack.h>

namespace osgCal {

// Cal3D 0.11 takes the tracks given to a core animation but its destructor
// frees only the list that holds them, so whoever lets the last reference to
// an animation go frees its tracks (and with them their keyframes) first.
inline void releaseCoreTracks(CalCoreAnimation& animation)
{
    for (CalCoreTrack* track : animation.getListCoreTrack()) {
        track->destroy();
        delete track;
    }
    animation.getListCoreTrack().clear();
}

} // namespace osgCal
