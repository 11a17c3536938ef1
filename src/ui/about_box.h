// The About box: a fixed dialog with the product name and an OK button.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace rebound {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    QLabel* ProductName = nullptr;
    QPushButton* OKButton = nullptr;
};

}  // namespace rebound
