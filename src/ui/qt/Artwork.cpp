#include "ui/qt/Artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "ui/qt/JapaneseFont.h"

namespace karune::ui {

namespace {

// A handheld terminal: body, screen and keys, drawn into `r`.
void drawTerminal(QPainter& p, const QRectF& r) {
    p.setPen(QPen(QColor(40, 40, 60), r.width() / 40));
    p.setBrush(QColor(235, 235, 225));
    p.drawRoundedRect(r, r.width() / 8, r.width() / 8);
    const QRectF screen(r.left() + r.width() * 0.15, r.top() + r.height() * 0.1, r.width() * 0.7,
                        r.height() * 0.35);
    p.setBrush(QColor(150, 200, 150));
    p.drawRect(screen);
    p.setBrush(QColor(90, 90, 110));
    p.setPen(Qt::NoPen);
    const double key = r.width() * 0.16;
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            p.drawRect(QRectF(r.left() + r.width() * 0.17 + col * key * 1.45,
                              r.top() + r.height() * 0.55 + row * key * 0.85, key, key * 0.55));
        }
    }
}

// Radio waves leaving `origin` to the right.
void drawWaves(QPainter& p, QPointF origin, double radius, double width) {
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= 3; ++i) {
        p.setPen(QPen(QColor(255, 255, 255, 230), width, Qt::SolidLine, Qt::RoundCap));
        const double rad = radius * i;
        p.drawArc(QRectF(origin.x() - rad, origin.y() - rad, 2 * rad, 2 * rad), -45 * 16, 90 * 16);
    }
}

}  // namespace

QPixmap programIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 32);
    sky.setColorAt(0, QColor(30, 110, 200));
    sky.setColorAt(1, QColor(10, 50, 120));
    p.setBrush(sky);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    drawTerminal(p, QRectF(5, 6, 12, 21));
    drawWaves(p, QPointF(17, 14), 4.5, 1.8);
    return pixmap;
}

QPixmap programBanner() {
    QPixmap pixmap(802, 172);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 802, 172);
    sky.setColorAt(0, QColor(20, 70, 160));
    sky.setColorAt(1, QColor(70, 160, 220));
    p.fillRect(pixmap.rect(), sky);
    drawTerminal(p, QRectF(40, 22, 74, 128));
    drawWaves(p, QPointF(120, 86), 22, 6);
    // The receiving PC: a monitor at the other end of the waves.
    p.setPen(QPen(QColor(40, 40, 60), 3));
    p.setBrush(QColor(220, 225, 235));
    p.drawRoundedRect(QRectF(660, 34, 110, 80), 6, 6);
    p.setBrush(QColor(30, 60, 110));
    p.drawRect(QRectF(670, 44, 90, 60));
    p.setBrush(QColor(220, 225, 235));
    p.drawRect(QRectF(700, 114, 30, 14));
    p.drawRoundedRect(QRectF(680, 128, 70, 10), 3, 3);
    QFont title = japaneseFont();
    title.setPixelSize(54);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRectF(200, 30, 440, 70), Qt::AlignCenter, QStringLiteral("KARUNE_MODEM"));
    QFont sub = japaneseFont();
    sub.setPixelSize(24);
    p.setFont(sub);
    p.setPen(QColor(225, 240, 255));
    p.drawText(QRectF(200, 100, 440, 40), Qt::AlignCenter, QStringLiteral("ﾊﾝﾃﾞｨﾀｰﾐﾅﾙ ﾃﾞｰﾀ受信"));
    return pixmap;
}

}  // namespace karune::ui
