#pragma once

#include <QColor>
#include <QFrame>

// The sunken colour sample of the creation dialogs: filled with its colour, reports clicks. It
// takes the keyboard in its turn, and Space acts as a click, so the colour can be chosen without
// the mouse.
class ColorSwatch : public QFrame {
    Q_OBJECT
public:
    explicit ColorSwatch(QWidget* parent = nullptr);

    void SetColor(const QColor& value);
    const QColor& GetColor() const { return color; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QColor color = Qt::white;
};
