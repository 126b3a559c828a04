#pragma once
// What a pick pass leaves behind: for every pixel of the view the 32-bit pick code
// (the RGBA bytes of the pixel read as one little-endian word) and the window depth.
// Rows are stored bottom-up, as OpenGL reads them back.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantrel {

using PickCode = std::uint32_t;

// A pick pass clears to opaque white, so a pixel where nothing was drawn reads as this.
constexpr PickCode kPickBackground = 0xFFFFFFFFu;

struct PickSample {
    bool hit = false;
    PickCode code = kPickBackground;
    float depth = 1.0f;
};

class PickBuffer {
public:
    // Sizes both arrays to width x height and marks the contents as not rendered, so
    // that Read reports no hit until Store is called. Non-positive sizes empty it.
    void Allocate(int width, int height);
    // Frees both arrays; width and height become -1.
    void Free();
    // Marks the arrays as holding a finished pick pass (the caller has filled them).
    void MarkRendered() { rendered_ = true; }

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Rendered() const { return rendered_; }
    std::uint32_t* Codes() { return codes_.data(); }
    float* Depths() { return depths_.data(); }

    // The sample at column x, row `row` counted from the bottom. No hit outside the
    // arrays, before a pick pass has been stored, on the background code, or where
    // the depth is exactly 1.0 (nothing drawn).
    PickSample Read(int x, int row) const;

private:
    int width_ = -1;
    int height_ = -1;
    bool rendered_ = false;
    std::vector<std::uint32_t> codes_;
    std::vector<float> depths_;
};

// Polygon index <-> pick colour of the main view: the plain low, middle and high
// bytes of the index as red, green and blue, so that every index below 2^24 - 1
// is told apart from every other and from the background. EncodePolygonPick writes
// three bytes; indices outside [0, 2^24 - 2] are not encodable and give false.
bool EncodePolygonPick(int polygonIndex, unsigned char rgb[3]);
int PolygonFromPickCode(PickCode code);

}  // namespace vantrel
