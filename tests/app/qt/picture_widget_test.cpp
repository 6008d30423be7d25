// The picture view: what it shows of the screen bitmap in each pixel
// format, at one picture pixel per logical pixel, and where it reports the
// mouse. Runs at the screen's scale and again at twice that.

#include <bit>

#include <QColorSpace>
#include <QColorTransform>
#include <QPixmap>
#include <QSignalSpy>

#include "app/qt/qt_picture_view.h"
#include "tests/support/widget_support.h"

namespace plexor::test {
namespace {

// A pattern of colours in a few values per channel, so that every format
// below holds them exactly.
QRgb patternColour(int x, int y)
{
    static const int kLevels[] = {0, 0x84, 0xFF};
    return qRgb(kLevels[x % 3], kLevels[(x / 3 + y) % 3], kLevels[(x + 2 * y) % 3]);
}

// Writes `colour` into pixel (x, y) of a bitmap of direct colour.
void putDirect(Bitmap& bitmap, int x, int y, QRgb colour)
{
    const PixelFormat& f = bitmap.format();
    std::uint8_t* row = bitmap.row(y);
    if (f.bitsPerPixel == 24) {
        row[3 * x] = qBlue(colour);
        row[3 * x + 1] = qGreen(colour);
        row[3 * x + 2] = qRed(colour);
        return;
    }
    auto channel = [](int value, std::uint32_t mask) {
        const int shift = std::countr_zero(mask);
        const std::uint32_t max = mask >> shift;
        return ((static_cast<std::uint32_t>(value) * max + 127) / 255) << shift;
    };
    const std::uint32_t pixel =
        channel(qRed(colour), f.redMask) | channel(qGreen(colour), f.greenMask) | channel(qBlue(colour), f.blueMask);
    for (int b = 0; b < f.bitsPerPixel / 8; ++b)
        row[f.bitsPerPixel / 8 * x + b] = static_cast<std::uint8_t>(pixel >> (8 * b));
}

// The colour a channel value of `mask` stands for, as it is shown.
int shownChannel(int value, std::uint32_t mask)
{
    const int shift = std::countr_zero(mask);
    const std::uint32_t max = mask >> shift;
    const std::uint32_t stored = (static_cast<std::uint32_t>(value) * max + 127) / 255;
    return static_cast<int>((stored * 255 + max / 2) / max);
}

// What the view shows, one value per picture pixel: the centre of each
// pixel's block of device pixels.
QImage grabbed(QtPictureView& view)
{
    const QImage image = view.grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    QImage picture(view.size(), QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, image.pixel(int((x + 0.5) * ratio), int((y + 0.5) * ratio)));
    return picture;
}

} // namespace

class PictureWidgetTest final : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        host_ = std::make_unique<QWidget>();
        host_->resize(100, 100);
        pictureView_ = new QtPictureView(host_.get());
        host_->show();
        QVERIFY(QTest::qWaitForWindowExposed(host_.get()));
    }
    void cleanup() { host_.reset(); }

    void directColourIsShownPixelForPixel_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<uint>("red");
        QTest::addColumn<uint>("green");
        QTest::addColumn<uint>("blue");
        QTest::addColumn<bool>("converted");
        QTest::newRow("24 bits") << 24 << 0u << 0u << 0u << false;
        QTest::newRow("16 bits 5-5-5") << 16 << 0x7C00u << 0x03E0u << 0x001Fu << false;
        QTest::newRow("16 bits 5-6-5") << 16 << 0xF800u << 0x07E0u << 0x001Fu << false;
        QTest::newRow("32 bits 8-8-8") << 32 << 0xFF0000u << 0xFF00u << 0xFFu << false;
        QTest::newRow("32 bits, blue on top") << 32 << 0xFF00u << 0xFF0000u << 0xFF000000u << true;
        QTest::newRow("16 bits 4-4-4") << 16 << 0x0F00u << 0x00F0u << 0x000Fu << true;
    }

    void directColourIsShownPixelForPixel()
    {
        QFETCH(int, bits);
        QFETCH(uint, red);
        QFETCH(uint, green);
        QFETCH(uint, blue);
        QFETCH(bool, converted);
        PixelFormat format =
            bits == 24 ? PixelFormat::rgb24() : PixelFormat::defaultMasked(static_cast<std::uint16_t>(bits));
        if (bits != 24) {
            format.redMask = red;
            format.greenMask = green;
            format.blueMask = blue;
            format.usesBitfields = true;
        }
        // An odd width: rows carry padding.
        Bitmap bitmap(13, 9, format);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 13; ++x) putDirect(bitmap, x, y, patternColour(x, y));

        pictureView_->showBitmap(bitmap, {});
        QCOMPARE(pictureView_->size(), QSize(13, 9));
        QCOMPARE(pictureView_->painter().converted(), converted);
        const QImage shown = grabbed(*pictureView_);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 13; ++x) {
                const QRgb want = patternColour(x, y);
                const QRgb got = shown.pixel(x, y);
                if (bits == 24) {
                    QCOMPARE(got, want);
                } else {
                    QCOMPARE(qRed(got), shownChannel(qRed(want), format.redMask));
                    QCOMPARE(qGreen(got), shownChannel(qGreen(want), format.greenMask));
                    QCOMPARE(qBlue(got), shownChannel(qBlue(want), format.blueMask));
                }
            }
    }

    void colourTablesAreShownWithMissingEntriesBlack_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<bool>("converted");
        QTest::newRow("1 bit") << 1 << false;
        QTest::newRow("4 bits") << 4 << true;
        QTest::newRow("8 bits") << 8 << false;
    }

    void colourTablesAreShownWithMissingEntriesBlack()
    {
        QFETCH(int, bits);
        QFETCH(bool, converted);
        // One entry fewer than the values a pixel can hold (one for 1 bit).
        const int values = 1 << bits;
        const int entries = bits == 1 ? 1 : values - 1;
        std::vector<Colour> table;
        for (int i = 0; i < entries; ++i)
            table.push_back(Colour{static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i * 7),
                                   static_cast<std::uint8_t>(i * 3 + 10), 0});
        Bitmap bitmap(37, 5, PixelFormat::indexed(static_cast<std::uint16_t>(bits), table));
        // Rows differ from their mirror images, so a picture upside down shows.
        auto valueAt = [values](int x, int y) { return (x + y * (y + 1) / 2) % values; };
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 37; ++x) {
                const int value = valueAt(x, y);
                const int bit = x * bits;
                bitmap.row(y)[bit / 8] |= static_cast<std::uint8_t>(value << (8 - bits - bit % 8));
            }

        pictureView_->showBitmap(bitmap, {});
        QCOMPARE(pictureView_->painter().converted(), converted);
        const QImage shown = grabbed(*pictureView_);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 37; ++x) {
                const int value = valueAt(x, y);
                const QRgb want =
                    value < entries ? qRgb(table[value].red, table[value].green, table[value].blue) : qRgb(0, 0, 0);
                QCOMPARE(shown.pixel(x, y), want);
            }
    }

    void repaintShowsChangedPixelsAtOnce_data()
    {
        QTest::addColumn<int>("bits");
        QTest::newRow("over the bitmap's rows") << 24;
        QTest::newRow("converted") << 4;
    }

    void repaintShowsChangedPixelsAtOnce()
    {
        QFETCH(int, bits);
        const PixelFormat format =
            bits == 24 ? PixelFormat::rgb24() : PixelFormat::indexed(4, {Colour{0, 0, 0, 0}, Colour{0, 0, 255, 0}});
        Bitmap bitmap(8, 6, format);
        pictureView_->showBitmap(bitmap, {});
        QCOMPARE(grabbed(*pictureView_).pixel(2, 1), qRgb(0, 0, 0));

        // The top-left corner pixel and pixel (2, 1) turn red.
        if (bits == 24) {
            bitmap.row(0)[2] = 255;
            bitmap.row(1)[3 * 2 + 2] = 255;
        } else {
            bitmap.row(0)[0] = 0x10;
            bitmap.row(1)[1] = 0x10;
        }
        const int before = pictureView_->repaintCount();
        pictureView_->repaintNow(PixelRect{0, 0, 8, 6});
        QCOMPARE(pictureView_->repaintCount(), before + 1);
        const QImage shown = grabbed(*pictureView_);
        QCOMPARE(shown.pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(shown.pixel(2, 1), qRgb(255, 0, 0));
        QCOMPARE(shown.pixel(1, 0), qRgb(0, 0, 0));
        QCOMPARE(shown.pixel(0, 5), qRgb(0, 0, 0));
    }

    void aPictureWithAProfileOrTransparencyIsShownInTheScreensColours()
    {
        Bitmap bitmap(16, 2, PixelFormat::rgb24());
        for (int x = 0; x < 16; ++x) putDirect(bitmap, x, 0, qRgb(200, 40, 90));
        const QColorSpace p3(QColorSpace::DisplayP3);
        const QByteArray icc = p3.iccProfile();
        const std::vector<std::uint8_t> profile(icc.cbegin(), icc.cend());
        const QRgb want = p3.transformationToColorSpace(QColorSpace::SRgb).map(qRgb(200, 40, 90));
        const std::vector<std::uint8_t> alpha = [] {
            std::vector<std::uint8_t> a(32, 255);
            a[16 + 9] = 0; // (9, 1): the checkerboard's dark square
            return a;
        }();
        pictureView_->showBitmap(bitmap, ScreenLook{profile, alpha.data()});
        const QImage shown = grabbed(*pictureView_);
        for (int x = 0; x < 16; x += 5) {
            QVERIFY(std::abs(qRed(shown.pixel(x, 0)) - qRed(want)) <= 2);
            QVERIFY(std::abs(qGreen(shown.pixel(x, 0)) - qGreen(want)) <= 2);
            QVERIFY(std::abs(qBlue(shown.pixel(x, 0)) - qBlue(want)) <= 2);
        }
        QCOMPARE(shown.pixel(9, 1), QRgb(0xFF000000 | ScreenColours::kCheckDark));
        QCOMPARE(pictureView_->painter().topDownImage().pixel(9, 1), QRgb(0xFF000000 | ScreenColours::kCheckDark));

        // Without either, the pixels are shown as they are.
        pictureView_->showBitmap(bitmap, {});
        QCOMPARE(grabbed(*pictureView_).pixel(3, 0), qRgb(200, 40, 90));
    }

    void emptyBitmapShowsNothing()
    {
        Bitmap bitmap;
        pictureView_->showBitmap(bitmap, {});
        QCOMPARE(pictureView_->size(), QSize(0, 0));
        pictureView_->repaintNow(PixelRect{0, 0, 8, 6});
        QVERIFY(pictureView_->painter().topDownImage().isNull());
    }

    void onePicturePixelIsOneLogicalPixel()
    {
        const qreal scale = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
        Bitmap bitmap(21, 11, PixelFormat::rgb24());
        bitmap.row(10)[3 * 20] = 255; // bottom-right pixel blue
        pictureView_->showBitmap(bitmap, {});
        QCOMPARE(pictureView_->size(), QSize(21, 11));
        const QImage device = pictureView_->grab().toImage();
        QCOMPARE(device.devicePixelRatio(), scale);
        QCOMPARE(device.size(), QSize(qRound(21 * scale), qRound(11 * scale)));
        // Every device pixel of the bottom-right picture pixel is blue.
        for (int y = qRound(10 * scale); y < device.height(); ++y)
            for (int x = qRound(20 * scale); x < device.width(); ++x) QCOMPARE(device.pixel(x, y), qRgb(0, 0, 255));
        QCOMPARE(device.pixel(qRound(20 * scale) - 1, device.height() - 1), qRgb(0, 0, 0));
    }

    void mouseIsReportedInPicturePixels()
    {
        Bitmap bitmap(40, 30, PixelFormat::rgb24());
        pictureView_->showBitmap(bitmap, {});
        QSignalSpy down(pictureView_, &QtPictureView::mousePressed);
        QSignalSpy move(pictureView_, &QtPictureView::mouseMoved);
        QSignalSpy up(pictureView_, &QtPictureView::mouseReleased);
        QTest::mousePress(pictureView_, Qt::RightButton, Qt::ControlModifier, QPoint(5, 7));
        QTest::mouseMove(pictureView_, QPoint(39, 29));
        QTest::mouseRelease(pictureView_, Qt::RightButton, Qt::ShiftModifier, QPoint(12, 3));
        QCOMPARE(down.size(), 1);
        QCOMPARE(down[0].mid(0, 2), (QList<QVariant>{5, 7}));
        QCOMPARE(down[0][2].value<Qt::KeyboardModifiers>(), Qt::KeyboardModifiers(Qt::ControlModifier));
        QVERIFY(!move.isEmpty());
        QCOMPARE(move.last().mid(0, 2), (QList<QVariant>{39, 29}));
        QCOMPARE(up.size(), 1);
        QCOMPARE(up[0].mid(0, 2), (QList<QVariant>{12, 3}));
        QCOMPARE(up[0][2].value<Qt::KeyboardModifiers>(), Qt::KeyboardModifiers(Qt::ShiftModifier));
    }

private:
    std::unique_ptr<QWidget> host_;
    QtPictureView* pictureView_ = nullptr; // a child of host_
};

} // namespace plexor::test

QTEST_MAIN(plexor::test::PictureWidgetTest)
#include "picture_widget_test.moc"
