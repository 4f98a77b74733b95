#include "ports/qt/config_dialog_qt.h"

#include "ports/qt/about_dialog_qt.h"
#include "ports/qt/more_options_dialog_qt.h"
#include "ui/about_dlg.h"
#include "ui/config_dlg.h"
#include "ui/more_options_dlg.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

QtConfigDialog::QtConfigDialog(CConfigDlg& model, QWidget* parent)
    : QDialog(parent, DialogWindowFlags()), model(model), layout(this, configTemplate) {
    moduleList = layout.ItemAs<QListWidget>(IDC_MODULE_LIST);
    for (int k = 0; k < MODULE_PARAMS; ++k) {
        paramGroups[k] = layout.ItemAs<QGroupBox>(IDC_PARAM_GROUP + PARAM_ID_STRIDE * k);
        leftLabels[k] = layout.ItemAs<QLabel>(IDC_PARAM_LEFT + PARAM_ID_STRIDE * k);
        rightLabels[k] = layout.ItemAs<QLabel>(IDC_PARAM_RIGHT + PARAM_ID_STRIDE * k);
        paramSliders[k] = layout.ItemAs<QSlider>(IDC_PARAM_SLIDER + PARAM_ID_STRIDE * k);
    }
    brightness = layout.ItemAs<QSlider>(IDC_BRIGHTNESS);
    sound = layout.ItemAs<QCheckBox>(IDC_SOUND);
    moreOptions = layout.ItemAs<QPushButton>(IDC_MORE_OPTIONS);
    testButton = layout.ItemAs<QPushButton>(IDC_TEST);
    about = layout.ItemAs<QPushButton>(IDC_ABOUT);
    okButton = layout.ItemAs<QPushButton>(IDOK_BUTTON);

    model.OnInitDialog();
    setWindowTitle(QString::fromUtf8(model.caption));
    brightness->setRange(BRIGHTNESS_MIN, BRIGHTNESS_MAX);
    brightness->setPageStep(1);
    brightness->setValue(model.brightnessPosition);
    sound->setChecked(model.soundChecked);
    ShowParameterControls();
    for (int32_t i = 0; i < model.ListCount(); ++i) {
        moduleList->addItem(QString::fromUtf8(model.ListEntry(i)));
    }
    if (model.selection >= 0) moduleList->setCurrentRow(model.selection);

    // Signals are connected only now: filling the controls is not a user action.
    for (QSlider* slider : paramSliders) {
        connect(slider, &QSlider::valueChanged, this, &QtConfigDialog::OnSliderMoved);
    }
    connect(brightness, &QSlider::valueChanged, this, &QtConfigDialog::OnSliderMoved);
    connect(moduleList, &QListWidget::currentRowChanged, this, &QtConfigDialog::OnSelectionChanged);
    connect(sound, &QCheckBox::toggled, this, [this](bool on) { this->model.SetSoundChecked(on); });
    connect(moreOptions, &QPushButton::clicked, this, &QtConfigDialog::OnMoreOptions);
    connect(about, &QPushButton::clicked, this, &QtConfigDialog::OnAbout);
    connect(testButton, &QPushButton::clicked, this, &QtConfigDialog::OnTest);
    connect(okButton, &QPushButton::clicked, this, &QtConfigDialog::accept);
}

void QtConfigDialog::accept() {
    model.SetBrightnessPosition(brightness->value());
    model.SetSoundChecked(sound->isChecked());
    if (model.OnOK() != DLG_OK) {
        ShowSaveFailure();
        return;
    }
    QDialog::accept();
}

void QtConfigDialog::OnTest() {
    model.OnTest();
    if (model.saveFailure[0] != '\0') ShowSaveFailure();
}

void QtConfigDialog::ShowSaveFailure() {
    QMessageBox box(QMessageBox::Warning, windowTitle(), QString::fromUtf8(model.saveFailure),
                    QMessageBox::Ok, this);
    box.exec();
}

void QtConfigDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!centred) {
        CentreOnScreen(this);
        centred = true;
    }
}

void QtConfigDialog::ShowParameterControls() {
    model.ShowParameterControls();
    for (int k = 0; k < MODULE_PARAMS; ++k) {
        const ParamGroupView& group = model.groups[k];
        QWidget* controls[] = {paramGroups[k], leftLabels[k], rightLabels[k], paramSliders[k]};
        if (!group.visible) {
            for (QWidget* w : controls) w->hide();
            continue;
        }
        paramGroups[k]->setTitle(QString::fromUtf8(group.caption));
        leftLabels[k]->setText(QString::fromUtf8(group.leftLabel));
        rightLabels[k]->setText(QString::fromUtf8(group.rightLabel));
        // Setting the range may move the thumb; that is no user action either.
        QSignalBlocker blocker(paramSliders[k]);
        paramSliders[k]->setRange(group.rangeMin, group.rangeMax);
        paramSliders[k]->setValue(group.position);
        for (QWidget* w : controls) w->show();
    }
}

void QtConfigDialog::OnSliderMoved() {
    for (int k = 0; k < MODULE_PARAMS; ++k) model.SetParamPosition(k, paramSliders[k]->value());
    model.SetBrightnessPosition(brightness->value());
    model.OnHScroll();
}

void QtConfigDialog::OnSelectionChanged(int row) {
    model.OnSelChange(row);
    ShowParameterControls();
}

void QtConfigDialog::OnMoreOptions() {
    CMoreOptionsDlg options(model.settings, &model.shell, model.themeName);
    QtMoreOptionsDialog dialog(options, this);
    dialog.exec();
}

void QtConfigDialog::OnAbout() {
    CAboutDlg aboutModel(model.shell, model.mediaDirectory);
    QtAboutDialog dialog(aboutModel, this);
    dialog.exec();
}
