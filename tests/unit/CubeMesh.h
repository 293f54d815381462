#pragma once

#include <osg/Array>
#include <osg/ref_ptr>

#include <cstdint>
#include <vector>

// A cube of twelve triangles, counter-clockwise from outside.
inline osg::ref_ptr<osg::Vec3Array> cubeCorners()
{
    osg::ref_ptr<osg::Vec3Array> corners = new osg::Vec3Array;
    for (int i = 0; i < 8; ++i)
        corners->push_back(osg::Vec3(i & 1 ? 1 : -1, i & 2 ? 1 : -1, i & 4 ? 1 : -1));
    return corners;
}
inline const std::vector<uint32_t> kCubeFaces = {0, 2, 3, 0, 3, 1, 4, 5, 7, 4, 7, 6, 0, 1, 5, 0, 5, 4,
                                                 2, 6, 7, 2, 7, 3, 0, 4, 6, 0, 6, 2, 1, 3, 7, 1, 7, 5};
