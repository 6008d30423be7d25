#include "app/qt/picture_library_call.h"

namespace plexor {
namespace {

// How deep the calling thread is in calls of the picture libraries; each
// thread has its own count, which no other thread touches.
int& depth() noexcept
{
    thread_local int calls = 0;
    return calls;
}

} // namespace

PictureLibraryCall::PictureLibraryCall() noexcept
{
    ++depth();
}

PictureLibraryCall::~PictureLibraryCall()
{
    --depth();
}

bool PictureLibraryCall::running() noexcept
{
    return depth() > 0;
}

} // namespace plexor
