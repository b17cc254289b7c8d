// The clip player: decoding the bundled clip through FFmpeg, playing it in the
// label, and clips that cannot be played.
#include "ui/avi_player.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using tw::ui::AviPlayer;
using tw::ui::decodeClip;

namespace {
const QString kClip = QStringLiteral(TALLOWIND_DATA_DIR "/FileCopy.avi");

bool near(QRgb pixel, int r, int g, int b) {
    constexpr int kTolerance = 40; // the clip's codec is lossy
    return std::abs(qRed(pixel) - r) <= kTolerance && std::abs(qGreen(pixel) - g) <= kTolerance &&
           std::abs(qBlue(pixel) - b) <= kTolerance;
}
} // namespace

class TestAviPlayer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void decodesEveryFrameOfTheBundledClip() {
        const auto clip = decodeClip(kClip);
        QVERIFY2(clip.error.isEmpty(), qPrintable(clip.error));
        QCOMPARE(int(clip.frames.size()), 16);
        QCOMPARE(clip.intervalMs, 125); // 8 frames per second
        for (const QImage& frame : clip.frames)
            QCOMPARE(frame.size(), QSize(80, 48));
        // Two yellow folders (0xE0B000) on white; a red-blue swap would turn them light blue.
        for (const QImage& frame : clip.frames) {
            QVERIFY(near(frame.pixel(10, 25), 0xE0, 0xB0, 0x00));
            QVERIFY(near(frame.pixel(68, 25), 0xE0, 0xB0, 0x00));
            QVERIFY(near(frame.pixel(40, 4), 0xFF, 0xFF, 0xFF));
        }
    }

    void stopsDecodingAtTheMemoryLimit() {
        const qsizetype frameBytes = qsizetype{80} * 48 * 3;
        QCOMPARE(int(decodeClip(kClip, 5 * frameBytes).frames.size()), 5);
        QCOMPARE(int(decodeClip(kClip, frameBytes - 1).frames.size()), 0);
    }

    void playsTheFramesInTheLabel() {
        AviPlayer player;
        QVERIFY(player.open(kClip));
        QVERIFY(player.isOpen());
        QCOMPARE(player.frameCount(), 16);
        QCOMPARE(player.currentFrame(), 0);
        QVERIFY(!player.isPlaying());
        const auto clip = decodeClip(kClip);
        QCOMPARE(player.pixmap().toImage().convertToFormat(QImage::Format_RGB888), clip.frames[0]);

        player.play();
        QVERIFY(player.isPlaying());
        QTRY_VERIFY_WITH_TIMEOUT(player.currentFrame() >= 2, 10000);
        player.stop();
        const int stoppedAt = player.currentFrame();
        QCOMPARE(player.pixmap().toImage().convertToFormat(QImage::Format_RGB888),
                 clip.frames[static_cast<std::size_t>(stoppedAt)]);
        QTest::qWait(3 * player.frameIntervalMs());
        QCOMPARE(player.currentFrame(), stoppedAt);
    }

    void clipsThatCannotPlayShowNothing_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("create");
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("text") << QByteArray("Num3Data.tbl is not a clip\r\n") << true;
        QFile real(kClip);
        QVERIFY(real.open(QIODevice::ReadOnly));
        QTest::newRow("headers only") << real.read(400) << true;
    }
    void clipsThatCannotPlayShowNothing() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, create);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("FileCopy.avi"));
        if (create) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        AviPlayer player;
        QVERIFY(player.open(kClip)); // a clip that was playing is dropped by the failed open
        player.play();
        QVERIFY(!player.open(path));
        QVERIFY(!player.isOpen());
        QVERIFY(!player.isPlaying());
        QVERIFY(player.pixmap().isNull());
        QVERIFY(!player.lastError().isEmpty());
        player.play();
        QVERIFY(!player.isPlaying());
    }
};

QTEST_MAIN(TestAviPlayer)
#include "test_avi_player.moc"
