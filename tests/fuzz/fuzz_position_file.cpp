// Position files: any bytes load without a crash, and every pose taken is
// finite, so the spline never hands the scene graph a NaN. Read from
// memory, as the file reader reads an open file.
#include "FuzzSupport.h"

#include "camera/PathCamera.h"

#include <cmath>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::enterScratchFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::FILE* file = fuzz::openInput(data, size);
    PathCamera camera;
    camera.load(file, "path.pos");
    std::fclose(file);
    for (float u : {0.0f, 0.37f, 1.0f}) {
        camera.setPathFraction(u);
        const Vector3 eye = camera.getEye();
        if (!std::isfinite(eye.x) || !std::isfinite(eye.y) || !std::isfinite(eye.z))
            std::abort();
    }
    return 0;
}
