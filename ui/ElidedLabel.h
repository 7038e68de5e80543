#pragma once

#include <QLabel>

// A one-line label for a text that may be longer than its room (a product's name): it never
// widens its window, is cut to its width with an ellipsis, and shows the whole text as a tip
// when cut.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void setFullText(const QString& text);
    const QString& fullText() const { return m_fullText; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void showText();
    QString m_fullText;
};
