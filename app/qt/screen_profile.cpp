#include "app/qt/screen_profile.h"

#include <QByteArray>
#include <QColorSpace>
#include <QColorTransform>

namespace plexor {

std::vector<ScreenColours::Sample> screenSamples(std::span<const std::uint8_t> iccProfile)
{
    if (iccProfile.empty()) return {};
    const QColorSpace space = QColorSpace::fromIccProfile(
        QByteArray(reinterpret_cast<const char*>(iccProfile.data()), static_cast<qsizetype>(iccProfile.size())));
    if (!space.isValid() || space == QColorSpace(QColorSpace::SRgb)) return {};
    const QColorTransform toScreen = space.transformationToColorSpace(QColorSpace::SRgb);
    constexpr int kSide = ScreenColours::kGridSide;
    const auto level = [](int i) { return i * 255 / (kSide - 1); };
    std::vector<ScreenColours::Sample> samples;
    samples.reserve(static_cast<std::size_t>(kSide) * kSide * kSide);
    for (int r = 0; r < kSide; ++r)
        for (int g = 0; g < kSide; ++g)
            for (int b = 0; b < kSide; ++b)
                samples.push_back(toScreen.map(qRgb(level(r), level(g), level(b))) & 0xFFFFFF);
    return samples;
}

} // namespace plexor
