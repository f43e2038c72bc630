// Shoalrunner: the program's entry.
#include "game/screens/project_settings.h"
#include "shell/program_entry.h"

int main(int argc, char** argv) { runProgram(argc, argv, shoalrunnerProjectHooks); }
