#pragma once

// The libraries that read and write picture files (Qt's image plugins and
// the libpng, libjpeg, libtiff and libwebp below them; libheif with its
// HEVC and AV1 coders; exiv2) have their say about the files they are
// given: a warning about a colour profile, a complaint about a damaged
// file. The program tells the user itself what it could not read or
// write, so theirs is left out.

namespace plexor {

// Marks the calling thread, while it lives, as running the picture
// libraries: what Qt is told to print on this thread meanwhile is theirs.
// Calls nest.
class PictureLibraryCall {
public:
    PictureLibraryCall() noexcept;
    ~PictureLibraryCall();
    PictureLibraryCall(const PictureLibraryCall&) = delete;
    PictureLibraryCall& operator=(const PictureLibraryCall&) = delete;

    // Whether the calling thread is inside one.
    static bool running() noexcept;
};

} // namespace plexor
