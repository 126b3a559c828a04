#include "render/PickBuffer.h"

namespace vantrel {

void PickBuffer::Allocate(int width, int height) {
    if (width < 1 || height < 1) {
        Free();
        return;
    }
    width_ = width;
    height_ = height;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    codes_.assign(count, kPickBackground);
    depths_.assign(count, 1.0f);
    rendered_ = false;
}

void PickBuffer::Free() {
    width_ = -1;
    height_ = -1;
    rendered_ = false;
    std::vector<std::uint32_t>().swap(codes_);
    std::vector<float>().swap(depths_);
}

PickSample PickBuffer::Read(int x, int row) const {
    PickSample sample;
    if (!rendered_ || x < 0 || row < 0 || x >= width_ || row >= height_) return sample;
    const std::size_t at = static_cast<std::size_t>(row) * static_cast<std::size_t>(width_) +
                           static_cast<std::size_t>(x);
    sample.code = codes_[at];
    sample.depth = depths_[at];
    sample.hit = sample.code != kPickBackground && sample.depth != 1.0f;
    return sample;
}

bool EncodePolygonPick(int polygonIndex, unsigned char rgb[3]) {
    if (polygonIndex < 0 || polygonIndex >= 0xFFFFFF) return false;
    rgb[0] = static_cast<unsigned char>(polygonIndex & 0xFF);
    rgb[1] = static_cast<unsigned char>((polygonIndex >> 8) & 0xFF);
    rgb[2] = static_cast<unsigned char>((polygonIndex >> 16) & 0xFF);
    return true;
}

int PolygonFromPickCode(PickCode code) {
    return static_cast<int>(code & 0xFFFFFFu);
}

}  // namespace vantrel
