#pragma once

// Laying a grid file over picture files without the window: each picture
// is read, deformed exactly as Open grid deforms it, and written without the
// overlay.

#include <cstdint>
#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/image_codec.h"
#include "engine/parallel_deform.h"
#include "engine/resampling.h"
#include "engine/system_memory.h"
#include "platform/file_io.h"

namespace plexor {

struct HeadlessApply {
    std::string gridPath;
    std::vector<std::string> inputs;
    // The one input's output, in the format its extension names; or, when
    // outDir is set, each input's output is the file of its own name and
    // format in outDir.
    std::string output;
    std::string outDir;
    // With outDir: a file naming more inputs, one a line, taken after
    // `inputs` as they are read; "-" for standard input.
    std::string inputList;
    // The quality (1 to 100) of JPEG, HEIC, AVIF and lossy WebP results;
    // nothing for each format's own.
    std::optional<int> quality = {};
    // How the deformation is rendered, whatever the grid file says; nothing
    // for the file's own choice.
    std::optional<Resampling> resampling = {};
};

struct HeadlessServices {
    const ImageCodec& codec;
    FileWriteOps& writes;
    ParallelDeformOptions deform;
    // Bytes the program can still obtain.
    std::function<std::uint64_t()> availableMemory = systemAvailableMemory;
    // One line for each picture that is not written, saying why; while
    // `Terminal` is set, also a progress line for a picture that takes more
    // than a second.
    std::ostream& errors;
    bool terminal = false;
    std::istream* standardInput = nullptr; // the list "-" names
};

// Applies the grid file to every input in turn. Returns how many pictures
// were not written, and lines of the list refused, every one of the inputs
// when the grid file or the list cannot be opened. An output that is not
// written is left as it was. No result replaces its own picture, or a
// result written before in the same run.
std::size_t applyGridToFiles(const HeadlessApply& request, const HeadlessServices& services);

} // namespace plexor
