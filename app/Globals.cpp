#include "app/Globals.h"

Timeline* g_timeline = nullptr;
osg::ref_ptr<osg::Switch> g_sceneSwitch;
osg::ref_ptr<osg::Group> g_rootGroup;
PathCamera* g_camera = nullptr;
MusicStream* g_music = nullptr;

double g_time = 0.0;
double g_timeOffset = 0.0;
int g_frameCount = 0;
double g_frameDelta = 0.0;
