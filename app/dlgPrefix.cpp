#include "app/dlgPrefix.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

TFormPrefix::TFormPrefix(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("FormPrefix"));
    setWindowTitle(QStringLiteral("ファイルの命名規則"));
    setFont(DesignedDialogFont());
    setFixedSize(228, 144);

    CBPrefix = Own(new QCheckBox(QStringLiteral("接頭語 ( prefix )"), this), "CBPrefix");
    CBPrefix->setGeometry(16, 16, 121, 17);
    EditPrefix = Own(new QLineEdit(this), "EditPrefix");
    EditPrefix->setGeometry(16, 32, 121, 20);
    CBSuffix = Own(new QCheckBox(QStringLiteral("接尾語 ( suffix )"), this), "CBSuffix");
    CBSuffix->setGeometry(16, 64, 121, 17);
    EditSuffix = Own(new QLineEdit(this), "EditSuffix");
    EditSuffix->setGeometry(16, 80, 121, 20);

    ButtonOK = Own(new QPushButton(QStringLiteral("OK"), this), "ButtonOK");
    ButtonOK->setGeometry(56, 112, 75, 25);
    ButtonOK->setDefault(true);
    connect(ButtonOK, &QPushButton::clicked, this, &QDialog::accept);
    ButtonCancel = Own(new QPushButton(QStringLiteral("キャンセル"), this), "ButtonCancel");
    ButtonCancel->setGeometry(144, 112, 75, 25);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}
