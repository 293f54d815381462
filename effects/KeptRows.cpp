#include "effects/KeptRows.h"

#include "effects/OverlaySpeedUps.h"

#include <osg/Geometry>
#include <osg/State>
#include <osg/Viewport>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

// The renderer works the lookups out in single precision, from plane
// equations set up a little differently from ours: a texel's hundredth
// covers that, many times over.
const double kRoundingRoom = 0.01;
// Kept rows fewer than this between two runs are drawn with them.
const int kShortestGap = 8;

bool readsTexels(const osg::Image& image)
{
    return image.getDataType() == GL_UNSIGNED_BYTE &&
           (image.getPixelFormat() == GL_RGB || image.getPixelFormat() == GL_RGBA) && image.s() > 0 && image.t() > 0;
}

// The texel rows a lookup at `v` texels down the image may read: the two a
// linear filter blends and the one a nearest filter picks, either way the
// rounding goes.
std::pair<int, int> rowsRead(double v)
{
    return {static_cast<int>(std::floor(v - 0.5 - kRoundingRoom)),
            static_cast<int>(std::floor(v + 0.5 + kRoundingRoom))};
}

bool allKept(const std::vector<bool>& keptRows, std::pair<int, int> rows, bool repeat)
{
    const int height = static_cast<int>(keptRows.size());
    if (rows.second - rows.first >= height)
        return false;
    for (int row = rows.first; row <= rows.second; ++row) {
        const int inside = repeat ? ((row % height) + height) % height : std::clamp(row, 0, height - 1);
        if (!keptRows[inside])
            return false;
    }
    return true;
}

} // namespace

std::vector<bool> rowsThatKeepTheFrame(const osg::Image& image, const osg::BlendFunc& blend)
{
    if (!readsTexels(image))
        return {};
    const int channels = image.getPixelFormat() == GL_RGBA ? 4 : 3;
    // Most images hold few distinct texels: each is judged once.
    std::map<unsigned, bool> judged;
    const auto keeps = [&](const unsigned char* p) {
        const unsigned key = p[0] | p[1] << 8 | p[2] << 16 | unsigned(channels == 4 ? p[3] : 255) << 24;
        const auto found = judged.find(key);
        if (found != judged.end())
            return found->second;
        const osg::Vec4 texel(p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, channels == 4 ? p[3] / 255.0f : 1.0f);
        return judged[key] = keepsTheFrameAt(blend, texel, 1.0f);
    };
    std::vector<bool> kept(image.t());
    for (int row = 0; row < image.t(); ++row) {
        const unsigned char* texels = image.data(0, row);
        bool all = true;
        for (int column = 0; column < image.s() && all; ++column)
            all = keeps(texels + channels * column);
        kept[row] = all;
    }
    return kept;
}

std::vector<RowRun> rowsToDraw(const std::vector<bool>& keptRows, const RowMapping& mapping, int first, int count,
                               bool repeat)
{
    std::vector<RowRun> runs;
    for (int y = first; y < first + count; ++y) {
        if (!keptRows.empty() && allKept(keptRows, rowsRead(mapping.atFirstRow + mapping.perRow * (y - first)), repeat))
            continue;
        if (!runs.empty() && y - (runs.back().first + runs.back().count) < kShortestGap)
            runs.back().count = y + 1 - runs.back().first;
        else
            runs.push_back({y, 1});
    }
    return runs;
}

namespace {

// Where the quad's coordinate down the image runs with the window row, when
// it follows the row alone and the quad is drawn without perspective.
std::optional<RowMapping> mappingOf(const osg::Geometry& quad, const osg::State& state, int imageHeight)
{
    const auto* vertices = dynamic_cast<const osg::Vec3Array*>(quad.getVertexArray());
    const auto* coordinates = dynamic_cast<const osg::Vec2Array*>(quad.getTexCoordArray(0));
    const osg::Viewport* viewport = state.getCurrentViewport();
    if (!vertices || !coordinates || !viewport || vertices->size() != coordinates->size() || vertices->size() < 3)
        return std::nullopt;
    const osg::Matrix toClip = state.getModelViewMatrix() * state.getProjectionMatrix();
    std::vector<osg::Vec2d> rowAndCoordinate; // window y, texels down
    double firstW = 0.0;
    for (size_t i = 0; i < vertices->size(); ++i) {
        const osg::Vec4d clip = osg::Vec4d((*vertices)[i], 1.0) * toClip;
        if (i == 0)
            firstW = clip.w();
        if (std::fabs(clip.w() - firstW) > 1e-9 || clip.w() <= 0.0)
            return std::nullopt;
        const double windowY = viewport->y() + (clip.y() / clip.w() + 1.0) * 0.5 * viewport->height();
        rowAndCoordinate.push_back({windowY, double((*coordinates)[i].y()) * imageHeight});
    }
    const auto [low, high] = std::minmax_element(rowAndCoordinate.begin(), rowAndCoordinate.end(),
                                                 [](const osg::Vec2d& a, const osg::Vec2d& b) { return a.x() < b.x(); });
    if (high->x() - low->x() < 1.0)
        return std::nullopt;
    const double perRow = (high->y() - low->y()) / (high->x() - low->x());
    for (const osg::Vec2d& corner : rowAndCoordinate)
        if (std::fabs(low->y() + perRow * (corner.x() - low->x()) - corner.y()) > 1e-4)
            return std::nullopt;
    const double firstCentre = viewport->y() + 0.5;
    return RowMapping{low->y() + perRow * (firstCentre - low->x()), perRow};
}

// The vertex colours clamp to one: full opacity from there up.
bool atFullOpacity(const osg::Geometry& quad)
{
    const auto* colours = dynamic_cast<const osg::Vec4Array*>(quad.getColorArray());
    return colours && !colours->empty() &&
           std::all_of(colours->begin(), colours->end(), [](const osg::Vec4& c) { return c.a() >= 1.0f; });
}

} // namespace

LeaveOutKeptRows::LeaveOutKeptRows(std::vector<bool> keptRows, const osg::Texture2D& texture)
    : keptRows(std::move(keptRows)), repeat(texture.getWrap(osg::Texture::WRAP_T) == osg::Texture::REPEAT)
{
}

void LeaveOutKeptRows::drawImplementation(osg::RenderInfo& renderInfo, const osg::Drawable* drawable) const
{
    osg::State& state = *renderInfo.getState();
    const osg::Geometry* quad = drawable->asGeometry();
    const std::optional<RowMapping> mapping =
        quad && atFullOpacity(*quad) && !state.getLastAppliedMode(GL_SCISSOR_TEST)
            ? mappingOf(*quad, state, static_cast<int>(keptRows.size()))
            : std::nullopt;
    if (!mapping) {
        drawable->drawImplementation(renderInfo);
        return;
    }
    const osg::Viewport& viewport = *state.getCurrentViewport();
    const std::vector<RowRun> runs =
        rowsToDraw(keptRows, *mapping, int(viewport.y()), int(viewport.height()), repeat);
    glEnable(GL_SCISSOR_TEST);
    for (const RowRun& run : runs) {
        glScissor(GLint(viewport.x()), run.first, GLsizei(viewport.width()), run.count);
        drawable->drawImplementation(renderInfo);
    }
    glDisable(GL_SCISSOR_TEST);
    // The state's record of the scissor's rectangle is no longer what is set.
    state.haveAppliedAttribute(osg::StateAttribute::SCISSOR);
}
