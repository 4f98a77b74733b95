// The settings dialog as Qt widgets over CConfigDlg.
#pragma once

#include "ports/qt/dialog_builder_qt.h"
#include "script/theme_records.h"

#include <QDialog>

class CConfigDlg;
class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSlider;

class QtConfigDialog : public QDialog {
    Q_OBJECT

  public:
    // Builds the widgets and initialises the model (OnInitDialog).
    explicit QtConfigDialog(CConfigDlg& model, QWidget* parent = nullptr);

    // OK: the model takes brightness and sound and stores the settings, then
    // the dialog ends; when they cannot be stored a message box says why and
    // the dialog stays open.
    void accept() override;

    QListWidget* moduleList;
    QGroupBox* paramGroups[MODULE_PARAMS];
    QLabel* leftLabels[MODULE_PARAMS];
    QLabel* rightLabels[MODULE_PARAMS];
    QSlider* paramSliders[MODULE_PARAMS];
    QSlider* brightness;
    QCheckBox* sound;
    QPushButton* moreOptions;
    QPushButton* testButton;
    QPushButton* about;
    QPushButton* okButton;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void ShowParameterControls();
    void OnSliderMoved();
    void OnSelectionChanged(int row);
    void OnMoreOptions();
    void OnAbout();
    void OnTest();
    void ShowSaveFailure();

    CConfigDlg& model;
    DialogLayout layout;
    bool centred = false;
};
