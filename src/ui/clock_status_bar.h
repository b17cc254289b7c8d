// A status bar with the two panels the program's windows show: the current date
// (first panel) and the clock time, refreshed every second. A click on a panel
// is reported with the panel's index. The clock is injectable so tests can fix
// "now".
#pragma once

#include <QDateTime>
#include <QStatusBar>
#include <QTimer>

#include <array>
#include <functional>

class QLabel;

namespace tw::ui {

class ClockStatusBar : public QStatusBar {
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;
    static constexpr int kDatePanel = 0;
    static constexpr int kTimePanel = 1;
    static constexpr int kRightMargin = 6; // between the time panel and the window edge

    explicit ClockStatusBar(QWidget* parent = nullptr);

    void setClock(Clock clock);
    QLabel* panel(int index) const { return m_panels[static_cast<std::size_t>(index)]; }
    void refresh();

Q_SIGNALS:
    void panelClicked(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Clock m_clock;
    QTimer m_tick;
    std::array<QLabel*, 2> m_panels{};
};

} // namespace tw::ui
