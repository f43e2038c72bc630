// The three fatal ends of an array operation. Each records its runtime error
// code and runs the orderly end of the program; they return only when that
// end is already under way, and the caller then leaves its array as it is.
#pragma once

namespace containers {

// Storage for a buffer cannot be obtained, or the shape is too large: code 7.
void arrayStorageFault();
// A push onto an array of two or more dimensions: code 8.
void arrayPushFault();
// A bad index, after the bounds report has been printed: code 9.
void arrayIndexFault();

}  // namespace containers
