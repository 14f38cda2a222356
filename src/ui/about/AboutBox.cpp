#include "ui/about/AboutBox.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "ui/about/Artwork.h"
#include "ui/core/AboutTexts.h"
#include "ui/common/JapaneseFont.h"
#include "ui/common/Twips.h"

namespace karune::ui {

namespace {

// One line of the etched separator; a flat frame filled with the line's colour.
void addLine(QWidget* parent, int x1, int x2, int y, int thickness, QColor colour) {
    auto* line = new QFrame(parent);
    line->setGeometry(twipsToPixels(x1), twipsToPixels(y), twipsToPixels(x2) - twipsToPixels(x1),
                      thickness);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, colour);
    line->setPalette(palette);
}

}  // namespace

AboutBox::AboutBox(QWidget* mainWindow)
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("frmAbout"));
    applyJapaneseFont(*this);
    setFixedSize(twipsToPixels(4485), twipsToPixels(2175));
    setWindowIcon(programIcon());

    auto* picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setGeometry(twipsRect(240, 240, 540, 540));
    picIcon->setAlignment(Qt::AlignCenter);
    picIcon->setPixmap(programIcon());

    lblTitle_ = new QLabel(QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝ ﾀｲﾄﾙ"), this);
    lblTitle_->setObjectName(QStringLiteral("lblTitle"));
    lblTitle_->setGeometry(twipsRect(840, 240, 3276, 240));
    QPalette black = lblTitle_->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    lblTitle_->setPalette(black);

    lblVersion_ = new QLabel(QStringLiteral("ﾊﾞｰｼﾞｮﾝ"), this);
    lblVersion_->setObjectName(QStringLiteral("lblVersion"));
    lblVersion_->setGeometry(twipsRect(840, 480, 3276, 228));

    addLine(this, 108, 4320, 716, 2, Qt::white);
    addLine(this, 120, 4320, 716, 1, QColor(128, 128, 128));

    lblCompany_ = new QLabel(QStringLiteral("会社名"), this);
    lblCompany_->setObjectName(QStringLiteral("lblCompany"));
    lblCompany_->setGeometry(twipsRect(840, 840, 1812, 228));

    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setGeometry(twipsRect(2976, 828, 1380, 345));
    cmdOK_->setDefault(true);
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);

    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setGeometry(twipsRect(120, 1320, 4215, 780));
    image->setScaledContents(true);
    image->setPixmap(programBanner());

    if (mainWindow_) {
        const QRect outer = mainWindow_->frameGeometry();
        move(outer.left() + (outer.width() - width()) / 2,
             outer.top() + (outer.height() - height()) / 2);
        mainWindow_->setEnabled(false);
    }
    const AboutTexts texts = aboutTexts();
    setWindowTitle(QString::fromStdString(texts.caption));
    lblVersion_->setText(QString::fromStdString(texts.version));
    lblTitle_->setText(QString::fromStdString(texts.title));
    lblCompany_->setText(QString::fromStdString(texts.company));
    cmdOK_->setFocus();
}

void AboutBox::done(int result) {
    if (mainWindow_) {
        mainWindow_->show();
        mainWindow_->setEnabled(true);
    }
    QDialog::done(result);
    deleteLater();
}

}  // namespace karune::ui
