#pragma once

#include "app/GuiTestSupport.h"
#include "app/RoadDistanceExchange.h"
#include "app/TMainForm.h"
#include "support/TempDeployment.h"
#include "ui/DropDownComboBox.h"
#include "ui/ResultGrid.h"
#include "web/CWebDataDef.h"
#include "web/browser/WebBrowser.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

namespace velmora::test {

// A copy of the sample deployment in a temporary folder and the real main
// window started on it. Boxes are answered by `boxes` (No unless queued).
class MainWindowFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(deployment.isValid());
        deployment.copySampleDeployment();
        ResetSharedWebDataDefForTesting();
        shipped = deployment.dataFiles();
    }

    void TearDown() override
    {
        form.reset();
        ResetSharedWebDataDefForTesting();
    }

    TMainForm& start()
    {
        form.reset();
        ResetSharedWebDataDefForTesting();
        form = std::make_unique<TMainForm>();
        return *form;
    }

    // Starts and shows the window, as the program does after construction.
    TMainForm& startShown()
    {
        start();
        form->show();
        QCoreApplication::processEvents();
        return *form;
    }

    // The browsers, which the window makes right after its first paint:
    // waited for on a shown window, made at once on one never shown.
    TMainForm& withBrowsers()
    {
        if (form->isVisible())
            EXPECT_TRUE(WaitUntil([&] { return form->BrowserNyusatsuInfo && form->BrowserGoogleMaps; }, 15000));
        else
            form->CreateBrowsers();
        return *form;
    }

    template <typename T>
    T* find(const char* name) const
    {
        return form->findChild<T*>(QString::fromLatin1(name));
    }

    template <typename T>
    static int countTopLevel()
    {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += qobject_cast<T*>(w) != nullptr;
        return n;
    }

    // The estimator picks item `index` of a drop-down list.
    static void pick(QComboBox* combo, int index)
    {
        combo->setCurrentIndex(index);
        Q_EMIT combo->activated(index);
    }

    // Types a job site and presses "計算実行".
    void calculateAt(const QString& x, const QString& y)
    {
        form->EditX->setText(x);
        form->EditY->setText(y);
        ASSERT_TRUE(form->ButtonCalc->isEnabled());
        QTest::mouseClick(form->ButtonCalc, Qt::LeftButton);
    }

    // A job site in Tsu with sites of every cost item in reach.
    static QString tsuX() { return QStringLiteral("-110000"); }
    static QString tsuY() { return QStringLiteral("57000"); }

    TempDeployment deployment;
    BoxRecorder boxes;
    std::unique_ptr<TMainForm> form;
    QStringList shipped;
};

} // namespace velmora::test
