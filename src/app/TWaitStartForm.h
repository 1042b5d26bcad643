#pragma once

#include <QWidget>

class QLabel;

// The small window that tells the estimator the program is starting while the
// master data is decoded and loaded. It cannot be closed by the user; the
// main window destroys it when start-up is over.
class TWaitStartForm : public QWidget
{
    Q_OBJECT

public:
    static constexpr int ClientWidth = 257;
    static constexpr int ClientHeight = 98;

    explicit TWaitStartForm(QWidget* owner = nullptr);

    // Shows the window and has it painted at once: the start-up sequence
    // runs without returning to the event loop.
    void showAndPaint();

    QLabel* LabelStarting;
    QLabel* LabelWait;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};
