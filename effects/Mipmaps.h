#pragma once

#include <osg/Image>

// Mesa's software rasteriser makes a mipmapped texture's smaller levels on
// the drawing thread when the picture is first uploaded, with a draw per
// level: 120 ms of the splash's frame for its 1024 x 1024 picture, 30 to
// 50 ms for each later one. Made where the picture is read (on the
// preloader's thread while the show starts), the upload only copies them.

namespace Demo {
namespace Image {

// Adds every smaller level, down to 1 x 1, to an 8-bit picture whose sides
// are powers of two, made as the rasteriser makes them: each texel from
// the 2 x 2 above it, the two pairs across first, then the two results,
// each mean rounded half up. Leaves any other picture as it is.
void attachMipmaps(osg::Image& image);

// Whether the current context's renderer makes levels as attachMipmaps
// does: Mesa's llvmpipe, the renderer the tests compare them with.
bool rendererMakesLevelsAsAttached();

} // namespace Image
} // namespace Demo
