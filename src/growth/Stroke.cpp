#include "growth/Stroke.h"

#include <atomic>

namespace vantrel {

namespace {

std::uint64_t NextStrokeSerial() {
    // Only the order of serials matters (it orders every stroke set); an atomic
    // keeps the numbering monotonic even if strokes are ever made on two threads.
    static std::atomic<std::uint64_t> counter{0};
    return ++counter;
}

}  // namespace

Matrix4 TurnedTowards(const Matrix4& frame, Vector3 direction) {
    Vector3 frameY = FrameYAxis(frame);
    Matrix4 turn;
    RotationBetween(frameY, direction, turn);
    Matrix4 rotation = frame;
    SetFrameOrigin(rotation, Vector3());
    return turn.Multiply(rotation);
}

Stroke::Stroke() : VolumeStroke(NextStrokeSerial()) {
    startFrame.SetIdentity();
    endFrame.SetIdentity();
}

}  // namespace vantrel
