#pragma once

#include <QWidget>

class QTextBrowser;

// The guide to filling in the questionnaire, in a window of its own beside the form (F1).
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget *parent = nullptr);

    // Shows form's guide window, made on the first call: one a form, raised when asked again.
    static HelpWindow *showFor(QWidget *form);

    // The guide's resource in the program's language.
    static QString guidePath();

private:
    QTextBrowser *m_browser = nullptr;
};
