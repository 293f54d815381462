#include "app/Globals.h"

#include "app/ContentReader.h"

#include <osg/Program>
#include <osg/Texture1D>

#include <cstdlib>

Timeline* g_timeline = nullptr;
osg::ref_ptr<osg::Switch> g_sceneSwitch;
osg::ref_ptr<osg::Group> g_rootGroup;
PathCamera* g_camera = nullptr;
MusicStream* g_music = nullptr;
ContentReader* g_contentReader = nullptr;
std::vector<osg::ref_ptr<osg::Node>> g_sceneParts;

double g_time = 0.0;
double g_timeOffset = 0.0;
int g_frameCount = 0;
double g_frameDelta = 0.0;
PictureSize g_picture;
bool g_levelsMadeOnReading = false;

dWorldID g_world = nullptr;
dSpaceID g_space = nullptr;
dJointGroupID g_contactGroup = nullptr;
PhysicsBox* g_boxes[kMaxPhysicsBoxes] = {};
int g_boxCount = 0;
double g_gravityY = -90.0;
bool g_gravityHalvingPending = true;

osg::ref_ptr<osg::Program> g_toonProgram;
osg::ref_ptr<osg::Program> g_outlineProgram;
osg::ref_ptr<osg::Texture1D> g_toonRamp;

osg::ref_ptr<osg::RefMatrix> g_shadowBias = new osg::RefMatrix(
    0.5, 0.0, 0.0, 0.0,
    0.0, 0.5, 0.0, 0.0,
    0.0, 0.0, 0.5, 0.0,
    0.5, 0.5, 0.5, 1.0);

void exitProcess(int status)
{
    if (g_contentReader)
        g_contentReader->stop();
    std::exit(status);
}
