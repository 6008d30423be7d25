#include "engine/grid_file.h"

#include <charconv>

namespace plexor {
namespace {

constexpr std::string_view kMagic = "plexor-grid";

// The words of one line, split at spaces and tabs.
std::vector<std::string_view> splitWords(std::string_view line)
{
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t start = line.find_first_not_of(" \t", at);
        if (start == std::string_view::npos) break;
        const std::size_t end = std::min(line.find_first_of(" \t", start), line.size());
        words.push_back(line.substr(start, end - start));
        at = end;
    }
    return words;
}

bool wholeNumber(std::string_view word, std::int32_t& value)
{
    const char* end = word.data() + word.size();
    const auto [stop, code] = std::from_chars(word.data(), end, value);
    return code == std::errc{} && stop == end;
}

// Reads words[1..] as whole numbers into `values`; the reason when it cannot.
std::optional<std::string> numbers(const std::vector<std::string_view>& words, std::int32_t* values, std::size_t count,
                                   std::string_view form)
{
    if (words.size() != count + 1) return "'" + std::string(words[0]) + "' takes " + std::string(form);
    for (std::size_t i = 0; i < count; ++i)
        if (!wholeNumber(words[i + 1], values[i]))
            return "'" + std::string(words[i + 1]) + "' is not a whole number that fits in 32 bits";
    return std::nullopt;
}

} // namespace

std::variant<GridFile, GridFileError> parseGridFile(std::string_view text)
{
    // What the next line must be: the first line, the size, a pass (version
    // 2), its step, then points (and, in version 2, the next pass).
    enum class Expect { Magic, Size, Pass, Step, Points } expect = Expect::Magic;
    std::int32_t version = 0;
    GridFile file;
    bool resampleNext = false; // the line before was the size
    int line = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        std::string_view content = text.substr(at, end - at);
        at = end + 1;
        ++line;
        if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
        const std::vector<std::string_view> words = splitWords(content);
        if (words.empty() || words[0].front() == '#') continue;

        const auto refuse = [line](std::string reason) { return GridFileError{line, std::move(reason)}; };
        const bool afterSize = resampleNext;
        resampleNext = false;
        if (words[0] == "resample" && expect != Expect::Magic && expect != Expect::Size) {
            if (!afterSize) return refuse("a \"resample\" line comes right after the size line, once");
            if (words.size() != 2 || (words[1] != "exact" && words[1] != "smooth"))
                return refuse("'resample' takes \"exact\" or \"smooth\"");
            file.resampling = words[1] == "smooth" ? Resampling::Smooth : Resampling::Exact;
            continue;
        }
        std::int32_t values[4];
        if (expect == Expect::Points && version == 2 && words[0] == "pass") expect = Expect::Pass;
        switch (expect) {
        case Expect::Magic:
            if (words[0] != kMagic) return refuse("not a grid file: it must begin with \"plexor-grid 1\"");
            if (words.size() != 2 || !wholeNumber(words[1], values[0]))
                return refuse("the first line must be \"plexor-grid\" and a version number");
            if (values[0] != 1 && values[0] != 2)
                return refuse("version " + std::string(words[1]) + " of the grid file is not one this program reads");
            version = values[0];
            expect = Expect::Size;
            continue;
        case Expect::Size:
            if (words[0] != "size") return refuse("a \"size W H\" line must come next");
            if (auto reason = numbers(words, values, 2, "a width and a height")) return refuse(*reason);
            if (values[0] < 1 || values[1] < 1) return refuse("the size must be at least 1 x 1");
            file.width = values[0];
            file.height = values[1];
            file.sizeLine = line;
            resampleNext = true;
            if (version == 1) file.passes.emplace_back();
            expect = version == 1 ? Expect::Step : Expect::Pass;
            continue;
        case Expect::Pass:
            if (words[0] != "pass") return refuse("a \"pass\" line must come next");
            if (words.size() != 1) return refuse("'pass' takes nothing more");
            if (file.passes.size() == GridFile::kMaxPasses)
                return refuse("a grid file holds at most " + std::to_string(GridFile::kMaxPasses) + " passes");
            file.passes.emplace_back().line = line;
            expect = Expect::Step;
            continue;
        case Expect::Step:
            if (words[0] != "step") return refuse("a \"step N\" line must come next");
            if (auto reason = numbers(words, values, 1, "one number")) return refuse(*reason);
            if (values[0] < 1) return refuse("the step must be at least 1");
            file.passes.back().step = values[0];
            file.passes.back().stepLine = line;
            expect = Expect::Points;
            continue;
        case Expect::Points:
            if (words[0] != "point")
                return refuse("'" + std::string(words[0]) + "' is not a line of a grid file: only points" +
                              (version == 2 ? " and passes" : "") + " follow a step");
            if (auto reason = numbers(words, values, 4, "a column, a row and a displacement across and down"))
                return refuse(*reason);
            file.passes.back().points.push_back(GridFilePoint{values[0], values[1], values[2], values[3], line});
            continue;
        }
    }
    if (expect != Expect::Points) {
        const char* missing = expect == Expect::Magic  ? "the file has no \"plexor-grid 1\" line: it is not a grid file"
                              : expect == Expect::Size ? "the file ends before its size line"
                              : expect == Expect::Pass ? "the file ends before its first pass"
                                                       : "the file ends before its step line";
        return GridFileError{line + 1, missing};
    }
    return file;
}

std::string writeGridFile(const GridFile& file)
{
    const bool several = file.passes.size() > 1;
    std::string text = std::string(kMagic) + (several ? " 2\n" : " 1\n");
    text += "size " + std::to_string(file.width) + " " + std::to_string(file.height) + "\n";
    if (file.resampling == Resampling::Smooth) text += "resample smooth\n";
    for (const GridPass& pass : file.passes) {
        if (several) text += "pass\n";
        text += "step " + std::to_string(pass.step) + "\n";
        for (const GridFilePoint& p : pass.points)
            text += "point " + std::to_string(p.col) + " " + std::to_string(p.row) + " " + std::to_string(p.dx) + " " +
                    std::to_string(p.dy) + "\n";
    }
    return text;
}

} // namespace plexor
