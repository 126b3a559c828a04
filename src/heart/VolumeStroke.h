#pragma once
// What the voxel volume knows of a fibre stroke: its path and its creation serial.
// The growth engine's strokes derive from this, so the volume stays independent of
// the growth classes. Sets of strokes are ordered by serial, never by address, so that
// searches that break ties by order give the same result in every process.
#include <cstdint>
#include <set>
#include <vector>

#include "geometry/Vector3.h"

namespace vantrel {

class VolumeStroke {
public:
    explicit VolumeStroke(std::uint64_t serial) : serial_(serial) {}
    virtual ~VolumeStroke() = default;

    std::uint64_t Serial() const { return serial_; }
    // The stroke's points from start to end.
    virtual const std::vector<Vector3>& PathPoints() const = 0;

private:
    std::uint64_t serial_;
};

struct ByStrokeSerial {
    bool operator()(const VolumeStroke* a, const VolumeStroke* b) const {
        return a->Serial() < b->Serial();
    }
};

using StrokeSet = std::set<VolumeStroke*, ByStrokeSerial>;

}  // namespace vantrel
