#include "ui/about_box.h"

#include <QFont>
#include <QLabel>
#include <QPushButton>

namespace rebound {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(tr("About..."));
    setFixedSize(528, 151);

    ProductName = new QLabel(this);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(24);
    ProductName->setFont(font);
    // The product's name, the same in every language.
    ProductName->setText(QStringLiteral("Digital Concret Test Hammer\n       Halvorn Instruments  v1.2"));
    ProductName->setTextFormat(Qt::PlainText);
    ProductName->setGeometry(24, 16, 480, 72);

    OKButton = new QPushButton(tr("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    OKButton->setGeometry(226, 104, 75, 27);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace rebound
