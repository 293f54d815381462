#include "scenes/ColourCartoon.h"

#include "app/Globals.h"

#include "scenes/OutlineEdges.h"

#include <osg/LineWidth>
#include <osg/PolygonOffset>
#include <osg/Program>
#include <osg/Texture1D>
#include <osgFX/Effect>
#include <osgFX/Technique>

#include <vector>

namespace {

const char* const kToonVertex = R"(
varying float toonLevel;
varying vec4 toonColour;
void main()
{
    vec4 light = gl_LightSource[0].position;
    vec3 toLight = light.w != 0.0 ? light.xyz - (gl_ModelViewMatrix * gl_Vertex).xyz : light.xyz;
    vec3 normal = normalize(gl_NormalMatrix * gl_Normal);
    toonLevel = max(0.0, dot(normalize(toLight), normal));
    toonColour = gl_FrontMaterial.diffuse;
    gl_Position = ftransform();
}
)";

const char* const kToonFragment = R"(
uniform sampler1D toonRamp;
varying float toonLevel;
varying vec4 toonColour;
void main()
{
    gl_FragColor = vec4(toonColour.rgb * texture1D(toonRamp, toonLevel).r, toonColour.a);
}
)";

const char* const kOutlineVertex = R"(
void main() { gl_Position = ftransform(); }
)";

const char* const kOutlineFragment = R"(
uniform vec4 outlineColour;
void main() { gl_FragColor = outlineColour; }
)";

// Four flat bands from shadow to highlight.
osg::ref_ptr<osg::Texture1D> makeToonRamp()
{
    osg::ref_ptr<osg::Image> image = new osg::Image;
    image->allocateImage(4, 1, 1, GL_LUMINANCE, GL_UNSIGNED_BYTE);
    const unsigned char bands[4] = {90, 150, 215, 255};
    std::copy(bands, bands + 4, image->data());
    osg::ref_ptr<osg::Texture1D> ramp = new osg::Texture1D(image.get());
    ramp->setFilter(osg::Texture::MIN_FILTER, osg::Texture::NEAREST);
    ramp->setFilter(osg::Texture::MAG_FILTER, osg::Texture::NEAREST);
    ramp->setWrap(osg::Texture::WRAP_S, osg::Texture::CLAMP_TO_EDGE);
    return ramp;
}

osg::ref_ptr<osg::Program> makeProgram(const char* vertex, const char* fragment)
{
    osg::ref_ptr<osg::Program> program = new osg::Program;
    program->addShader(new osg::Shader(osg::Shader::VERTEX, vertex));
    program->addShader(new osg::Shader(osg::Shader::FRAGMENT, fragment));
    return program;
}

template <typename T, typename Make>
T* sharedOnce(osg::ref_ptr<T>& shared, Make make)
{
    if (!shared)
        shared = make();
    return shared.get();
}

osg::Program* toonProgram()
{
    return sharedOnce(g_toonProgram, [] { return makeProgram(kToonVertex, kToonFragment); });
}

osg::Program* outlineProgram()
{
    return sharedOnce(g_outlineProgram, [] { return makeProgram(kOutlineVertex, kOutlineFragment); });
}

osg::Texture1D* toonRamp()
{
    return sharedOnce(g_toonRamp, makeToonRamp);
}

class ColourToonTechnique : public osgFX::Technique
{
public:
    ColourToonTechnique(const osg::Vec4& outline, float width)
        : outlineColour(outline), lineWidth(width) {}

    void getRequiredExtensions(std::vector<std::string>& extensions) const override
    {
        extensions.push_back("GL_ARB_shader_objects");
        extensions.push_back("GL_ARB_vertex_shader");
        extensions.push_back("GL_ARB_fragment_shader");
    }

    void traverse(osg::NodeVisitor& nv, osgFX::Effect* fx) override
    {
        followChildren(*fx);
        traverse_implementation(nv, fx);
    }

protected:
    osg::Node* getOverrideChild(int pass) override { return pass == kOutlinePass ? outline.get() : nullptr; }

    void define_passes() override
    {
        addPass(fillPass());
        addPass(outlinePass());
    }

private:
    osg::StateSet* fillPass() const
    {
        auto* ss = new osg::StateSet;
        const auto on = osg::StateAttribute::ON | osg::StateAttribute::OVERRIDE;
        ss->setAttributeAndModes(toonProgram(), on);
        ss->setTextureAttributeAndModes(0, toonRamp(), on);
        ss->addUniform(new osg::Uniform("toonRamp", 0));
        // Pushed back a little so the outlines of the next pass win.
        ss->setAttributeAndModes(new osg::PolygonOffset(1.0f, 1.0f), on);
        return ss;
    }

    osg::StateSet* outlinePass() const
    {
        auto* ss = new osg::StateSet;
        const auto on = osg::StateAttribute::ON | osg::StateAttribute::OVERRIDE;
        ss->setAttributeAndModes(outlineProgram(), on);
        ss->addUniform(new osg::Uniform("outlineColour", outlineColour));
        ss->setAttributeAndModes(new osg::LineWidth(lineWidth), on);
        ss->setTextureMode(0, GL_TEXTURE_1D, osg::StateAttribute::OVERRIDE | osg::StateAttribute::OFF);
        return ss;
    }

    // The outline pass draws a mirror of the effect's children made of
    // their edges, made again whenever the children change.
    void followChildren(osgFX::Effect& fx)
    {
        std::vector<osg::Node*> children;
        for (unsigned i = 0; i < fx.getNumChildren(); ++i)
            children.push_back(fx.getChild(i));
        if (outline && children == mirrored)
            return;
        const auto* cartoon = dynamic_cast<const ColourCartoon*>(&fx);
        const bool asEdges = cartoon && cartoon->drawsOutlinesAsEdges();
        outline = new osg::Group;
        for (osg::Node* child : children)
            outline->addChild((asEdges ? buildOutlineMirror(*child) : polygonModeOutline(*child)).get());
        mirrored = children;
    }

    static constexpr int kOutlinePass = 1;
    osg::Vec4 outlineColour;
    float lineWidth;
    osg::ref_ptr<osg::Group> outline;
    std::vector<osg::Node*> mirrored;
};

} // namespace

ColourCartoon::ColourCartoon()
{
    setOutlineColor(osg::Vec4(0.0f, 0.0f, 0.0f, 1.0f));
    setOutlineLineWidth(g_picture.scaled(2.5f));
}

bool ColourCartoon::define_techniques()
{
    addTechnique(new ColourToonTechnique(getOutlineColor(), getOutlineLineWidth()));
    return true;
}

void speedUpOutline(SpeedUpList& speedUps, const std::string& name, ColourCartoon& cartoon)
{
    // The effect's own traversal shows visitors a node of its own, not its
    // children: each child is asked itself.
    speedUps.apply(name + ": outline edges as lines", [&] {
        bool all = cartoon.getNumChildren() > 0;
        for (unsigned i = 0; i < cartoon.getNumChildren(); ++i)
            all = all && drawsFromModelVertices(*cartoon.getChild(i));
        return holdsIf(all, "a drawable has no model vertices");
    }, [&] { cartoon.drawOutlinesAsEdges(); });
}
