#include "app/panel/AuthorPanel.h"

#include "app/BeatGrid.h"
#include "app/Timeline.h"
#include "app/panel/Loudness.h"
#include "effects/BakedLayer.h"
#include "effects/OverlayLayer.h"

#include <SDL/SDL.h>
#include <osg/BlendFunc>

#include <cmath>
#include <cstdio>

namespace {

const osg::Vec4 kHighlight(1.0f, 1.0f, 0.5f, 0.45f);
const osg::Vec4 kSelection(1.0f, 0.3f, 0.2f, 0.95f);
const osg::Vec4 kPlayHead(1.0f, 0.25f, 0.25f, 0.95f);
const double kZoomStep = 1.25;
// The show's overlays draw in bin 100.
const int kFirstBin = 200;

float layerY(int windowY)
{
    return 600.0f - static_cast<float>(windowY);
}

void drawUnlit(osg::StateSet& state)
{
    state.setMode(GL_DEPTH_TEST, osg::StateAttribute::OFF);
    state.setMode(GL_LIGHTING, osg::StateAttribute::OFF);
}

std::string timeReadout(double seconds)
{
    const BarAndBeat at = barAndBeatAt(seconds);
    char text[96];
    std::snprintf(text, sizeof text, "%.2f s   bar %d beat %d", seconds, at.bar, at.beat);
    return text;
}

} // namespace

AuthorPanel::AuthorPanel(osg::Group& sceneRoot, Timeline& timeline, double soundtrackSeconds, const char* soundtrack,
                         JumpTo jump)
    : sceneRoot(&sceneRoot), timeline(timeline), soundtrack(soundtrack), jump(std::move(jump)),
      axis(soundtrackSeconds, PanelLayout::kWidth), edits(timeline)
{
    build();
}

AuthorPanel::~AuthorPanel() = default;

void AuthorPanel::build()
{
    root = new osg::Group;
    staticContent = new osg::Group;
    drawUnlit(*staticContent->getOrCreateStateSet());
    osg::ref_ptr<osg::Texture2D> baked = makeBakedScreenTexture();
    bakeTrigger = new BakeOnRequest;
    osg::ref_ptr<osg::Group> baking = makeBakingPass(staticContent.get(), baked.get(), bakeTrigger.get(), true);
    // Over transparent black: colour times alpha, and the alpha itself, so
    // the baked layer shows over the picture as the lanes would.
    baking->getOrCreateStateSet()->setAttributeAndModes(
        new osg::BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA));
    root->addChild(baking.get());

    osg::ref_ptr<osg::Geode> lanes = makeBakedScreenQuad(baked.get());
    const PanelRect area = PanelLayout::panel();
    fitBakedQuad(*lanes->getDrawable(0)->asGeometry(), osg::BoundingBox(area.x0, area.y0, 0, area.x1, area.y1, 0));
    lanes->getOrCreateStateSet()->setAttributeAndModes(new osg::BlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA));
    osg::ref_ptr<osg::Geode> text = new osg::Geode;
    status = panelText("", 6.0f, 5.0f, 11.0f, osg::Vec4(1, 1, 1, 1));
    text->addDrawable(status.get());

    // Drawn in this order, after every overlay of the show: a bin each, as
    // a bin sorts what it holds by state.
    osg::ref_ptr<osg::Group> content = new osg::Group;
    int bin = kFirstBin;
    for (osg::Node* part : {static_cast<osg::Node*>(lanes.get()), static_cast<osg::Node*>(dynamicQuads.node().get()),
                            static_cast<osg::Node*>(text.get())}) {
        part->getOrCreateStateSet()->setRenderBinDetails(bin++, "RenderBin", osg::StateSet::USE_RENDERBIN_DETAILS);
        content->addChild(part);
    }
    osg::ref_ptr<osg::Node> layer = makeOverlayLayer(content.get(), 800.0f, 600.0f);
    setBlending(layer.get(), GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    layer->getOrCreateStateSet()->setRenderBinDetails(kFirstBin, "RenderBin", osg::StateSet::USE_RENDERBIN_DETAILS);
    drawUnlit(*layer->getOrCreateStateSet());
    root->addChild(layer.get());
}

void AuthorPanel::toggle()
{
    open = !open;
    if (open) {
        // Read once, when the author first wants to see it.
        if (!loudness)
            loudness = std::make_unique<Loudness>(soundtrack);
        sceneRoot->addChild(root.get());
        changed();
    } else {
        sceneRoot->removeChild(root.get());
        gesture = Gesture::None;
    }
    SDL_ShowCursor(open ? SDL_ENABLE : SDL_DISABLE);
}

bool AuthorPanel::handleKey(int key, int modifiers)
{
    if (!open)
        return false;
    const bool selected = edits.selection().has_value();
    const double quarter = beatSeconds() / 4.0;
    switch (key) {
    case SDLK_PLUS:
    case SDLK_EQUALS:
    case SDLK_KP_PLUS:
        axis.zoom(kZoomStep, shownTime);
        break;
    case SDLK_MINUS:
    case SDLK_KP_MINUS:
        axis.zoom(1.0 / kZoomStep, shownTime);
        break;
    case SDLK_LEFT:
    case SDLK_RIGHT:
        if (!selected)
            return false;
        edits.moveSelectionBy((key == SDLK_LEFT ? -1.0 : 1.0) * ((modifiers & KMOD_SHIFT) ? 4.0 * quarter : quarter));
        break;
    case SDLK_DELETE:
        if (!selected)
            return false;
        edits.removeSelection();
        break;
    case SDLK_n:
        edits.addFlash(nearestQuarterBeat(shownTime));
        break;
    case SDLK_s:
        if (!(modifiers & KMOD_CTRL))
            return false;
        edits.save();
        break;
    default:
        return false;
    }
    changed();
    return true;
}

void AuthorPanel::maskHeldKeys(Uint8* keys) const
{
    if (!open)
        return;
    if (edits.selection()) {
        for (int key : {SDLK_LEFT, SDLK_RIGHT, SDLK_UP, SDLK_DOWN})
            keys[key] = 0;
    }
    if (SDL_GetModState() & KMOD_CTRL)
        keys[SDLK_s] = 0;
}

void AuthorPanel::handlePointer(const std::vector<osgSDL::PointerEvent>& events)
{
    if (!open)
        return;
    for (const osgSDL::PointerEvent& e : events) {
        const float x = static_cast<float>(e.x), y = layerY(e.y);
        switch (e.type) {
        case osgSDL::PointerEvent::Press:
            if (e.button == SDL_BUTTON_LEFT && PanelLayout::panel().contains(x, y))
                press(x, y);
            break;
        case osgSDL::PointerEvent::Motion:
            drag(x);
            break;
        case osgSDL::PointerEvent::Release:
            if (e.button == SDL_BUTTON_LEFT)
                release(x);
            break;
        case osgSDL::PointerEvent::WheelUp:
        case osgSDL::PointerEvent::WheelDown:
            if (PanelLayout::panel().contains(x, y)) {
                axis.zoom(e.type == osgSDL::PointerEvent::WheelUp ? kZoomStep : 1.0 / kZoomStep, shownTime);
                changed();
            }
            break;
        }
    }
}

void AuthorPanel::press(float x, float y)
{
    pressX = x;
    if (const PanelBar* bar = layout.editableBarAt(x, y, axis)) {
        edits.select(bar->lane == FlashLane ? Timeline::WhiteFlash : Timeline::BlackFade, bar->index);
        pressStart = edits.selectedRecord() ? edits.selectedRecord()->start : bar->start;
        gesture = Gesture::MoveBar;
        changed();
        return;
    }
    // Anywhere else on the panel: the show goes there, and the music once
    // the button is let go.
    if (edits.selection()) {
        edits.deselect();
        changed();
    }
    gesture = Gesture::Scrub;
    scrubTime = std::max(0.0, axis.timeAt(x));
    jump(scrubTime, false);
}

void AuthorPanel::drag(float x)
{
    if (gesture == Gesture::Scrub) {
        scrubTime = std::max(0.0, axis.timeAt(x));
        jump(scrubTime, false);
    } else if (gesture == Gesture::MoveBar) {
        // Moved by whole quarter beats, so a window keeps where it lies
        // against the beat.
        const double quarter = beatSeconds() / 4.0;
        const double moved = std::round((axis.timeAt(x) - axis.timeAt(pressX)) / quarter) * quarter;
        edits.moveSelectionTo(std::max(0.0, pressStart + moved));
        changed();
    }
}

void AuthorPanel::release(float x)
{
    if (gesture == Gesture::Scrub) {
        scrubTime = std::max(0.0, axis.timeAt(x));
        jump(scrubTime, true);
    }
    gesture = Gesture::None;
}

void AuthorPanel::reloaded()
{
    edits.reloaded();
    changed();
}

void AuthorPanel::beforeExit()
{
    edits.writeRecovery();
    if (loudness)
        loudness->stop();
}

void AuthorPanel::rebake()
{
    layout.build(timeline);
    staticContent->removeChildren(0, staticContent->getNumChildren());
    staticContent->addChild(drawStaticLanes(layout, axis, *loudness).get());
    bakedLoudness = loudness->isReady();
    bakeTrigger->request();
    stale = false;
}

void AuthorPanel::update(double demoTime)
{
    if (!open)
        return;
    shownTime = demoTime;
    if (gesture == Gesture::None && axis.follow(demoTime))
        stale = true;
    // Windows added or taken out behind the panel's back (a reload) show
    // at once.
    const std::size_t windows = timeline.nodeWindows().size() + timeline.effectWindows().size() +
                                timeline.flashWindows().size() + timeline.blackWindows().size() +
                                timeline.cameraWindows().size() + timeline.physicsWindows().size();
    if (stale || windows != layout.bars().size() || bakedLoudness != loudness->isReady())
        rebake();
    drawDynamic(demoTime);
}

void AuthorPanel::drawDynamic(double demoTime)
{
    dynamicQuads.clear();
    const auto selection = edits.selection();
    for (const PanelBar& bar : layout.bars()) {
        const PanelRect r = layout.barRect(bar, axis);
        if (PanelLayout::isOpen(bar, timeline))
            dynamicQuads.add(r, kHighlight);
        const bool isSelected = selection && bar.index == selection->index &&
                                bar.lane == (selection->kind == Timeline::WhiteFlash ? FlashLane : BlackLane);
        if (isSelected) {
            dynamicQuads.add({r.x0 - 1, r.y0 - 1, r.x1 + 1, r.y0 + 1}, kSelection);
            dynamicQuads.add({r.x0 - 1, r.y1 - 1, r.x1 + 1, r.y1 + 1}, kSelection);
            dynamicQuads.add({r.x0 - 1, r.y0, r.x0 + 1, r.y1}, kSelection);
            dynamicQuads.add({r.x1 - 1, r.y0, r.x1 + 1, r.y1}, kSelection);
        }
    }
    const float head = static_cast<float>(axis.xOf(demoTime));
    dynamicQuads.add({head - 1.0f, PanelLayout::kStatusTop, head + 1.0f, PanelLayout::kTop}, kPlayHead);
    dynamicQuads.finish();

    std::string line = timeReadout(demoTime);
    if (edits.isEdited())
        line += "      unsaved: " + edits.editedFiles() + " (Ctrl+S saves)";
    if (line != statusLine) {
        status->setText(line, osgText::String::ENCODING_UTF8);
        statusLine = line;
    }
}
