#pragma once

#include <QAbstractSlider>
#include <QLineEdit>
#include <QPointer>

#include <functional>

// Up and down arrows attached to an edit. A step takes the edit's integer (as the edit holds it,
// group separators included), moves it by one within the limits and writes it back.
class TUpDown : public QAbstractSlider
{
    Q_OBJECT

public:
    explicit TUpDown(QWidget *parent = nullptr);

    void setAssociate(QLineEdit *edit);
    QLineEdit *associate() const { return m_edit; }

    // What a step writes passes through filter first: the edit announces only the result.
    void setWriteFilter(std::function<QString(const QString &)> filter) { m_writeFilter = std::move(filter); }

    // Whether the written value carries the locale's group separator.
    void setThousands(bool on) { m_thousands = on; }
    bool thousands() const { return m_thousands; }

    QSize sizeHint() const override;

    // The edit's integer as a step reads it (group separators left out).
    int editValue(bool *ok) const;
    // Writes value, held to the limits, into the edit as a step does.
    void writeValue(int value);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void step(int action);

    QPointer<QLineEdit> m_edit;
    QMetaObject::Connection m_editChanged;
    bool m_thousands = true;
    std::function<QString(const QString &)> m_writeFilter;
    int m_pressed = 0; // +1 up arrow, -1 down arrow
};
