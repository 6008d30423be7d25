#include "app/headless_apply.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>

#include "app/grid_files.h"
#include "app/input_list.h"
#include "app/model_picture.h"
#include "app/picture_files.h"
#include "engine/grid_file.h"
#include "platform/picture_error.h"

namespace plexor {
namespace {

// "name: 42%" on one terminal line, rewritten in place, once a picture has
// taken more than a second.
class ProgressLine {
public:
    ProgressLine(const HeadlessServices& services, std::string name)
        : errors_(services.errors), terminal_(services.terminal), name_(std::move(name)),
          start_(std::chrono::steady_clock::now())
    {}
    ~ProgressLine()
    {
        if (width_ > 0) errors_ << '\r' << std::string(width_, ' ') << '\r' << std::flush;
    }

    void show(std::size_t done, std::size_t total)
    {
        if (!terminal_ || total == 0 || std::chrono::steady_clock::now() - start_ < std::chrono::seconds(1)) return;
        const std::string line = name_ + ": " + std::to_string(done * 100 / total) + "%";
        width_ = std::max(width_, line.size());
        errors_ << '\r' << line << std::flush;
    }

private:
    std::ostream& errors_;
    const bool terminal_;
    const std::string name_;
    const std::chrono::steady_clock::time_point start_;
    std::size_t width_ = 0;
};

PictureFormat outputFormatNamed(const std::string& output)
{
    const std::string extension = pictureFileExtension(output);
    const std::optional<PictureFormat> format = pictureFormatOfExtension(extension);
    if (!format) throw PictureError(formatPictureMessage(picture_message::kUnknownExtension, extension));
    return *format;
}

// The file a path names, as one spelling, whether it exists or not.
std::filesystem::path sameFile(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::weakly_canonical(std::filesystem::absolute(path, ignored), ignored);
}

// One picture: read, deformed, written. Throws with the reason it was not
// written. `written` holds the outputs written so far, none of which is
// written over: two inputs of one name in --out-dir would lose the first
// result, and an output that is its input would lose the picture.
void applyToPicture(const GridFile& grid, const HeadlessApply& request, const std::string& input,
                    const HeadlessServices& services, std::set<std::filesystem::path>& written)
{
    std::string output = request.outDir.empty()
                             ? request.output
                             : request.outDir + "/" + std::filesystem::path(input).filename().string();
    const auto checkTarget = [&] {
        const std::filesystem::path target = sameFile(output);
        if (target == sameFile(input)) throw std::runtime_error("the result would replace the picture itself");
        if (written.count(target) != 0) throw std::runtime_error(output + " is written already, from another picture");
        return target;
    };
    std::filesystem::path target = checkTarget();
    std::optional<PictureFormat> format;
    if (request.outDir.empty()) format = outputFormatNamed(output);

    OpenedPicture opened = openWidened(input, services.codec);
    const std::vector<PictureFormat> writable = writableFormats(services.codec);
    if (!format) {
        // A picture of a format not written goes into the folder as Save as
        // proposes it: under its name with the extension of the format.
        format = formatToPropose(opened.format, writable);
        if (*format != opened.format) {
            output = withExtension(output, std::string(pictureFormatExtensions(*format).front()));
            target = checkTarget();
        }
    }
    if (std::find(writable.begin(), writable.end(), *format) == writable.end())
        throw PictureError(formatPictureMessage(picture_message::kFormatNotWritten, pictureFormatName(*format)));

    PictureBuffers buffers;
    ControlGrid controls;
    CellWork work;
    Bitmap& bitmap = opened.picture.bitmap();
    const PictureLoad load = loadPicture(buffers, controls, work, opened.picture, services.availableMemory());
    if (load.shortfall) throw std::runtime_error(shortfallMessage(*load.shortfall));
    checkGridFileFits(grid, request.gridPath, buffers.width(), buffers.height(), services.availableMemory());
    ProgressLine progress(services, std::filesystem::path(input).filename().string());
    // Each pass deformed whole before the next is laid over its result.
    const std::optional<MemoryShortfall> missing = layGridFile(
        controls, buffers, work, grid, services.availableMemory(), [&](std::span<const CellRef> cells, bool) {
            deformCellsInParallel(controls.sampling(), buffers.splatTarget(), cells, services.deform,
                                  [&](std::size_t done) { progress.show(done, cells.size()); });
        });
    if (missing) throw std::runtime_error(shortfallMessage(*missing));
    if (!storeWork(buffers, bitmap)) throw std::runtime_error("SetDIBits failed");
    const PicturePlanes result = planesToSave(bitmap, buffers, buffers.work(), opened.picture.bitDepth());
    const std::string note =
        savePicture(result, opened.metadata, output, *format, services.codec, request.quality, services.writes);
    if (!opened.metadataNote.empty()) services.errors << "plexor: " << opened.metadataNote << '\n';
    if (!note.empty()) services.errors << "plexor: " << note << '\n';
    written.insert(target);
}

} // namespace

std::size_t applyGridToFiles(const HeadlessApply& request, const HeadlessServices& services)
{
    GridFile grid;
    try {
        grid = readGridFile(request.gridPath);
        if (request.resampling) grid.resampling = *request.resampling;
    } catch (const std::exception& error) {
        services.errors << "plexor: " << error.what() << '\n';
        return std::max<std::size_t>(1, request.inputs.size());
    }
    std::ifstream listFile;
    std::istream* list = nullptr;
    if (request.inputList == "-") {
        list = services.standardInput;
    } else if (!request.inputList.empty()) {
        listFile.open(request.inputList, std::ios::binary);
        list = &listFile;
    }
    if (!request.inputList.empty() && (list == nullptr || !*list)) {
        services.errors << "plexor: Cannot read the list of pictures " << request.inputList << '\n';
        return std::max<std::size_t>(1, request.inputs.size());
    }

    std::size_t failed = 0;
    std::set<std::filesystem::path> written;
    const auto apply = [&](const std::string& input) {
        try {
            applyToPicture(grid, request, input, services, written);
        } catch (const std::bad_alloc&) {
            services.errors << "plexor: " << input << ": not enough memory\n";
            ++failed;
        } catch (const std::exception& error) {
            services.errors << "plexor: " << input << ": " << error.what() << '\n';
            ++failed;
        }
    };
    for (const std::string& input : request.inputs) apply(input);
    if (list == nullptr) return failed;
    InputList names(*list, request.inputList);
    for (std::string input;;) {
        try {
            if (!names.next(input)) break;
        } catch (const std::runtime_error& error) {
            services.errors << "plexor: " << error.what() << '\n';
            ++failed;
            continue;
        }
        apply(input);
    }
    return failed;
}

} // namespace plexor
