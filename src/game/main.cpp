// Shoalrunner: the program's entry.
#include "shell/program_entry.h"

int main(int argc, char** argv) { runProgram(argc, argv); }
