#include "app/dlgSampleOutputFormat.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "app/LanguageWidgets.h"
#include "app/NumEdit.h"

TFormSampleOutputFormat::TFormSampleOutputFormat(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("FormSampleOutputFormat"));
    setWindowTitle(QStringLiteral("出力形式"));
    setFont(DesignedDialogFont());
    setFixedSize(311, 226);

    GBOutputFormat = Own(new QGroupBox(QStringLiteral("サンプル一覧の出力形式"), this), "GBOutputFormat");
    GBOutputFormat->setGeometry(16, 8, 281, 97);
    RBJPEG420 = Own(new QRadioButton(QStringLiteral("JPEG サンプリング比 4:2:0 ( IJG default )"), GBOutputFormat),
                    "RBJPEG420");
    RBJPEG420->setGeometry(16, 24, 233, 17);
    RBJPEG444 = Own(new QRadioButton(QStringLiteral("JPEG サンプリング比 4:4:4"), GBOutputFormat), "RBJPEG444");
    RBJPEG444->setGeometry(16, 48, 233, 17);
    RBPNG = Own(new QRadioButton(QStringLiteral("PNG"), GBOutputFormat), "RBPNG");
    RBPNG->setGeometry(16, 72, 113, 17);
    RBPNG->setChecked(true);

    GBJPEGQuality = Own(new QGroupBox(QStringLiteral("JPEG品質"), this), "GBJPEGQuality");
    GBJPEGQuality->setGeometry(16, 112, 281, 65);
    EditJPEGQuality = Own(new TNumEdit(GBJPEGQuality), "EditJPEGQuality");
    EditJPEGQuality->setGeometry(16, 24, 121, 20);
    EditJPEGQuality->setText(QStringLiteral("90"));

    ButtonOK = Own(new QPushButton(QStringLiteral("OK"), this), "ButtonOK");
    ButtonOK->setGeometry(224, 184, 75, 25);
    ButtonOK->setDefault(true);
    connect(ButtonOK, &QPushButton::clicked, this, &QDialog::accept);
}

std::unique_ptr<TFormSampleOutputFormat> CreateFormSampleOutputFormat(QWidget* owner) {
    auto dialog = std::make_unique<TFormSampleOutputFormat>(owner);
    ApplyLanguageToWindow(*dialog, *dialog);
    return dialog;
}
