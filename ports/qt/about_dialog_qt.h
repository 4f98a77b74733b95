// The About box as Qt widgets over CAboutDlg.
#pragma once

#include "ports/qt/dialog_builder_qt.h"

#include <QDialog>

class CAboutDlg;
class QLabel;
class QPushButton;

class QtAboutDialog : public QDialog {
    Q_OBJECT

  public:
    explicit QtAboutDialog(CAboutDlg& model, QWidget* parent = nullptr);

    QLabel* version;
    QPushButton* readMe;
    QPushButton* okButton;

  private:
    CAboutDlg& model;
    DialogLayout layout;
};
