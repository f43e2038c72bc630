// The fatal ends of the array operations: error code, then the orderly end.
#include "runtime/containers/array_faults.h"

#include "runtime/engine/orderly_end.h"
#include "runtime/services/runtime_error.h"

namespace containers {

void arrayStorageFault() {
    setRuntimeError(7);
    terminateProgram();
}

void arrayPushFault() {
    setRuntimeError(8);
    terminateProgram();
}

void arrayIndexFault() {
    setRuntimeError(9);
    terminateProgram();
}

}  // namespace containers
