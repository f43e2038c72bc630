// The path commands: a route across a cost grid held in an array, written
// into a result array as one (x, y) pair per cell from the start to the goal.
// The map's first index is x (the column), its second y (the row), so a map
// needs two dimensions: one of a single dimension (dim(5)) has no rows and
// every start lies outside it; a single row is dim(5, 1). A cost of 0 or
// less is a wall, positive costs count only by their ratio to the largest.
// Routes move in the four straight directions. The weight blends cost (0)
// with distance to the goal (1); it is clamped into 0..1.
//
// Results: the number of cells on the route; 0 when there is none, when start
// or goal lie outside the map, when they are the same cell, or when no cell
// is passable. No error code is recorded for any of these. Storage that the
// search cannot obtain records error 7 and ends the program, as a failed
// array dimension does.
#pragma once
#include <cstdint>

#include "runtime/containers/rt_array.h"

// Result (n x 2 on a route): element (i, 0) is x and (i, 1) is y of cell i,
// cell 0 the start and cell n - 1 the goal. Without a route it becomes an
// array of no elements; when the request is refused it is left untouched.
int32_t FindPath(const RtArray<double>& map, RtArray<int>& result, double weight, int32_t startX,
                 int32_t startY, int32_t goalX, int32_t goalY);
// As FindPath with a result of doubles, which is dimensioned in every case
// (with no elements when the request is refused).
int32_t FindPathArrays(const RtArray<double>& map, RtArray<double>& result, double weight, int32_t startX,
                       int32_t startY, int32_t goalX, int32_t goalY);
// As FindPath over a map of integers.
int32_t FindPathArraysB(const RtArray<int>& map, RtArray<int>& result, double weight, int32_t startX,
                        int32_t startY, int32_t goalX, int32_t goalY);
