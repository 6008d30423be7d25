#pragma once

// The program's command line: `plexor [FILE]` opens the window, `plexor
// --apply GRID IN OUT` and `plexor --apply GRID --out-dir DIR IN...` lay a
// grid file over pictures without any window or display.

namespace plexor {

// Runs the program for the command line `argv`; returns its exit status:
// 0 when all went well, 1 when a picture was not written, 2 for a command
// line that cannot be understood.
int runProgram(int argc, char** argv);

} // namespace plexor
