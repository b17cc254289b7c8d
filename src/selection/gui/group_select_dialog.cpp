#include "selection/gui/group_select_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include <cmath>

namespace tw::selection {

GroupSelectDialog::GroupSelectDialog(const Request& request, QWidget* parent) : QDialog(parent), m_request(request) {
    setObjectName(QStringLiteral("dlgGroupSelect"));
    // The question needs no title: the dialog opens right under the button that
    // asked it. An empty title would make the window system show the
    // application's name instead, so the title is a single blank.
    setWindowTitle(QStringLiteral(" "));
    setModal(true);

    auto* layout = new QHBoxLayout(this);
    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(style()->standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(32, 32));
    Picture1->setAlignment(Qt::AlignTop);
    layout->addWidget(Picture1);

    auto* options = new QVBoxLayout;
    const std::array<QString, 3> captions = {QStringLiteral("Group1から"), QStringLiteral("Group2から"),
                                             QStringLiteral("Group3から")};
    for (std::size_t i = 0; i < optGroup.size(); ++i) {
        optGroup[i] = new QRadioButton(captions[i], this);
        optGroup[i]->setObjectName(QStringLiteral("optGroup_%1").arg(i));
        options->addWidget(optGroup[i]);
    }
    options->addStretch();
    layout->addLayout(options);

    // The two buttons carry pictures, not words.
    auto* buttons = new QVBoxLayout;
    cmdOK = new QPushButton(this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    cmdOK->setIconSize(QSize(24, 24));
    cmdOK->setToolTip(QStringLiteral("OK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    cmdCancel->setIconSize(QSize(24, 24));
    cmdCancel->setToolTip(QStringLiteral("キャンセル"));
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addStretch();
    layout->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, &GroupSelectDialog::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &GroupSelectDialog::cmdCancel_Click);
}

void GroupSelectDialog::placeUnder(const QWidget* button) {
    const QPoint topLeft = button->mapToGlobal(QPoint(0, 0));
    const int below = static_cast<int>(std::lround(1.5 * button->height()));
    move(topLeft.x(), topLeft.y() + below);
}

void GroupSelectDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Form_Activate();
}

void GroupSelectDialog::Form_Activate() {
    // Only the first showing prepares the options; a later one keeps the user's choice.
    if (m_activated)
        return;
    m_activated = true;
    optGroup[0]->setChecked(true);
    m_intSelectGroup = 1;
    if (m_request.digits == 3) {
        optGroup[2]->setVisible(false);
        optGroup[2]->setEnabled(false);
    }
}

void GroupSelectDialog::cmdOK_Click() {
    if (optGroup[0]->isChecked())
        m_intSelectGroup = 1;
    else if (optGroup[1]->isChecked())
        m_intSelectGroup = 2;
    else
        m_intSelectGroup = 3;
    accept();
}

void GroupSelectDialog::cmdCancel_Click() {
    reject();
}

void GroupSelectDialog::reject() {
    // Escape and the close box answer as the cancel button does.
    m_intSelectGroup = 0;
    QDialog::reject();
}

int16_t askSelectGroup(QWidget* parent, const QWidget* button, int16_t digits) {
    GroupSelectDialog dialog({digits}, parent);
    if (button)
        dialog.placeUnder(button);
    dialog.exec();
    return dialog.intSelectGroup();
}

} // namespace tw::selection
