#pragma once
// BLTabControl1Style: the page area filled black under its pages. The pages themselves keep the
// panel's theme, so the standard controls on them keep their outlines.

#include <QObject>

class QWidget;

class TPageAreaLook : public QObject {
    Q_OBJECT
public:
    // Gives `pageArea` the look; the look belongs to it.
    static void Attach(QWidget* pageArea);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit TPageAreaLook(QObject* parent);
};
