#include "scenes/BackFacePoints.h"

#include "scenes/OutlineEdges.h"
#include "scenes/ViewDependentGeometry.h"

#include <osg/Geode>
#include <osg/Program>

namespace {

const char* const kPointVertex = R"(
varying float copies;
void main()
{
    gl_FrontColor = gl_Color;
    gl_TexCoord[0] = gl_MultiTexCoord0;
    copies = gl_MultiTexCoord1.x;
    gl_Position = ftransform();
}
)";

// The colour as the blender would take it, an 8-bit level, added `copies`
// times.
const char* const kPointFragment = R"(
uniform sampler2D image;
varying float copies;
void main()
{
    vec4 colour = gl_Color * texture2D(image, gl_TexCoord[0].st);
    vec3 level = floor(colour.rgb * 255.0 + 0.5);
    gl_FragColor = vec4(min(level * copies, 255.0) / 255.0, colour.a);
}
)";

osg::ref_ptr<osg::StateSet> pointState(const osg::StateSet* source)
{
    osg::ref_ptr<osg::StateSet> state =
        source ? new osg::StateSet(*source, osg::CopyOp::SHALLOW_COPY) : new osg::StateSet;
    osg::ref_ptr<osg::Program> program = new osg::Program;
    program->addShader(new osg::Shader(osg::Shader::VERTEX, kPointVertex));
    program->addShader(new osg::Shader(osg::Shader::FRAGMENT, kPointFragment));
    state->setAttributeAndModes(program.get());
    state->addUniform(new osg::Uniform("image", 0));
    return state;
}

void collectGeodes(osg::Node& node, std::vector<osg::Geode*>& geodes)
{
    if (osg::Geode* geode = node.asGeode()) {
        geodes.push_back(geode);
    } else if (osg::Group* group = node.asGroup()) {
        for (unsigned i = 0; i < group->getNumChildren(); ++i)
            collectGeodes(*group->getChild(i), geodes);
    }
}

} // namespace

void countBackFaceCorners(const std::vector<uint32_t>& triangles, const osg::Vec3Array& vertices,
                          const osg::Vec4& eye, bool mirrored, std::vector<float>& copies,
                          std::vector<uint32_t>& points)
{
    copies.assign(vertices.size(), 0.0f);
    for (size_t t = 0; t + 2 < triangles.size(); t += 3) {
        const uint32_t a = triangles[t], b = triangles[t + 1], c = triangles[t + 2];
        if (a >= vertices.size() || b >= vertices.size() || c >= vertices.size())
            continue;
        if (turnedAway(vertices[a], vertices[b], vertices[c], eye, mirrored))
            for (uint32_t corner : {a, b, c})
                copies[corner] += 1.0f;
    }
    for (uint32_t v = 0; v < copies.size(); ++v)
        if (copies[v] > 0.0f)
            points.push_back(v);
}

BackFacePoints::BackFacePoints(osg::Geometry& source)
    : ViewDependentGeometry(source, GL_POINTS), sourceTriangles(trianglesOf(source)), cornerCopies(new osg::FloatArray)
{
    setColorArray(source.getColorArray(), source.getColorArray() ? source.getColorArray()->getBinding()
                                                                 : osg::Array::BIND_OFF);
    setTexCoordArray(0, source.getTexCoordArray(0));
    setTexCoordArray(1, cornerCopies.get(), osg::Array::BIND_PER_VERTEX);
    setStateSet(pointState(source.getStateSet()).get());
}

void BackFacePoints::select(const osg::Vec3Array& vertices, const osg::Vec4& eye, bool mirrored,
                            std::vector<uint32_t>& indices) const
{
    countBackFaceCorners(sourceTriangles, vertices, eye, mirrored, cornerCopies->asVector(), indices);
    cornerCopies->dirty();
}

void addBackFacePoints(osg::Node& model)
{
    std::vector<osg::Geode*> geodes;
    collectGeodes(model, geodes);
    for (osg::Geode* geode : geodes) {
        const unsigned count = geode->getNumDrawables();
        for (unsigned i = 0; i < count; ++i) {
            osg::Geometry* geometry = geode->getDrawable(i)->asGeometry();
            geode->addDrawable(new BackFacePoints(*geometry));
        }
    }
}
