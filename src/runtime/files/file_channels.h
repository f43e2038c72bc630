// The eight file channels.
#pragma once

// Closes the eight channels at shutdown, then calls the program's EmptyProjectHook.
void closeAllFileChannels();
