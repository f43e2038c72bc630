// The platform module starts empty; its services join as they are written.
namespace platform {}
