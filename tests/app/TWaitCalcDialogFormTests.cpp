#include "app/TWaitCalcDialogForm.h"

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

TEST(WaitCalcDialog, SpinnerTurnsAndStopCloseAndEscOnlyAskTheSearchToStop)
{
    QWidget owner;
    owner.setGeometry(100, 100, 800, 600);
    TWaitCalcDialogForm dialog(&owner);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("計算中"));
    EXPECT_EQ(dialog.size(), QSize(216, 124));
    EXPECT_TRUE(dialog.Timer->isActive());
    EXPECT_EQ(dialog.Timer->interval(), 500);
    EXPECT_EQ(dialog.Label1->text(), QStringLiteral("最安値を算出しています。"));
    EXPECT_EQ(dialog.Label2->text(), QStringLiteral("しばらくお待ちください．．．＼"));
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(dialog.ButtonStop->text(), QStringLiteral("中止"));

    QString seen;
    for (int i = 0; i < 5; ++i) {
        dialog.TimerTimer();
        seen += dialog.Label2->text().right(1);
        EXPECT_EQ(dialog.Label2->text().size(), 15);
    }
    EXPECT_EQ(seen, QStringLiteral("\u2502\uFF0F\u2500\uFF3C\u2502"));
    EXPECT_EQ(dialog.animationStep, 1);

    int stops = 0;
    QObject::connect(&dialog, &TWaitCalcDialogForm::StopRequested, [&stops] { ++stops; });
    dialog.show();
    dialog.ButtonStop->click();
    dialog.close();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(stops, 3);
    // The search takes it down once the request in flight is back.
    EXPECT_TRUE(dialog.isVisible());
}
