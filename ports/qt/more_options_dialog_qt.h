// More Options as Qt widgets over CMoreOptionsDlg.
#pragma once

#include "ports/qt/dialog_builder_qt.h"
#include "ui/more_options_dlg.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;

class QtMoreOptionsDialog : public QDialog {
    Q_OBJECT

  public:
    explicit QtMoreOptionsDialog(CMoreOptionsDlg& model, QWidget* parent = nullptr);
    void accept() override;

    QRadioButton* modeButtons[PLAY_MODES];
    QSlider* volume;
    QRadioButton* othersPlay;
    QRadioButton* othersBlack;
    QRadioButton* pictureOriginal;
    QRadioButton* pictureFit;
    QLabel* startText;
    QCheckBox* idleStart;
    QSlider* idleMinutes;
    QWidget* startGroup; // the "Starting" group box
    QPushButton* okButton;

  private:
    CMoreOptionsDlg& model;
    DialogLayout layout;
};
