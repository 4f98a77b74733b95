#include "ports/qt/more_options_dialog_qt.h"

#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

QtMoreOptionsDialog::QtMoreOptionsDialog(CMoreOptionsDlg& model, QWidget* parent)
    : QDialog(parent, DialogWindowFlags()), model(model), layout(this, moreOptionsTemplate) {
    const int ids[PLAY_MODES] = {IDC_PLAY_SELECTED, IDC_PLAY_RANDOM, IDC_PLAY_SEQUENTIAL};
    for (int mode = 0; mode < PLAY_MODES; ++mode) {
        modeButtons[mode] = layout.ItemAs<QRadioButton>(ids[mode]);
    }
    volume = layout.ItemAs<QSlider>(IDC_VOLUME);
    okButton = layout.ItemAs<QPushButton>(IDOK_BUTTON);
    othersPlay = layout.ItemAs<QRadioButton>(IDC_OTHER_PLAY);
    othersBlack = layout.ItemAs<QRadioButton>(IDC_OTHER_BLACK);
    pictureOriginal = layout.ItemAs<QRadioButton>(IDC_PICTURE_ORIGINAL);
    pictureFit = layout.ItemAs<QRadioButton>(IDC_PICTURE_FIT);
    startText = layout.ItemAs<QLabel>(IDC_START_TEXT);
    idleStart = layout.ItemAs<QCheckBox>(IDC_IDLE_START);
    idleMinutes = layout.ItemAs<QSlider>(IDC_IDLE_MINUTES);
    startGroup = layout.Item(IDC_START_GROUP);

    model.OnInitDialog();
    if (model.checkedMode >= 0) modeButtons[model.checkedMode]->setChecked(true);
    volume->setRange(VOLUME_MIN, VOLUME_MAX);
    volume->setValue(model.volumePosition);
    (model.othersBlack ? othersBlack : othersPlay)->setChecked(true);
    (model.pictureFit ? pictureFit : pictureOriginal)->setChecked(true);
    startText->setWordWrap(true);
    startText->setText(QString::fromUtf8(model.startText));
    idleStart->setVisible(model.idleOffered);
    idleMinutes->setVisible(model.idleOffered);
    idleStart->setChecked(model.idleChecked);
    idleStart->setText(QString::fromUtf8(model.IdleText()));
    idleMinutes->setRange(IDLE_MINUTES_MIN, IDLE_MINUTES_MAX);
    idleMinutes->setValue(model.idleMinutes);
    idleMinutes->setEnabled(model.idleChecked);
    if (!model.idleOffered) {
        // The group and the dialog lose the hidden controls' space.
        const int dy = layout.ToPixels(0, 0, 0, IDLE_CONTROLS_HEIGHT).height();
        startGroup->resize(startGroup->width(), startGroup->height() - dy);
        setFixedSize(width(), height() - dy);
    }

    for (int mode = 0; mode < PLAY_MODES; ++mode) {
        connect(modeButtons[mode], &QRadioButton::toggled, this, [this, mode](bool on) {
            if (on) this->model.SetCheckedMode(mode);
        });
    }
    connect(volume, &QSlider::valueChanged, this,
            [this](int position) { this->model.OnHScroll(position); });
    connect(othersBlack, &QRadioButton::toggled, this,
            [this](bool on) { this->model.SetOthersBlack(on); });
    connect(pictureFit, &QRadioButton::toggled, this,
            [this](bool on) { this->model.SetPictureFit(on); });
    connect(idleStart, &QCheckBox::toggled, this, [this](bool on) {
        this->model.SetIdleChecked(on);
        idleMinutes->setEnabled(on);
    });
    connect(idleMinutes, &QSlider::valueChanged, this, [this](int minutes) {
        this->model.SetIdleMinutes(minutes);
        idleStart->setText(QString::fromUtf8(this->model.IdleText()));
    });
    connect(okButton, &QPushButton::clicked, this, &QtMoreOptionsDialog::accept);
}

void QtMoreOptionsDialog::accept() {
    model.OnOK();
    if (model.idleFailure[0]) {
        QMessageBox::warning(this, windowTitle(), QString::fromUtf8(model.idleFailure));
    }
    QDialog::accept();
}
