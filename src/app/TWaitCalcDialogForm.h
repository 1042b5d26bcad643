#pragma once

#include <QDialog>

class QLabel;
class QTimer;

// "計算中": shown while the cheapest-site search runs. It cannot be closed by
// the user and never takes the activation from the main window; its spinner
// turns every 500 ms while events are processed.
class TWaitCalcDialogForm : public QDialog
{
    Q_OBJECT

public:
    static constexpr int ClientWidth = 216;
    static constexpr int ClientHeight = 86;
    static const QString SpinnerFrames[4];

    explicit TWaitCalcDialogForm(QWidget* owner);

    void TimerTimer();

    QLabel* Label1;
    QLabel* Label2;
    QTimer* Timer;
    int animationStep = 0;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override {}
};
