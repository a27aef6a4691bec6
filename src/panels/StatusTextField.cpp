#include "panels/StatusTextField.h"

#include <QFontMetricsF>
#include <QPainter>

namespace tarnwick {

namespace {

// Greedy wrapping at blanks and line ends only; a word wider than the field keeps a line
// of its own.
QStringList WrapAtBlanks(QString text, const QFontMetricsF& metrics, qreal width) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QString line;
        for (const QString& word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (line.isEmpty() || metrics.horizontalAdvance(longer) <= width) {
                line = longer;
            } else {
                lines << line;
                line = word;
            }
        }
        lines << line;
    }
    return lines;
}

}  // namespace

StatusTextField::StatusTextField(QWidget* parent) : QLabel(parent) {
    // Texts come from servers too; they must never be read as markup.
    setTextFormat(Qt::PlainText);
}

void StatusTextField::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(palette().color(QPalette::WindowText));

    const QFontMetricsF metrics(font());
    const QStringList lines = WrapAtBlanks(text(), metrics, width());
    for (int i = 0; i < lines.size(); ++i) {
        const qreal top = i * metrics.lineSpacing();
        // A half-shown line reads as noise, so only whole lines are drawn; the first one
        // always is, cut if the field is lower than a line.
        if (i > 0 && top + metrics.height() > height()) {
            break;
        }
        painter.drawText(QPointF(0, top + metrics.ascent()), lines[i]);
    }
}

}  // namespace tarnwick
