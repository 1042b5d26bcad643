#include "TWaitCalcDialogForm.h"

#include "ui/Placement.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

const QString TWaitCalcDialogForm::SpinnerFrames[4] = {
    QStringLiteral("\u2502"), QStringLiteral("\uFF0F"), QStringLiteral("\u2500"), QStringLiteral("\uFF3C")};

TWaitCalcDialogForm::TWaitCalcDialogForm(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("WaitCalcDialogForm"));
    setWindowTitle(QStringLiteral("計算中"));
    setFixedSize(ClientWidth, ClientHeight);
    setModal(false);
    // The main window stays the active one: handing the activation back to it
    // at the end must not count as the estimator returning to it.
    setAttribute(Qt::WA_ShowWithoutActivating);

    const QFont font = velmora::ui::WindowFont(15);
    Label1 = velmora::ui::Place(new QLabel(QStringLiteral("最安値を算出しています。"), this), QStringLiteral("Label1"),
                                QRect(12, 16, 200, 20));
    Label2 = velmora::ui::Place(new QLabel(QStringLiteral("しばらくお待ちください．．．＼"), this), QStringLiteral("Label2"),
                                QRect(12, 48, 200, 20));
    Label1->setFont(font);
    Label2->setFont(font);
    ButtonStop = velmora::ui::Place(new QPushButton(QStringLiteral("中止"), this), QStringLiteral("ButtonStop"),
                                    QRect(ClientWidth - 92, 82, 80, 30));
    connect(ButtonStop, &QPushButton::clicked, this, &TWaitCalcDialogForm::StopRequested);

    if (owner) {
        const QRect area = owner->frameGeometry();
        move(area.center() - QPoint(ClientWidth / 2, ClientHeight / 2));
    }

    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(500);
    connect(Timer, &QTimer::timeout, this, &TWaitCalcDialogForm::TimerTimer);
    Timer->start();
}

void TWaitCalcDialogForm::TimerTimer()
{
    QString text = Label2->text();
    if (!text.isEmpty())
        text.chop(1);
    Label2->setText(text + SpinnerFrames[animationStep]);
    animationStep = (animationStep + 1) % 4;
    repaint();
}

void TWaitCalcDialogForm::closeEvent(QCloseEvent* event)
{
    // The search owns the dialog and takes it down once the request in
    // flight has come back.
    event->ignore();
    Q_EMIT StopRequested();
}

void TWaitCalcDialogForm::reject()
{
    Q_EMIT StopRequested();
}
