// The small dialog that asks which prediction group fills the candidate list of
// the change panel: Group1 or Group2, and Group3 for Numbers4 only. The caller
// sets the game's digit count, places the dialog under the button that opened it
// and reads the answer after exec(): 1, 2 or 3, or 0 when it was cancelled.
// Knows nothing of the proposal or the lists; it only answers the question.
#pragma once

#include <QDialog>

#include <array>
#include <cstdint>

class QLabel;
class QPushButton;
class QRadioButton;

namespace tw::selection {

class GroupSelectDialog : public QDialog {
    Q_OBJECT
public:
    // What to offer.
    struct Request {
        int16_t digits = 3; // the game's digit count, 3 or 4
    };

    explicit GroupSelectDialog(const Request& request, QWidget* parent = nullptr);

    // Read after exec(): 0 cancelled, 1, 2 or 3.
    int16_t intSelectGroup() const { return m_intSelectGroup; }

    // Puts the dialog's top-left corner under `button`, one and a half button
    // heights below the button's top edge.
    void placeUnder(const QWidget* button);

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private Q_SLOTS:
    void cmdOK_Click();
    void cmdCancel_Click();

private:
    void Form_Activate();

    std::array<QRadioButton*, 3> optGroup{};
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QLabel* Picture1 = nullptr;
    Request m_request;
    bool m_activated = false;
    int16_t m_intSelectGroup = 0;
};

// Runs the dialog for a game (3 or 4) under `button`; returns its answer.
int16_t askSelectGroup(QWidget* parent, const QWidget* button, int16_t digits);

} // namespace tw::selection
