#include "tests/support/qt_image_bytes.h"

#include <QBuffer>
#include <QImageWriter>

#include <gtest/gtest.h>

namespace plexor::test {

std::vector<std::uint8_t> qtWritten(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly);
    EXPECT_TRUE(QImageWriter(&device, format).write(image));
    return {bytes.cbegin(), bytes.cend()};
}

} // namespace plexor::test
