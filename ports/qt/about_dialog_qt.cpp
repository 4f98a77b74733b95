#include "ports/qt/about_dialog_qt.h"

#include "ui/about_dlg.h"

#include <QLabel>
#include <QPushButton>

QtAboutDialog::QtAboutDialog(CAboutDlg& model, QWidget* parent)
    : QDialog(parent, DialogWindowFlags()), model(model), layout(this, aboutTemplate) {
    version = layout.ItemAs<QLabel>(IDC_VERSION);
    readMe = layout.ItemAs<QPushButton>(IDC_README);
    okButton = layout.ItemAs<QPushButton>(IDOK_BUTTON);

    model.OnInitDialog();
    version->setText(QString::fromUtf8(model.versionLine));
    connect(readMe, &QPushButton::clicked, this, [this] { this->model.OnReadMe(); });
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
}
