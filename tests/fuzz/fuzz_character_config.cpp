// The character configuration reader: any bytes, read against a folder that
// holds a real skeleton and material, so the material threads and their map
// names are exercised as well as every failure path.
#include "FuzzSupport.h"

#include "platform/osgCal/CoreModel.h"
#include "scenes/CharacterConfig.h"

#include <cal3d/cal3d.h>
#include <osg/ref_ptr>

namespace {

void writeCharacterParts()
{
    mkdir("skeleton", 0755);
    CalCoreSkeletonPtr skeleton = new CalCoreSkeleton;
    auto* bone = new CalCoreBone("root");
    bone->setCoreSkeleton(skeleton.get());
    bone->setParentId(-1);
    skeleton->addCoreBone(bone);
    skeleton->calculateState();
    CalCoreMaterialPtr material = new CalCoreMaterial;
    material->reserve(2);
    material->setMap(0, {"skin.png", nullptr});
    material->setMap(1, {"", nullptr});
    if (!CalSaver::saveCoreSkeleton("skeleton/s.csf", skeleton.get()) ||
        !CalSaver::saveCoreMaterial("skeleton/m.crf", material.get()))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::enterScratchFolder();
    writeCharacterParts();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::writeInput("skeleton/skeleton.cfg", data, size);
    osg::ref_ptr<osgCal::CoreModel> core = new osgCal::CoreModel;
    if (!LoadCFG("skeleton", "skeleton/skeleton.cfg", core.get()))
        std::abort(); // the file is there: only a missing file gives false
    return 0;
}
