// Droplet images of a well as every reader and the engine take them: halves joined by one rule,
// and encoded images decoded only within the size the well's images agree on.
#include "io/imagestack.h"
#include "testmain.h"

#include <QBuffer>

namespace {

QImage pattern(QSize size, QImage::Format format, int base)
{
    if (size.isEmpty())
        return QImage();
    QImage image(size, format);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            if (format == QImage::Format_Grayscale16)
                reinterpret_cast<quint16 *>(image.scanLine(y))[x] = quint16(1000 * base + 10 * y + x);
            else
                image.scanLine(y)[x] = uchar(base + 10 * y + x);
        }
    return image;
}

QByteArray png(QSize size, int base = 0)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    pattern(size, QImage::Format_Grayscale8, base).save(&buffer, "PNG");
    return bytes;
}

// A PNG whose header declares a size its data does not hold: only the header is real.
QByteArray declaredOnly(QSize size)
{
    QByteArray bytes = png(QSize(8, 8));
    // IHDR: width and height right after the signature, the chunk length and its type.
    auto put = [&bytes](int at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = char((v >> (24 - 8 * i)) & 0xFF);
    };
    put(16, quint32(size.width()));
    put(20, quint32(size.height()));
    // The chunk's checksum covers its type and data.
    quint32 crc = 0xFFFFFFFFu;
    for (int i = 12; i < 29; ++i) {
        crc ^= quint8(bytes.at(i));
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    put(29, ~crc);
    return bytes;
}

int pixel(const QImage &image, int x, int y)
{
    return image.format() == QImage::Format_Grayscale16 ? reinterpret_cast<const quint16 *>(image.constScanLine(y))[x]
                                                        : image.constScanLine(y)[x];
}

} // namespace

class TestWellImages : public QObject {
    Q_OBJECT
private slots:
    void stacking_data();
    void stacking();
    void agreedSize_data();
    void agreedSize();
    void decoding_data();
    void decoding();
};

void TestWellImages::stacking_data()
{
    QTest::addColumn<QSize>("top");
    QTest::addColumn<int>("topFormat");
    QTest::addColumn<QSize>("bottom");
    QTest::addColumn<int>("bottomFormat");
    QTest::addColumn<int>("format"); // of the result; -1: a null image
    const int g8 = QImage::Format_Grayscale8;
    const int g16 = QImage::Format_Grayscale16;
    QTest::newRow("8-bit halves, rows padded in the halves") << QSize(5, 3) << g8 << QSize(5, 3) << g8 << g8;
    QTest::newRow("16-bit halves") << QSize(3, 2) << g16 << QSize(3, 2) << g16 << g16;
    QTest::newRow("16-bit bottom under an 8-bit top") << QSize(4, 2) << g8 << QSize(4, 2) << g16 << g8;
    QTest::newRow("8-bit bottom under a 16-bit top") << QSize(4, 2) << g16 << QSize(4, 2) << g8 << g16;
    QTest::newRow("colour halves become grey") << QSize(4, 2) << int(QImage::Format_RGB32) << QSize(4, 2)
                                               << int(QImage::Format_RGB32) << g8;
    QTest::newRow("larger bottom") << QSize(2, 3) << g8 << QSize(5, 4) << g8 << -1;
    QTest::newRow("bottom has fewer rows") << QSize(3, 3) << g8 << QSize(3, 2) << g8 << -1;
    QTest::newRow("bottom is narrower") << QSize(3, 2) << g8 << QSize(2, 2) << g8 << -1;
    QTest::newRow("no top") << QSize() << g8 << QSize(3, 2) << g8 << -1;
    QTest::newRow("no bottom") << QSize(3, 2) << g8 << QSize() << g8 << -1;
}

void TestWellImages::stacking()
{
    QFETCH(QSize, top);
    QFETCH(int, topFormat);
    QFETCH(QSize, bottom);
    QFETCH(int, bottomFormat);
    QFETCH(int, format);
    auto half = [](QSize size, int format, int base) {
        const QImage grey = pattern(size, QImage::Format_Grayscale8, base);
        return grey.isNull() ? grey : grey.convertToFormat(QImage::Format(format));
    };
    const QImage upper = half(top, topFormat, 0);
    const QImage lower = half(bottom, bottomFormat, 100);
    const QImage result = WellImages::stackHalves(upper, lower);
    if (format < 0) {
        QVERIFY(result.isNull());
        return;
    }
    QCOMPARE(result.size(), QSize(top.width(), 2 * top.height()));
    QCOMPARE(int(result.format()), format);
    // The engine hands the pixels on without a row stride.
    const int bpp = format == QImage::Format_Grayscale16 ? 2 : 1;
    QCOMPARE(result.bytesPerLine(), top.width() * bpp);
    // The halves come back out only where the stacking converted neither of them.
    const QVector<QImage> halves = WellImages::unstackHalves(result);
    if (topFormat == format && bottomFormat == format) {
        QCOMPARE(halves.size(), 2);
        QCOMPARE(halves.at(0), upper);
        QCOMPARE(halves.at(1), lower);
        QCOMPARE(halves.at(1).bytesPerLine(), top.width() * (format == QImage::Format_Grayscale16 ? 2 : 1));
    } else {
        QVERIFY(halves.isEmpty());
    }
    // An image that was never stacked has no halves to give, whatever its height.
    QVERIFY(WellImages::unstackHalves(pattern(QSize(4, 6), QImage::Format(format), 3)).isEmpty());
    const QImage expectUpper = upper.convertToFormat(QImage::Format(format));
    const QImage expectLower = lower.convertToFormat(QImage::Format(format));
    for (int y = 0; y < result.height(); ++y)
        for (int x = 0; x < result.width(); ++x) {
            const int want = y < top.height() ? pixel(expectUpper, x, y) : pixel(expectLower, x, y - top.height());
            QCOMPARE(pixel(result, x, y), want);
        }
}

void TestWellImages::agreedSize_data()
{
    QTest::addColumn<QVector<QSize>>("declared");
    QTest::addColumn<QSize>("agreed");
    const QSize s(512, 512);
    QTest::newRow("all alike") << QVector<QSize>{s, s, s} << s;
    QTest::newRow("one larger among five") << QVector<QSize>{s, s, QSize(16000, 16000), s, s} << s;
    QTest::newRow("unreadable ones do not vote") << QVector<QSize>{QSize(), s, QSize()} << s;
    QTest::newRow("a tie goes to the smaller") << QVector<QSize>{QSize(600, 600), s} << s;
    QTest::newRow("the only image beyond the limit")
        << QVector<QSize>{QSize(WellImages::MaxSide + 1, 10)} << QSize();
    QTest::newRow("the only image at the limit")
        << QVector<QSize>{QSize(WellImages::MaxSide, WellImages::MaxSide)}
        << QSize(WellImages::MaxSide, WellImages::MaxSide);
    QTest::newRow("more oversized than regular")
        << QVector<QSize>{QSize(20000, 20), QSize(20000, 20), s} << s;
    QTest::newRow("none") << QVector<QSize>{} << QSize();
}

void TestWellImages::agreedSize()
{
    QFETCH(QVector<QSize>, declared);
    QFETCH(QSize, agreed);
    QCOMPARE(WellImages::agreedSize(declared), agreed);
}

void TestWellImages::decoding_data()
{
    QTest::addColumn<QVector<QByteArray>>("encoded");
    QTest::addColumn<QVector<QSize>>("decoded"); // invalid: a null image
    const QSize s(24, 16);
    const QSize none;
    QTest::newRow("alike") << QVector<QByteArray>{png(s, 1), png(s, 2)} << QVector<QSize>{s, s};
    QTest::newRow("missing entries stay null") << QVector<QByteArray>{QByteArray(), png(s)}
                                               << QVector<QSize>{none, s};
    QTest::newRow("a mismatched image") << QVector<QByteArray>{png(s), png(QSize(30, 16)), png(s)}
                                        << QVector<QSize>{s, none, s};
    // Were it decoded, this one alone would take about a gigabyte.
    QTest::newRow("an oversized declaration")
        << QVector<QByteArray>{png(s), declaredOnly(QSize(16000, 16000)), png(s)} << QVector<QSize>{s, none, s};
    QTest::newRow("not an image") << QVector<QByteArray>{png(s), QByteArray("run.pcr bytes")}
                                  << QVector<QSize>{s, none};
    QTest::newRow("a header whose data is missing")
        << QVector<QByteArray>{declaredOnly(s), declaredOnly(s)} << QVector<QSize>{none, none};
}

void TestWellImages::decoding()
{
    QFETCH(QVector<QByteArray>, encoded);
    QFETCH(QVector<QSize>, decoded);
    QVector<WellImages::Encoded> input;
    for (int i = 0; i < encoded.size(); ++i)
        input.append({QStringLiteral("capture/%1.png").arg(i), encoded.at(i)});
    const QVector<QImage> images = WellImages::decode(input);
    QCOMPARE(images.size(), decoded.size());
    for (int i = 0; i < images.size(); ++i) {
        QCOMPARE(images.at(i).isNull(), !decoded.at(i).isValid());
        if (decoded.at(i).isValid())
            QCOMPARE(images.at(i).size(), decoded.at(i));
    }
}

LUMARA_TEST_MAIN(TestWellImages)
#include "tst_wellimages.moc"
