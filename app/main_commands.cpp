#include "app/main_commands.h"

#include <cctype>

#include "engine/grid_laying.h"

namespace plexor {

const char* const MainCommands::kAboutText = "Plexor machine\n"
                                             "\n"
                                             "Deforms a picture by hand: lay a grid of control points over it\n"
                                             "and drag them; the picture follows a smooth cubic B-spline\n"
                                             "of the points.\n"
                                             "\n"
                                             "Written by the Plexor team.";

MainCommands::MainCommands(ShellPorts ports)
    : ports_(std::move(ports)), worker_(work_, grid_, buffers_), pictures_(buffers_, grid_, work_, memory_, ports_),
      view_(buffers_, grid_, work_, ports_.pictureView, ports_.window, pictures_),
      live_(grid_, buffers_, work_, worker_, ports_.settings), drag_(grid_, buffers_, work_.changes()),
      history_(grid_, buffers_, work_, worker_, view_, drag_, memory_),
      mouse_(grid_, buffers_, work_, worker_, view_, history_, drag_, live_, ports_.window),
      gridCommands_(grid_, buffers_, work_, memory_, ports_, worker_, view_, history_, mouse_),
      selection_(grid_, buffers_, work_, view_, history_, drag_),
      document_(buffers_, pictures_, history_, mouse_, live_, view_, gridCommands_, ports_.window)
{}

MainCommands::~MainCommands()
{
    shutDown();
}

void MainCommands::start()
{
    worker_.start(
        [this] {
            live_.batchShown();
            view_.refresh();
        },
        [this] {
            live_.frameReady();
            view_.refresh();
        },
        ports_.callWaiting);
}

void MainCommands::shutDown()
{
    if (!worker_.running()) return;
    mouse_.endDrag();
    live_.drop();
    worker_.stop();
    WorkerHold hold(work_.gate());
    dropGrid(grid_, work_);
    buffers_.release();
}

void MainCommands::keyTyped(char32_t key)
{
    if (key < 128 && std::toupper(static_cast<int>(key)) == 'G') gridCommands_.layNewGrid();
}

void MainCommands::showAbout()
{
    ports_.window.showInformation(kAboutText);
}

void MainCommands::setLivePreview(bool on)
{
    live_.setEnabled(on);
    if (on) return;
    live_.drop();
    view_.refresh();
}

void MainCommands::undo()
{
    mouse_.endDrag();
    history_.undo();
}

} // namespace plexor
