#include "ports/qt/more_options_dialog_qt.h"

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

    model.OnInitDialog();
    if (model.checkedMode >= 0) modeButtons[model.checkedMode]->setChecked(true);
    volume->setRange(VOLUME_MIN, VOLUME_MAX);
    volume->setValue(model.volumePosition);
    (model.othersBlack ? othersBlack : othersPlay)->setChecked(true);
    (model.pictureFit ? pictureFit : pictureOriginal)->setChecked(true);

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
    connect(okButton, &QPushButton::clicked, this, &QtMoreOptionsDialog::accept);
}

void QtMoreOptionsDialog::accept() {
    model.OnOK();
    QDialog::accept();
}
