#include "scenes/HighlightSplit.h"

#include "scenes/OutlineEdges.h"

#include <osg/State>
#include <osg/Viewport>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Extra room for how the renderer estimates a lookup's footprint (from the
// differences between neighbouring pixels, and with a quick logarithm).
const double kFootprintSlack = 1.25;

// How far from a lookup's direction the texels it reads can lie, at level
// k: the bilinear filter reads the four level-k texels around the point,
// each the average of 2^k x 2^k texels of the largest level, which span at
// most 2/n radians each (at a face's centre).
double reachAtLevel(int k, int texelsPerFaceEdge)
{
    const double texels = 1.5 * std::ldexp(1.0, k) + 0.5;
    return texels * std::sqrt(2.0) * 2.0 / texelsPerFaceEdge;
}

int smallestLevel(int texelsPerFaceEdge)
{
    int level = 0;
    while ((texelsPerFaceEdge >> level) > 1)
        ++level;
    return level;
}

// The least largest component of the triangle's lookup directions: along
// an axis on which the corners agree in sign, a blend of them is at least
// the smallest corner's component long, and the blend is no longer than one.
double leastMajorComponent(const TriangleInView& t)
{
    double least = 1.0 / std::sqrt(3.0);
    for (int axis = 0; axis < 3; ++axis) {
        const float a = t.reflected[0][axis], b = t.reflected[1][axis], c = t.reflected[2][axis];
        if ((a > 0.0f && b > 0.0f && c > 0.0f) || (a < 0.0f && b < 0.0f && c < 0.0f))
            least = std::max(least, double(std::min({std::fabs(a), std::fabs(b), std::fabs(c)})));
    }
    return least;
}

float manhattan(const osg::Vec2& v)
{
    return std::fabs(v.x()) + std::fabs(v.y());
}

// The direction of a point on a face, s and t from -1 to 1, as OpenGL
// defines the faces.
osg::Vec3 faceDirection(int face, float s, float t)
{
    switch (face) {
    case osg::TextureCubeMap::POSITIVE_X: return {1.0f, -t, -s};
    case osg::TextureCubeMap::NEGATIVE_X: return {-1.0f, -t, s};
    case osg::TextureCubeMap::POSITIVE_Y: return {s, 1.0f, t};
    case osg::TextureCubeMap::NEGATIVE_Y: return {s, -1.0f, -t};
    case osg::TextureCubeMap::POSITIVE_Z: return {s, -t, 1.0f};
    default: return {-s, -t, -1.0f};
    }
}

template <typename Visit>
void forEachLitTexel(const osg::TextureCubeMap& map, Visit visit)
{
    for (int face = 0; face < 6; ++face) {
        const osg::Image* image = map.getImage(face);
        if (!image)
            continue;
        for (int row = 0; row < image->t(); ++row)
            for (int column = 0; column < image->s(); ++column) {
                const osg::Vec4 colour = image->getColor(column, row);
                if (colour.r() == 0.0f && colour.g() == 0.0f && colour.b() == 0.0f)
                    continue;
                osg::Vec3 direction = faceDirection(face, 2.0f * (column + 0.5f) / image->s() - 1.0f,
                                                    2.0f * (row + 0.5f) / image->t() - 1.0f);
                direction.normalize();
                visit(direction);
            }
    }
}

} // namespace

HighlightCone coneOfLitTexels(const osg::TextureCubeMap& map)
{
    HighlightCone cone;
    if (const osg::Image* first = map.getImage(0))
        cone.texelsPerFaceEdge = std::max(first->s(), first->t());
    osg::Vec3 sum;
    forEachLitTexel(map, [&](const osg::Vec3& direction) {
        sum += direction;
        cone.anyLit = true;
    });
    if (!cone.anyLit)
        return cone;
    // Lit texels all round leave no mean direction; any axis with the
    // widest angle holds them.
    if (sum.normalize() == 0.0f)
        sum.set(0.0f, 0.0f, 1.0f);
    cone.axis = sum;
    forEachLitTexel(map, [&](const osg::Vec3& direction) {
        cone.halfAngle = std::max(cone.halfAngle, std::acos(std::clamp(double(direction * sum), -1.0, 1.0)));
    });
    return cone;
}

HighlightJudge::HighlightJudge(const HighlightCone& cone)
    : axis(cone.axis), texelsPerFaceEdge(cone.texelsPerFaceEdge)
{
    for (int k = 0; k <= smallestLevel(cone.texelsPerFaceEdge); ++k) {
        // Nearest-level mipmapping picks the level nearest log2 of the
        // texels a pixel steps over: no smaller than k below 2^(k + 1/2).
        maxTexelsPerPixel.push_back(std::ldexp(std::sqrt(2.0), k) / kFootprintSlack);
        const double nearest = cone.halfAngle + reachAtLevel(k, cone.texelsPerFaceEdge);
        // Nothing lit: every lookup is black.
        cosLimit.push_back(!cone.anyLit ? 2.0 : nearest < M_PI ? std::cos(nearest) : -2.0);
    }
}

HighlightLookup HighlightJudge::operator()(const TriangleInView& t) const
{
    if (!(t.w[0] > 0.0f && t.w[1] > 0.0f && t.w[2] > 0.0f))
        return HighlightLookup::AnyLevel;
    // Every lookup in the triangle is along a blend of the corner
    // directions, no shorter than the square root of their smallest dot
    // product.
    const double minDot = std::min({t.reflected[0] * t.reflected[1], t.reflected[1] * t.reflected[2],
                                    t.reflected[0] * t.reflected[2]});
    if (minDot < 0.5)
        return HighlightLookup::AnyLevel;
    const double texels = texelsPerPixel(t, minDot, texelsPerFaceEdge);
    size_t level = 0;
    while (level + 1 < cosLimit.size() && !(texels < maxTexelsPerPixel[level]))
        ++level;
    const double maxCos = std::max({t.reflected[0] * axis, t.reflected[1] * axis, t.reflected[2] * axis});
    const double cosBound = maxCos > 0.0 ? maxCos / std::sqrt(minDot) : maxCos;
    if (cosBound < cosLimit[level])
        return HighlightLookup::Black;
    return level == 0 ? HighlightLookup::LargestLevel : HighlightLookup::AnyLevel;
}

// How many texels of the largest level the lookup steps over from one pixel
// to the next, at most. Its direction turns per pixel by the blend's
// gradient over its least length; with perspective the corners' weights
// scale by between 1/f and f (f the largest over the smallest w), which
// adds at most (f - 1/f) x the chord x the sum of the barycentric
// gradients, the perimeter over twice the area. A turn of one radian
// crosses up to 1 / m^2 units of the face's tangent plane (m the direction's
// component along the face's axis), which spans -1 to 1.
double HighlightJudge::texelsPerPixel(const TriangleInView& t, double minDot, int texelsPerFaceEdge)
{
    const osg::Vec2 d1 = t.screen[1] - t.screen[0], d2 = t.screen[2] - t.screen[0];
    const double twiceArea = std::fabs(double(d1.x()) * d2.y() - double(d1.y()) * d2.x());
    if (twiceArea < 1e-6)
        return HUGE_VAL;
    const osg::Vec3 r1 = t.reflected[1] - t.reflected[0], r2 = t.reflected[2] - t.reflected[0];
    const double gradient = std::sqrt(std::max((r1 * d2.y() - r2 * d1.y()).length2(),
                                               (r2 * d1.x() - r1 * d2.x()).length2())) / twiceArea;
    const double f = double(std::max({t.w[0], t.w[1], t.w[2]})) / std::min({t.w[0], t.w[1], t.w[2]});
    const double chord = std::sqrt(std::max(0.0, 2.0 - 2.0 * minDot));
    const double perimeter = manhattan(d1) + manhattan(d2) + manhattan(d2 - d1);
    const double turn = (f * gradient + (f - 1.0 / f) * chord * perimeter / twiceArea) / std::sqrt(minDot);
    const double m = leastMajorComponent(t);
    return turn * 0.5 * texelsPerFaceEdge / (m * m);
}

namespace {

// The view of one source geometry, worked out once per view and shared by
// its three parts.
class HighlightSplitter : public osg::Referenced
{
public:
    HighlightSplitter(const osg::Geometry& source, const HighlightCone& cone, bool culledBackFaces)
        : sourceTriangles(trianglesOf(source)), judge(cone), skipTurnedAway(culledBackFaces),
          sourceVertices(dynamic_cast<const osg::Vec3Array*>(source.getVertexArray())),
          sourceNormals(dynamic_cast<const osg::Vec3Array*>(source.getNormalArray()))
    {
    }

    const std::vector<uint32_t>& triangles(const osg::State& state, HighlightLookup part)
    {
        update(state);
        return parts[static_cast<int>(part)];
    }

private:
    void update(const osg::State& state)
    {
        const osg::Viewport* viewport = state.getCurrentViewport();
        const osg::Matrix& modelView = state.getModelViewMatrix();
        const osg::Matrix& projection = state.getProjectionMatrix();
        const osg::Vec2 size = viewport ? osg::Vec2(viewport->width(), viewport->height()) : osg::Vec2();
        if (judged && modelView == judgedModelView && projection == judgedProjection && size == judgedViewport)
            return;
        judged = true;
        judgedModelView = modelView;
        judgedProjection = projection;
        judgedViewport = size;
        for (std::vector<uint32_t>& part : parts)
            part.clear();
        if (!viewport || !isRigid(modelView)) {
            parts[static_cast<int>(HighlightLookup::AnyLevel)] = sourceTriangles;
            return;
        }
        placeVertices(osg::Matrixf(modelView), osg::Matrixf(modelView * projection));
        sortTriangles();
    }

    // The reflections are worked out for normals that keep their length.
    static bool isRigid(const osg::Matrix& m)
    {
        for (int column = 0; column < 3; ++column)
            if (std::fabs(osg::Vec3d(m(0, column), m(1, column), m(2, column)).length2() - 1.0) > 1e-4)
                return false;
        return true;
    }

    // Where each vertex lands, which sides of the view volume it lies
    // beyond, and the fixed pipeline's reflection map at it: the view
    // direction mirrored in the normal, in eye space.
    void placeVertices(const osg::Matrixf& modelView, const osg::Matrixf& modelViewProjection)
    {
        const size_t count = sourceVertices->size();
        cornerW.resize(count);
        cornerSides.resize(count);
        cornerOnScreen.resize(count);
        cornerReflection.resize(count);
        const osg::Vec2 half = judgedViewport * 0.5f;
        for (size_t i = 0; i < count; ++i) {
            const osg::Vec3& vertex = (*sourceVertices)[i];
            const osg::Vec4 clip = osg::Vec4(vertex, 1.0f) * modelViewProjection;
            cornerW[i] = clip.w();
            cornerSides[i] = sidesBeyond(clip);
            const float inverse = clip.w() != 0.0f ? 1.0f / clip.w() : 0.0f;
            cornerOnScreen[i].set((clip.x() * inverse + 1.0f) * half.x(), (clip.y() * inverse + 1.0f) * half.y());
            osg::Vec3 view = vertex * modelView;
            view.normalize();
            osg::Vec3 normal = osg::Matrixf::transform3x3((*sourceNormals)[i], modelView);
            normal.normalize();
            cornerReflection[i] = view - normal * (2.0f * (normal * view));
        }
    }

    // One bit per side of the view volume the point lies beyond, by more
    // than rounding could move it. A triangle with all three corners beyond
    // one side is clipped whole by the renderer.
    static unsigned sidesBeyond(const osg::Vec4& clip)
    {
        unsigned sides = 0;
        for (int axis = 0; axis < 3; ++axis) {
            const float along = clip[axis], w = clip.w(), margin = 1e-4f * (std::fabs(along) + std::fabs(w));
            sides |= (along - w > margin ? 1u : 0u) << (2 * axis);
            sides |= (-along - w > margin ? 2u : 0u) << (2 * axis);
        }
        return sides;
    }

    // Clockwise on screen, by more than rounding could turn it: the
    // renderer culls it.
    static bool surelyTurnedAway(const TriangleInView& t)
    {
        if (!(t.w[0] > 0.0f && t.w[1] > 0.0f && t.w[2] > 0.0f))
            return false;
        const osg::Vec2 d1 = t.screen[1] - t.screen[0], d2 = t.screen[2] - t.screen[0];
        return d1.x() * d2.y() - d1.y() * d2.x() < -1e-3f * (d1.length2() + d2.length2());
    }

    void sortTriangles()
    {
        TriangleInView view;
        for (size_t t = 0; t + 2 < sourceTriangles.size(); t += 3) {
            const uint32_t* corners = &sourceTriangles[t];
            if (cornerSides[corners[0]] & cornerSides[corners[1]] & cornerSides[corners[2]])
                continue;
            for (int corner = 0; corner < 3; ++corner) {
                view.reflected[corner] = cornerReflection[corners[corner]];
                view.screen[corner] = cornerOnScreen[corners[corner]];
                view.w[corner] = cornerW[corners[corner]];
            }
            if (skipTurnedAway && surelyTurnedAway(view))
                continue;
            std::vector<uint32_t>& part = parts[static_cast<int>(judge(view))];
            part.insert(part.end(), corners, corners + 3);
        }
    }

    const std::vector<uint32_t> sourceTriangles;
    const HighlightJudge judge;
    const bool skipTurnedAway;
    osg::ref_ptr<const osg::Vec3Array> sourceVertices;
    osg::ref_ptr<const osg::Vec3Array> sourceNormals;
    bool judged = false;
    osg::Matrix judgedModelView, judgedProjection;
    osg::Vec2 judgedViewport;
    std::vector<float> cornerW;
    std::vector<unsigned> cornerSides;
    std::vector<osg::Vec2> cornerOnScreen;
    std::vector<osg::Vec3> cornerReflection;
    std::vector<uint32_t> parts[3];
};

// One of the three parts: the source's arrays, drawn through the triangles
// its splitter gives it for the current view.
class HighlightPart : public osg::Geometry
{
public:
    HighlightPart(const osg::Geometry& source, HighlightSplitter& splitter, HighlightLookup part)
        : osg::Geometry(source, osg::CopyOp::SHALLOW_COPY), splitter(&splitter), part(part),
          indices(new osg::DrawElementsUInt(GL_TRIANGLES))
    {
        // The triangles change with the view, the vertices stay put.
        setUseDisplayList(false);
        setUseVertexBufferObjects(true);
        setDataVariance(osg::Object::DYNAMIC);
        removePrimitiveSet(0, getNumPrimitiveSets());
        addPrimitiveSet(indices.get());
    }

    void drawImplementation(osg::RenderInfo& renderInfo) const override
    {
        const std::vector<uint32_t>& chosen = splitter->triangles(*renderInfo.getState(), part);
        if (chosen.empty())
            return;
        indices->asVector() = chosen;
        indices->dirty();
        osg::Geometry::drawImplementation(renderInfo);
    }

private:
    osg::ref_ptr<HighlightSplitter> splitter;
    const HighlightLookup part;
    osg::ref_ptr<osg::DrawElementsUInt> indices;
};

} // namespace

bool isHighlightPart(const osg::Drawable& drawable)
{
    return dynamic_cast<const HighlightPart*>(&drawable) != nullptr;
}

namespace {

bool hasNormalPerVertex(const osg::Geometry& geometry)
{
    const auto* vertices = dynamic_cast<const osg::Vec3Array*>(geometry.getVertexArray());
    const auto* normals = dynamic_cast<const osg::Vec3Array*>(geometry.getNormalArray());
    return vertices && normals && normals->size() == vertices->size() &&
           normals->getBinding() == osg::Array::BIND_PER_VERTEX;
}

// Culled by the mode alone: the default front (counter-clockwise) and the
// default face to cull (the back).
bool culledBackFaces(const osg::Geometry& geometry)
{
    const osg::StateSet* state = geometry.getStateSet();
    return state && (state->getMode(GL_CULL_FACE) & osg::StateAttribute::ON) &&
           !state->getAttribute(osg::StateAttribute::CULLFACE) && !state->getAttribute(osg::StateAttribute::FRONTFACE);
}

osg::ref_ptr<osg::StateSet> copyOfState(const osg::Geometry& geometry)
{
    const osg::StateSet* own = geometry.getStateSet();
    return own ? new osg::StateSet(*own, osg::CopyOp::SHALLOW_COPY) : new osg::StateSet;
}

// The parts' own states win over the map the geode's state imposes.
const osg::StateAttribute::GLModeValue kOffProtected = osg::StateAttribute::OFF | osg::StateAttribute::PROTECTED;
const osg::StateAttribute::GLModeValue kOnProtected = osg::StateAttribute::ON | osg::StateAttribute::PROTECTED;

void drawUntextured(osg::StateSet& state)
{
    for (GLenum mode : {GLenum(GL_TEXTURE_CUBE_MAP), GLenum(GL_TEXTURE_GEN_S), GLenum(GL_TEXTURE_GEN_T),
                        GLenum(GL_TEXTURE_GEN_R)})
        state.setTextureMode(0, mode, kOffProtected);
}

osg::ref_ptr<osg::TextureCubeMap> largestLevelOnly(const osg::TextureCubeMap& map)
{
    osg::ref_ptr<osg::TextureCubeMap> copy = new osg::TextureCubeMap(map, osg::CopyOp::SHALLOW_COPY);
    copy->setFilter(osg::Texture::MIN_FILTER, osg::Texture::LINEAR);
    copy->setFilter(osg::Texture::MAG_FILTER, osg::Texture::LINEAR);
    return copy;
}

} // namespace

void splitByHighlight(osg::Geode& geode, const osg::TextureCubeMap& map)
{
    const HighlightCone cone = coneOfLitTexels(map);
    const osg::ref_ptr<osg::TextureCubeMap> largestLevel = largestLevelOnly(map);
    for (unsigned i = 0; i < geode.getNumDrawables(); ++i) {
        osg::Geometry* source = geode.getDrawable(i)->asGeometry();
        if (!source || !hasNormalPerVertex(*source))
            continue;
        osg::ref_ptr<HighlightSplitter> splitter = new HighlightSplitter(*source, cone, culledBackFaces(*source));
        osg::ref_ptr<HighlightPart> black = new HighlightPart(*source, *splitter, HighlightLookup::Black);
        osg::ref_ptr<HighlightPart> magnified = new HighlightPart(*source, *splitter, HighlightLookup::LargestLevel);
        osg::ref_ptr<HighlightPart> any = new HighlightPart(*source, *splitter, HighlightLookup::AnyLevel);
        black->setStateSet(copyOfState(*source));
        drawUntextured(*black->getStateSet());
        magnified->setStateSet(copyOfState(*source));
        magnified->getStateSet()->setTextureAttributeAndModes(0, largestLevel.get(), kOnProtected);
        geode.setDrawable(i, any);
        geode.insertChild(++i, magnified);
        geode.insertChild(++i, black);
    }
}
