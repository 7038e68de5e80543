#include "ui/ElidedLabel.h"

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void ElidedLabel::setFullText(const QString& text) {
    m_fullText = text;
    showText();
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    showText();
}

void ElidedLabel::showEvent(QShowEvent* event) {
    QLabel::showEvent(event);
    showText();
}

void ElidedLabel::showText() {
    // Not laid out yet: its width says nothing.
    const QString shown =
        isVisible() ? fontMetrics().elidedText(m_fullText, Qt::ElideRight, contentsRect().width())
                    : m_fullText;
    setText(shown);
    setToolTip(shown != m_fullText ? m_fullText : QString());
}
