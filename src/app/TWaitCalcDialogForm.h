#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;

// "計算中": shown while the cheapest-site search runs. "中止", its × and Esc
// ask the search to stop (the dialog itself stays until the search has
// ended); it never takes the activation from the main window; its spinner
// turns every 500 ms while events are processed.
class TWaitCalcDialogForm : public QDialog
{
    Q_OBJECT

public:
    static constexpr int ClientWidth = 216;
    static constexpr int ClientHeight = 124;
    static const QString SpinnerFrames[4];

    explicit TWaitCalcDialogForm(QWidget* owner);

    void TimerTimer();

    QLabel* Label1;
    QLabel* Label2;
    QPushButton* ButtonStop;
    QTimer* Timer;
    int animationStep = 0;

Q_SIGNALS:
    void StopRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
};
