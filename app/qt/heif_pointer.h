#pragma once

#include <libheif/heif.h>
#include <memory>

namespace plexor {

// Gives back to libheif whatever it handed out, each kind as it wants.
struct HeifFree {
    void operator()(heif_context* context) const noexcept { heif_context_free(context); }
    void operator()(heif_encoder* encoder) const noexcept { heif_encoder_release(encoder); }
    void operator()(const heif_image_handle* handle) const noexcept { heif_image_handle_release(handle); }
    void operator()(const heif_image* image) const noexcept { heif_image_release(image); }
    void operator()(heif_decoding_options* options) const noexcept { heif_decoding_options_free(options); }
    void operator()(heif_encoding_options* options) const noexcept { heif_encoding_options_free(options); }
};

// One object of libheif's, owned.
template <class T>
using HeifPointer = std::unique_ptr<T, HeifFree>;

} // namespace plexor
