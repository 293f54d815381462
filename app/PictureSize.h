#pragma once

// The show lays its picture out on a virtual screen of 800 x 600 units: the
// overlays, the scopes and the text are placed in those units, and the 3D
// scenes' field of view is chosen for its 4:3. The window shows it at 800 x
// 600 pixels. The capture may render it larger, and then whatever the show
// measures in pixels rather than in units - line widths, point sizes, the
// textures that hold a copy of the screen, the depth map - grows with it,
// so the larger picture looks like the small one, only sharper.
struct PictureSize
{
    static constexpr int kVirtualWidth = 800;
    static constexpr int kVirtualHeight = 600;

    int width = kVirtualWidth;
    int height = kVirtualHeight;

    // Pixels per unit of the virtual screen, counted on the height.
    float scale() const { return static_cast<float>(height) / kVirtualHeight; }
    bool isVirtualScreen() const { return width == kVirtualWidth && height == kVirtualHeight; }
    // A width in pixels at 800 x 600, at this picture's scale.
    float scaled(float pixels) const { return pixels * scale(); }
    // A texture edge of `pixels` at 800 x 600, at this scale, rounded to a
    // whole texel.
    int scaledEdge(int pixels) const;
};

// The smallest power of two at least n: the renderer samples such textures
// on its fastest path.
int powerOfTwoAtLeast(int n);
