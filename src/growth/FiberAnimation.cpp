// The excitation wave over the grown network, and conduction blocks.
#include "growth/FiberCore.h"

namespace vantrel {

namespace {

// Activation states: 0 at rest, 11 just reached (becomes 10 within the same step),
// 10 excited, counting down to 1 where it stays until the wave restarts.
constexpr int kExcited = 10;
constexpr int kReached = 11;
// Squared distance from a pick ray within which a path point is hit.
constexpr double kPickDistanceSquared = 0.001;

// One count-down step; excited strokes of `strokes` pass the wave on to their
// neighbours at rest that are not blocked. Returns true when one was reached.
bool CountDown(std::vector<std::unique_ptr<Stroke>>& strokes, bool exciteNeighbours) {
    bool reachedAny = false;
    for (const auto& stroke : strokes) {
        if (stroke->activation == kExcited) {
            stroke->activation = kExcited - 1;
            if (!exciteNeighbours) continue;
            for (Stroke* neighbour : stroke->neighbours) {
                if (!neighbour->blocked && neighbour->activation == 0) {
                    neighbour->activation = kReached;
                    reachedAny = true;
                }
            }
        } else if (stroke->activation >= 2 && stroke->activation <= 9) {
            stroke->activation -= 1;
        }
    }
    return reachedAny;
}

void Arrive(std::vector<std::unique_ptr<Stroke>>& strokes) {
    for (const auto& stroke : strokes) {
        if (stroke->activation == kReached) stroke->activation = kExcited;
    }
}

}  // namespace

void FiberCore::StartAnimation() {
    for (Fiber& fiber : fibers) {
        for (auto* group : {&fiber.strokes, &fiber.apexes}) {
            for (const auto& stroke : *group) {
                for (Stroke* linked : stroke->links) {
                    stroke->neighbours.insert(linked);
                    linked->neighbours.insert(stroke.get());
                }
            }
        }
    }
}

void FiberCore::AnimationStep(const RepaintCallback& repaint) {
    bool changed = false;
    // Fibre by fibre, so a stroke reached from another fibre's junction arrives in
    // this step only when its own fibre comes later.
    for (Fiber& fiber : fibers) {
        changed = CountDown(fiber.strokes, true) || changed;
        CountDown(fiber.apexes, false);
        Arrive(fiber.strokes);
        Arrive(fiber.apexes);
    }
    if (!changed) {
        // The wave has died out: restart it at each fibre's first stroke, blocked
        // or not.
        for (Fiber& fiber : fibers) {
            for (const auto& stroke : fiber.strokes) stroke->activation = 0;
            for (const auto& stroke : fiber.apexes) stroke->activation = 0;
            if (!fiber.strokes.empty()) fiber.strokes.front()->activation = kExcited;
        }
    }
    if (repaint) repaint();
}

const Stroke* FiberCore::StrokeUnderRay(const Vector3& rayOrigin,
                                        const Vector3& rayDirection) const {
    const double directionSquared = rayDirection.Dot(rayDirection);
    double nearest = 0.0;
    const Stroke* chosen = nullptr;
    for (const Fiber& fiber : fibers) {
        for (const auto& stroke : fiber.strokes) {
            for (const Vector3& p : stroke->path.points) {
                const double t = (p - rayOrigin).Dot(rayDirection) / directionSquared;
                if (t < 0.0 || (chosen && t >= nearest)) continue;
                if ((rayOrigin + t * rayDirection - p).LengthSquared() < kPickDistanceSquared) {
                    nearest = t;
                    chosen = stroke.get();
                }
            }
        }
    }
    return chosen;
}

void FiberCore::ToggleBlockAt(const Vector3& rayOrigin, const Vector3& rayDirection) {
    const double directionSquared = rayDirection.Dot(rayDirection);
    for (Fiber& fiber : fibers) {
        double best = 10000.0;
        Stroke* chosen = nullptr;
        // Only grown strokes are searched, not the front.
        for (const auto& stroke : fiber.strokes) {
            for (const Vector3& p : stroke->path.points) {
                const double t = (p - rayOrigin).Dot(rayDirection) / directionSquared;
                const double distanceSquared = (rayOrigin + t * rayDirection - p).LengthSquared();
                if (distanceSquared < kPickDistanceSquared && distanceSquared < best) {
                    best = distanceSquared;
                    chosen = stroke.get();
                }
            }
        }
        if (chosen) chosen->blocked = !chosen->blocked;
    }
}

}  // namespace vantrel
