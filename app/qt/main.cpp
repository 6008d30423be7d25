// plexor: deforms a picture by hand through a grid of control points, or
// lays a kept deformation over pictures from a script.

#include "app/qt/command_line.h"
#include "app/qt/startup.h"

int main(int argc, char** argv)
{
    plexor::quietPictureLibraries();
    return plexor::runProgram(argc, argv);
}
