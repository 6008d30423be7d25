#pragma once

#include <cstdint>
#include <vector>

#include <QImage>

namespace plexor::test {

// `image` written by Qt's own writer of `format` ("png", "jpeg"...), as the
// bytes of a file; fails the test when Qt cannot write it.
std::vector<std::uint8_t> qtWritten(const QImage& image, const char* format);

} // namespace plexor::test
