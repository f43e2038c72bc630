// The socket service's error numbers: from errno and from name-lookup
// failures, and their texts. The texts are our own short sentences.
// Depends on errno values and getaddrinfo's failure codes.
#include <cerrno>
#include <netdb.h>

#include "platform/socket_port.h"

namespace platform {

namespace {

thread_local int32_t threadLastError = 0;

struct ErrnoRow {
    int errnoValue;
    int32_t code;
};

// A call on a handle that is no socket is the socket service's "not a
// socket", so EBADF maps there too; EPIPE is a peer that has gone.
const ErrnoRow kErrnoRows[] = {
    {EINTR, kSockInterrupted},
    {EBADF, kSockNotSocket},
    {ENOTSOCK, kSockNotSocket},
    {EACCES, kSockAccessDenied},
    {EPERM, kSockAccessDenied},
    {EFAULT, kSockBadAddress},
    {EINVAL, kSockInvalidArgument},
    {EMFILE, kSockTooManyOpen},
    {ENFILE, kSockTooManyOpen},
    {EWOULDBLOCK, kSockWouldBlock},
    {EAGAIN, kSockWouldBlock},
    {EINPROGRESS, kSockInProgress},
    {EALREADY, kSockAlready},
    {EDESTADDRREQ, kSockDestinationRequired},
    {EMSGSIZE, kSockMessageSize},
    {EPROTOTYPE, kSockProtocolType},
    {ENOPROTOOPT, kSockNoProtocolOption},
    {EPROTONOSUPPORT, kSockProtocolNotSupported},
    {ESOCKTNOSUPPORT, kSockTypeNotSupported},
    {EOPNOTSUPP, kSockOperationNotSupported},
    {EPFNOSUPPORT, kSockFamilyNotSupported},
    {EAFNOSUPPORT, kSockAddressFamilyNotSupported},
    {EADDRINUSE, kSockAddressInUse},
    {EADDRNOTAVAIL, kSockAddressNotAvailable},
    {ENETDOWN, kSockNetworkDown},
    {ENETUNREACH, kSockNetworkUnreachable},
    {ENETRESET, kSockNetworkReset},
    {ECONNABORTED, kSockConnectionAborted},
    {ECONNRESET, kSockConnectionReset},
    {EPIPE, kSockConnectionReset},
    {ENOBUFS, kSockNoBufferSpace},
    {ENOMEM, kSockNoBufferSpace},
    {EISCONN, kSockIsConnected},
    {ENOTCONN, kSockNotConnected},
    {ESHUTDOWN, kSockShutDown},
    {ETIMEDOUT, kSockTimedOut},
    {ECONNREFUSED, kSockConnectionRefused},
    {ENAMETOOLONG, kSockNameTooLong},
    {EHOSTDOWN, kSockHostDown},
    {EHOSTUNREACH, kSockHostUnreachable},
};

struct TextRow {
    int32_t code;
    const char* text;
};

// Must hold a row for every number of SocketErrorCode, and the network
// layer's own 8 (no free socket record).
const TextRow kTextRows[] = {
    {0, "No error."},
    {8, "Every socket record is in use."},
    {kSockInterrupted, "The call was interrupted."},
    {kSockBadHandle, "The handle is not valid."},
    {kSockAccessDenied, "Permission denied."},
    {kSockBadAddress, "A buffer or address given to the call is not valid."},
    {kSockInvalidArgument, "An argument is not valid."},
    {kSockTooManyOpen, "Too many sockets are open."},
    {kSockWouldBlock, "Nothing can be done without waiting; try again later."},
    {kSockInProgress, "The operation is still under way or did not finish in time."},
    {kSockAlready, "An operation is already under way on the socket."},
    {kSockNotSocket, "The handle is not an open socket."},
    {kSockDestinationRequired, "The call needs a destination address."},
    {kSockMessageSize, "The message is too long."},
    {kSockProtocolType, "The protocol does not suit the socket type."},
    {kSockNoProtocolOption, "The option is not known."},
    {kSockProtocolNotSupported, "The protocol is not supported."},
    {kSockTypeNotSupported, "The socket type is not supported."},
    {kSockOperationNotSupported, "The operation is not supported on this socket."},
    {kSockFamilyNotSupported, "The protocol family is not supported."},
    {kSockAddressFamilyNotSupported, "The address family is not supported."},
    {kSockAddressInUse, "The address is already in use."},
    {kSockAddressNotAvailable, "The address is not available on this machine."},
    {kSockNetworkDown, "The network is down."},
    {kSockNetworkUnreachable, "The network cannot be reached."},
    {kSockNetworkReset, "The network dropped the connection."},
    {kSockConnectionAborted, "The connection was aborted on this machine."},
    {kSockConnectionReset, "The connection was closed by the other side."},
    {kSockNoBufferSpace, "No buffer space is left."},
    {kSockIsConnected, "The socket is already connected."},
    {kSockNotConnected, "The socket is not connected."},
    {kSockShutDown, "The socket has been shut down in that direction."},
    {kSockTimedOut, "The other side did not answer in time."},
    {kSockConnectionRefused, "The connection was refused: nothing listens there."},
    {kSockNameTooLong, "The name is too long."},
    {kSockHostDown, "The host is down."},
    {kSockHostUnreachable, "The host cannot be reached."},
    {kSockNotInitialised, "The socket service has not been started."},
    {kSockSystemCallFailure, "A system call failed."},
    {kSockHostNotFound, "The host name is not known."},
    {kSockTryAgain, "The host name could not be looked up now; try again later."},
    {kSockNoRecovery, "The name lookup failed for good."},
    {kSockNoData, "The name is known but has no IPv4 address."},
};

}  // namespace

int32_t socketLastError() { return threadLastError; }

void setSocketLastError(int32_t code) { threadLastError = code; }

int32_t socketErrorFromErrno(int errnoValue) {
    if (errnoValue == 0) return kSockOk;
    for (const ErrnoRow& row : kErrnoRows) {
        if (row.errnoValue == errnoValue) return row.code;
    }
    return kSockSystemCallFailure;
}

int32_t socketErrorFromLookup(int lookupError, int errnoValue) {
    switch (lookupError) {
        case 0: return kSockOk;
        case EAI_NONAME: return kSockHostNotFound;
        case EAI_AGAIN: return kSockTryAgain;
        case EAI_FAIL: return kSockNoRecovery;
#ifdef EAI_NODATA
        case EAI_NODATA: return kSockNoData;
#endif
#ifdef EAI_ADDRFAMILY
        case EAI_ADDRFAMILY: return kSockNoData;
#endif
        case EAI_FAMILY: return kSockAddressFamilyNotSupported;
        case EAI_MEMORY: return kSockNoBufferSpace;
        case EAI_SYSTEM: return socketErrorFromErrno(errnoValue);
        default: return kSockNoRecovery;
    }
}

const char* socketErrorMessage(int32_t code) {
    for (const TextRow& row : kTextRows) {
        if (row.code == code) return row.text;
    }
    return nullptr;
}

}  // namespace platform
