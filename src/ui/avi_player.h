// A small animation player for the loading dialog's clip: the clip is decoded
// once through FFmpeg (libavformat, libavcodec, libswscale) into QImages, which a
// QTimer then shows one after another in the label, looping until stopped.
// A clip that is missing or cannot be decoded leaves the label empty; the caller
// goes on without animation. Knows nothing of the program's data.
#pragma once

#include <QImage>
#include <QLabel>
#include <QTimer>

#include <vector>

namespace tw::ui {

struct DecodedClip {
    std::vector<QImage> frames; // RGB888, in display order
    int intervalMs = 100;       // time per frame from the clip's frame rate
    QString error;              // why nothing could be decoded (empty when frames were found)
};

// Decodes every video frame of a clip; stops early once the frames would take
// more than `maxBytes` of memory, so a large file cannot exhaust it.
DecodedClip decodeClip(const QString& path, qsizetype maxBytes = qsizetype{64} * 1024 * 1024);

class AviPlayer : public QLabel {
    Q_OBJECT
public:
    explicit AviPlayer(QWidget* parent = nullptr);

    // Loads a clip and shows its first frame; false (and an empty label) when it
    // has no playable frames.
    bool open(const QString& path);
    void play();
    void stop();
    void close();

    bool isOpen() const { return !m_clip.frames.empty(); }
    bool isPlaying() const { return m_timer.isActive(); }
    int frameCount() const { return static_cast<int>(m_clip.frames.size()); }
    int currentFrame() const { return m_current; }
    int frameIntervalMs() const { return m_clip.intervalMs; }
    const QString& lastError() const { return m_clip.error; }

private:
    void showFrame(int index);
    void advance();

    DecodedClip m_clip;
    QTimer m_timer;
    int m_current = 0;
};

} // namespace tw::ui
