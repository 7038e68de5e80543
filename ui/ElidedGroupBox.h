#pragma once

#include <QGroupBox>

// A group whose caption may be longer than the group is wide (a project's name): the caption is
// cut to the width with an ellipsis and never widens the window, the whole text shows as a tip
// over the caption, and an "&" in it stands for itself, not for a shortcut.
class ElidedGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit ElidedGroupBox(const QString& title, QWidget* parent = nullptr);

    void setFullTitle(const QString& title);
    const QString& fullTitle() const { return m_fullTitle; }
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showTitle();
    QString m_fullTitle;
    bool m_cut = false;
};

// Sets the caption of a group; an ElidedGroupBox cuts it to its width.
void setGroupTitle(QGroupBox* group, const QString& title);
