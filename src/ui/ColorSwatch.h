#pragma once

#include <QColor>
#include <QFrame>

// The sunken colour sample of the creation dialogs: filled with its colour, reports clicks.
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

private:
    QColor color = Qt::white;
};
