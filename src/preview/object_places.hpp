#pragma once

// Where a level's objects are, as a preview draws them: one ring a place, one
// ring a blot of places side by side, one ring at the edge for each place
// outside the picture.

#include <cstddef>
#include <span>
#include <vector>

#include "preview/scene.hpp"

namespace bmp2land::preview {

// The objects at one position; numbers count from 1 in the scene's order.
struct Place {
    Point at;
    std::vector<std::size_t> objects;  // ascending
};

struct ObjectPlaces {
    std::vector<Place> alone;               // inside, with no other place beside it
    std::vector<std::vector<Place>> blots;  // places side by side, each group in scene order
    std::vector<Place> outside;             // x or y past the picture's edge
    std::size_t shared = 0;                 // objects at a place that an earlier object has
    std::size_t touching = 0;               // places with another left, right, above or below
};

ObjectPlaces arrangeObjects(std::span<const Point> objects);

}  // namespace bmp2land::preview
