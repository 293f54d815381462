#pragma once

#include "app/ContentReader.h"

#include <osg/Group>
#include <osg/Image>
#include <osg/Node>
#include <osg/Switch>

#include <string>
#include <vector>

class PathCamera;
namespace Demo { class CFX; }

// The show's sequencer. Start-up registers time windows in demo seconds;
// every frame update() opens and closes them: attaching scene parts,
// switching effects, making cameras current and running physics. A window
// is open strictly inside (start, end) and closes once the time is strictly
// past its end, so a jump over a whole window never shows it.
class Timeline
{
public:
    struct NodeWindow {
        osg::Group* parent;
        osg::Node* node;
        double start, end;
        bool attached;
    };
    struct EffectWindow {
        osg::Switch* sw;
        Demo::CFX* effect;
        osg::Node* node;
        double start, end;
        bool shown;
    };
    struct CameraWindow {
        PathCamera* camera;
        PathCamera* previous;
        double start, end;
        bool active;
    };
    struct PhysicsWindow {
        double start, end;
        int kind;
        bool active;
    };

    enum PhysicsKind { RestartBoxRain = 0, StepPhysics = 1 };
    enum FlashKind { WhiteFlash = 6, BlackFade = 7 };
    enum ReloadWhich { ReloadCameras = 2, ReloadFlashes = 6, ReloadBlacks = 7, ReloadAll = 8 };

    // The camera current now (the start camera) is the one that takes over
    // when a reload destroys the current camera.
    Timeline();
    ~Timeline();
    Timeline(const Timeline&) = delete;
    Timeline& operator=(const Timeline&) = delete;

    void addNode(double start, double end, osg::Group* parent, osg::Node* node);
    void addEffect(double start, double end, osg::Switch* sw, Demo::CFX* effect);
    // The timeline owns the cameras of its camera windows and the flashes it
    // makes itself: reload() destroys them, and so does the destructor.
    void addCamera(double start, double end, PathCamera* camera);
    void addPhysics(double start, double end, int kind);
    void addFlash(double start, double end, double up, double down, double peek,
                  double strength, int kind);

    // Destroys the script-made cameras or flashes and reads their file again.
    void reload(int which);
    // The pictures the script-made flashes read, in the order they read them.
    static ContentList scriptContent();

    // The author's edits of the flash (WhiteFlash) or black (BlackFade)
    // windows, by their place in the list. A window that was open is
    // switched off, so it opens afresh at its new time.
    void moveFlash(int kind, std::size_t index, double start, double end);
    void removeFlash(int kind, std::size_t index);

    void update(double t);

    const std::vector<NodeWindow>& nodeWindows() const { return m_nodes; }
    const std::vector<EffectWindow>& effectWindows() const { return m_effects; }
    const std::vector<EffectWindow>& flashWindows() const { return m_flashes; }
    const std::vector<EffectWindow>& blackWindows() const { return m_blacks; }
    const std::vector<CameraWindow>& cameraWindows() const { return m_cameras; }
    const std::vector<PhysicsWindow>& physicsWindows() const { return m_physics; }

    static bool isInside(double start, double end, double t) { return start < t && t < end; }
    static bool isPast(double end, double t) { return t > end; }

private:
    void updateNode(NodeWindow& w, double t);
    void updateEffect(EffectWindow& w, double t);
    void updateCamera(CameraWindow& w, double t);
    void makeCurrent(PathCamera* camera);
    void updatePhysics(PhysicsWindow& w, double t);

    void clearCameras();
    void clearFlashes(std::vector<EffectWindow>& list);
    std::vector<EffectWindow>& flashList(int kind) { return kind == WhiteFlash ? m_flashes : m_blacks; }
    void loadCameras(const std::string& path);
    void loadFlashes(const std::string& path, int kind);

    std::vector<NodeWindow> m_nodes;
    std::vector<EffectWindow> m_effects;
    std::vector<EffectWindow> m_flashes;
    std::vector<EffectWindow> m_blacks;
    std::vector<CameraWindow> m_cameras;
    std::vector<PhysicsWindow> m_physics;
    PathCamera* m_homeCamera;
    osg::ref_ptr<osg::Image> m_whitePicture, m_blackPicture;
};
