// Draws the program's pictures pixel by pixel, so that the same source gives
// the same files on every machine:
//   panel.png   35 x 142, the decoration of the tool panel
//   plexor.png  128 x 128, the program's icon, and icons/plexor-N.png the
//               same at N x N for the other sizes of the desktop's icons
//   sample.bmp  640 x 480, 24 bits, a picture with fine detail and strong
//               colours on which a deformation shows well
// Usage: make_assets OUTPUT_FOLDER

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <QImage>

#include "platform/little_endian.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// The sizes the icon is drawn at for the desktop's icon theme.
constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

struct Rgb {
    double r = 0, g = 0, b = 0;
};

Rgb mix(const Rgb& a, const Rgb& b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Hue in turns (0..1), full saturation, value v.
Rgb hue(double hue, double v)
{
    hue -= std::floor(hue);
    const double h = hue * 6.0;
    const int sector = static_cast<int>(h) % 6;
    const double f = h - std::floor(h);
    const double q = v * (1.0 - f);
    const double t = v * f;
    switch (sector) {
    case 0: return {v, t, 0};
    case 1: return {q, v, 0};
    case 2: return {0, v, t};
    case 3: return {0, q, v};
    case 4: return {t, 0, v};
    default: return {v, 0, q};
    }
}

std::uint8_t byte(double value)
{
    return static_cast<std::uint8_t>(std::clamp(value, 0.0, 1.0) * 255.0 + 0.5);
}

QRgb toQRgb(const Rgb& c, double alpha = 1.0)
{
    return qRgba(byte(c.r), byte(c.g), byte(c.b), byte(alpha));
}

// How much of a line of width `width` covers a pixel whose centre lies
// `distance` from the line's middle.
double lineCover(double distance, double width)
{
    return std::clamp(width / 2.0 + 0.5 - std::abs(distance), 0.0, 1.0);
}

// Distance from `value` to the nearest multiple of `spacing`.
double toNearest(double value, double spacing)
{
    const double r = value - spacing * std::round(value / spacing);
    return r;
}

// A lattice bent by a smooth pull at (cx, cy): the undeformed position of
// the pixel (x, y).
void unbend(double x, double y, double cx, double cy, double pullX, double pullY, double radius, double& u, double& v)
{
    const double dx = x - cx;
    const double dy = y - cy;
    const double weight = std::exp(-(dx * dx + dy * dy) / (radius * radius));
    u = x - pullX * weight;
    v = y - pullY * weight;
}

QImage panel()
{
    QImage image(35, 142, QImage::Format_ARGB32);
    const Rgb top{0.10, 0.35, 0.85};
    const Rgb bottom{0.85, 0.15, 0.20};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const double px = x + 0.5;
            const double py = y + 0.5;
            double u = 0;
            double v = 0;
            unbend(px, py, 17.5, 71.0, 5.0, -9.0, 22.0, u, v);
            const double cover =
                std::max(lineCover(toNearest(u - 1.5, 8.0), 1.2), lineCover(toNearest(v - 3.0, 10.0), 1.2));
            const double du = toNearest(u - 1.5, 8.0);
            const double dv = toNearest(v - 3.0, 10.0);
            const double dot = std::clamp(2.2 - std::sqrt(du * du + dv * dv), 0.0, 1.0);
            const Rgb line = mix(top, bottom, py / image.height());
            const Rgb colour = dot > 0 ? mix(line, Rgb{0.1, 0.1, 0.1}, dot) : line;
            image.setPixel(x, y, toQRgb(colour, std::max(cover, dot)));
        }
    }
    return image;
}

// The icon's colour and cover at (px, py) of its 128 x 128 design, each
// edge and line blurred over `pixel` units: a pixel of the icon drawn.
struct IconSample {
    Rgb colour;
    double cover = 0;
};

IconSample iconAt(double px, double py, double pixel)
{
    const double pointX = 78, pointY = 50;
    // How much of a line of width `width` covers a pixel whose centre lies
    // `distance` from the line's middle, at this pixel size.
    const auto cover = [pixel](double distance, double width) {
        return std::clamp((width / 2.0 - std::abs(distance)) / pixel + 0.5, 0.0, 1.0);
    };
    // A rounded square, its corners of radius 20, 4 pixels in.
    const double qx = std::max(std::abs(px - 64.0) - 40.0, 0.0);
    const double qy = std::max(std::abs(py - 64.0) - 40.0, 0.0);
    const double outside = std::sqrt(qx * qx + qy * qy) - 20.0;
    const double inside = std::clamp(0.5 - outside / pixel, 0.0, 1.0);
    if (inside <= 0) return {};
    Rgb colour = mix(Rgb{0.13, 0.16, 0.30}, Rgb{0.05, 0.30, 0.45}, py / 128.0);
    double u = 0;
    double v = 0;
    unbend(px, py, pointX, pointY, 14.0, -12.0, 30.0, u, v);
    const double grid = std::max(cover(toNearest(u - 16.0, 24.0), 2.5), cover(toNearest(v - 16.0, 24.0), 2.5));
    colour = mix(colour, Rgb{0.95, 0.85, 0.35}, grid);
    const double dx = px - pointX;
    const double dy = py - pointY;
    const double marker = cover(std::sqrt(dx * dx + dy * dy), 12.0);
    colour = mix(colour, Rgb{0.95, 0.15, 0.15}, marker);
    return {colour, inside};
}

// The icon at `size` x `size` pixels. Smaller than the design, each pixel
// is the mean of samples of it, their colours weighted by their cover; at
// its size and larger, one sample of it.
QImage icon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    const double pixel = 128.0 / size;
    const int samples = static_cast<int>(std::ceil(pixel));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (samples <= 1) {
                const IconSample sample = iconAt((x + 0.5) * pixel, (y + 0.5) * pixel, pixel);
                image.setPixel(x, y, sample.cover > 0 ? toQRgb(sample.colour, sample.cover) : qRgba(0, 0, 0, 0));
                continue;
            }
            Rgb sum;
            double cover = 0;
            for (int j = 0; j < samples; ++j)
                for (int i = 0; i < samples; ++i) {
                    const IconSample sample =
                        iconAt((x + (i + 0.5) / samples) * pixel, (y + (j + 0.5) / samples) * pixel, 1.0);
                    sum = {sum.r + sample.colour.r * sample.cover, sum.g + sample.colour.g * sample.cover,
                           sum.b + sample.colour.b * sample.cover};
                    cover += sample.cover;
                }
            const double all = samples * samples;
            image.setPixel(x, y,
                           cover > 0 ? toQRgb({sum.r / cover, sum.g / cover, sum.b / cover}, cover / all)
                                     : qRgba(0, 0, 0, 0));
        }
    }
    return image;
}

// The sample picture, rows top to bottom, 3 bytes per pixel (blue, green,
// red).
std::vector<std::uint8_t> sample(int width, int height)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 3);
    const double cx = width / 2.0;
    const double cy = height / 2.0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double px = x + 0.5;
            const double py = y + 0.5;
            // Hues run across, checks of 32 pixels take the opposite hue.
            const bool odd = ((x / 32) + (y / 32)) % 2 != 0;
            const double turn = px / width + (odd ? 0.5 : 0.0);
            Rgb colour = hue(turn, 0.65 + 0.35 * py / height);
            // Thin white lines every 16 pixels.
            if (x % 16 == 0 || y % 16 == 0) colour = mix(colour, Rgb{1, 1, 1}, 0.75);
            // Dark rings every 12 pixels round the middle.
            const double dx = px - cx;
            const double dy = py - cy;
            const double r = std::sqrt(dx * dx + dy * dy);
            colour = mix(colour, Rgb{0, 0, 0}, 0.85 * lineCover(toNearest(r, 12.0), 1.4));
            // Spokes: 24 thin rays from the middle.
            const double angle = std::atan2(dy, dx);
            const double spoke = toNearest(angle, 2.0 * kPi / 24.0) * r;
            if (r > 40) colour = mix(colour, Rgb{1, 1, 0.2}, lineCover(spoke, 1.2));
            // A solid disc and a frame of strong colour in the corners.
            const double ex = px - 110, ey = py - 100;
            if (ex * ex + ey * ey < 45.0 * 45.0) colour = Rgb{0.05, 0.10, 0.90};
            if (px > 470 && px < 590 && py > 330 && py < 430 && !(px > 485 && px < 575 && py > 345 && py < 415))
                colour = Rgb{0.95, 0.85, 0.05};
            std::uint8_t* pixel = &pixels[(static_cast<std::size_t>(y) * width + x) * 3];
            pixel[0] = byte(colour.b);
            pixel[1] = byte(colour.g);
            pixel[2] = byte(colour.r);
        }
    }
    return pixels;
}

// A 24-bit bitmap file: file header, 40-byte information header, rows
// bottom up, each padded to 4 bytes.
bool writeBmp(const std::string& path, int width, int height, const std::vector<std::uint8_t>& pixels)
{
    const std::uint32_t stride = (static_cast<std::uint32_t>(width) * 3 + 3) / 4 * 4;
    const std::uint32_t imageBytes = stride * static_cast<std::uint32_t>(height);
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    plexor::appendU32(out, 14 + 40 + imageBytes);
    plexor::appendU32(out, 0);
    plexor::appendU32(out, 14 + 40);
    plexor::appendU32(out, 40);
    plexor::appendU32(out, static_cast<std::uint32_t>(width));
    plexor::appendU32(out, static_cast<std::uint32_t>(height));
    plexor::appendU16(out, 1);
    plexor::appendU16(out, 24);
    plexor::appendU32(out, 0);
    plexor::appendU32(out, imageBytes);
    plexor::appendU32(out, 2835); // 72 dots per inch
    plexor::appendU32(out, 2835);
    plexor::appendU32(out, 0);
    plexor::appendU32(out, 0);
    for (int y = height - 1; y >= 0; --y) {
        const std::uint8_t* row = &pixels[static_cast<std::size_t>(y) * width * 3];
        out.insert(out.end(), row, row + static_cast<std::size_t>(width) * 3);
        out.resize(out.size() + (stride - static_cast<std::uint32_t>(width) * 3), 0);
    }
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(file);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_assets OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    std::filesystem::create_directories(folder + "/icons");
    bool ok = panel().save(QString::fromStdString(folder + "/panel.png"));
    ok = icon(128).save(QString::fromStdString(folder + "/plexor.png")) && ok;
    for (const int size : kIconSizes)
        if (size != 128)
            ok = icon(size).save(QString::fromStdString(folder + "/icons/plexor-" + std::to_string(size) + ".png")) &&
                 ok;
    ok = writeBmp(folder + "/sample.bmp", 640, 480, sample(640, 480)) && ok;
    if (!ok) {
        std::fprintf(stderr, "make_assets: could not write the pictures into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
