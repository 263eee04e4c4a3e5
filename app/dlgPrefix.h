#pragma once
// The sample page's file naming rule: an optional prefix and suffix for
// the picture files. Its creator fills and reads the components.

#include <QDialog>

#include "app/Components.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

class TFormPrefix : public QDialog, public TComponentList {
    Q_OBJECT

public:
    explicit TFormPrefix(QWidget* owner);

    QCheckBox* CBPrefix;
    QLineEdit* EditPrefix;
    QCheckBox* CBSuffix;
    QLineEdit* EditSuffix;
    QPushButton* ButtonOK;
    QPushButton* ButtonCancel;
};
