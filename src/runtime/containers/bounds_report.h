// The bounds report: the two lines that every failed array index prints
// before the program ends with "out of bounds".
//
//   bounds: [  10][   5]
//   access: [  12][   3]
//
// Each entry is the number right-aligned in at least four characters. The
// lines go to an attached debugger first (as "TX" lines), then to standard
// error. The report records no error and ends nothing; its caller does.
#pragma once
#include <cstdint>

namespace containers {

// How many dimensions a report shows at most: arrays of numbers, strings and
// records show two, arrays of bytes all four. A dimension is shown while its
// size is above 0; the first one always.
enum class BoundsReportWidth { TwoIndices = 2, FourIndices = 4 };

// The sizes (d1..d4) and the indices as the caller tested them.
void reportArrayBounds(const int32_t sizes[4], const int32_t indices[4], BoundsReportWidth width);

}  // namespace containers
