// Every page on the screens offices have: every named control inside the
// window and inside its parent, and no caption wider than its control.

#include "app/MainWindowFixture.h"
#include "app/PageControl.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>

using namespace velmora::test;

namespace {

// Room a caption needs beyond its text in the current style.
int CaptionRoom(const QWidget* w)
{
    QStyle* s = w->style();
    if (const auto* push = qobject_cast<const QPushButton*>(w))
        return 2 * s->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w)
            + (push->menu() ? s->pixelMetric(QStyle::PM_MenuButtonIndicator, nullptr, w) : 0);
    if (qobject_cast<const QRadioButton*>(w))
        return s->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, w)
            + s->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, w);
    if (qobject_cast<const QGroupBox*>(w))
        return 16;
    return 0;
}

QString CaptionOf(const QWidget* w)
{
    if (const auto* b = qobject_cast<const QAbstractButton*>(w))
        return b->text();
    if (const auto* g = qobject_cast<const QGroupBox*>(w))
        return g->title();
    if (const auto* l = qobject_cast<const QLabel*>(w))
        return l->wordWrap() ? QString() : l->text();
    return QString();
}

int CaptionWidth(const QWidget* w)
{
    const QFontMetrics fm(w->font());
    int widest = 0;
    for (const QString& line : CaptionOf(w).split(u'\n'))
        widest = std::max(widest, fm.horizontalAdvance(line));
    return widest;
}

// What is wrong with the visible named controls of `page`, one line each.
QStringList Misfits(TMainForm& f, QWidget* page)
{
    QStringList wrong;
    const QRect window = f.rect();
    for (QWidget* w : page->findChildren<QWidget*>()) {
        if (w->objectName().isEmpty() || !w->isVisible() || w->objectName().startsWith(u'q'))
            continue;
        const QRect inWindow(w->mapTo(&f, QPoint(0, 0)), w->size());
        if (!window.contains(inWindow))
            wrong.append(QStringLiteral("%1 outside the window").arg(w->objectName()));
        else if (w->parentWidget() && !w->parentWidget()->rect().contains(w->geometry()))
            wrong.append(QStringLiteral("%1 outside %2").arg(w->objectName(), w->parentWidget()->objectName()));
        const int room = qobject_cast<const QLabel*>(w) ? w->contentsRect().width() : w->width() - CaptionRoom(w);
        if (!CaptionOf(w).isEmpty() && CaptionWidth(w) > room)
            wrong.append(QStringLiteral("%1 caption cut (%2 > %3)").arg(w->objectName()).arg(CaptionWidth(w)).arg(room));
    }
    return wrong;
}

class ScreenFitTest : public MainWindowFixture
{
};

TEST_F(ScreenFitTest, EveryControlOfEveryPageFitsOnOfficeScreens)
{
    // At 150 % (QT_SCALE_FACTOR=1.5, the second run of this suite) only the
    // full-HD screen is an office set-up: the smaller ones stay at 100 %.
    const double scale = qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble() : 1;
    std::vector<QSize> screens = {{1024, 768}, {1280, 720}, {1366, 768}, {1920, 1080}};
    if (scale > 1) {
        screens = {QSize(1920, 1080)};
        EXPECT_EQ(QGuiApplication::primaryScreen()->size(), QSize(1280, 720));
        EXPECT_EQ(QGuiApplication::primaryScreen()->devicePixelRatio(), scale);
    }
    for (const QSize& physical : screens) {
        const QSize screen = (QSizeF(physical) / scale).toSize();
        SCOPED_TRACE(QStringLiteral("%1x%2 at %3").arg(screen.width()).arg(screen.height()).arg(scale).toStdString());
        TMainForm& f = startShown();
        f.FitToScreen(screen, 40);
        QCoreApplication::processEvents();
        calculateAt(tsuX(), tsuY());
        EXPECT_LE(f.OuterSize().width(), screen.width());
        EXPECT_LE(f.OuterSize().height(), screen.height());
        for (int page : {TMainForm::PageMain, TMainForm::PageCalcResult, TMainForm::PageGoogleMap}) {
            f.SetActivePage(page);
            QCoreApplication::processEvents();
            const QStringList wrong = Misfits(f, f.PageControl->widget(page));
            EXPECT_TRUE(wrong.isEmpty()) << "page " << page << ": " << wrong.join(QStringLiteral("; ")).toStdString();
        }
    }
}

TEST_F(ScreenFitTest, ResultButtonsKeepTheirPlaceAtDesignSizeAndFlowWhenNarrower)
{
    startShown();
    // The window as it settles, with the browsers made after its first paint.
    TMainForm& f = withBrowsers();
    f.SetActivePage(TMainForm::PageCalcResult);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.ButtonSaveCsv->geometry(), QRect(1048, 4, 104, 25));
    EXPECT_EQ(f.RadioGroupSortMode->geometry(), QRect(760, 4, 170, 66));
    EXPECT_EQ(f.PanelCalcResult->height(), TMainForm::TopPanelHeight);

    f.FitToScreen(QSize(1024, 768), 40);
    QCoreApplication::processEvents();
    // The export and case buttons go to a second row, below the rest,
    // keeping their arrangement; the panel grows to hold it.
    EXPECT_EQ(f.RadioGroupSortMode->geometry(), QRect(760, 4, 170, 66));
    EXPECT_GE(f.ButtonCopyTable->y(), f.ButtonToMain->geometry().bottom());
    EXPECT_EQ(f.ButtonSaveCsv->x() - f.ButtonCopyTable->x(), 108);
    EXPECT_GE(f.PanelCalcResult->height(), f.ButtonOpenCase->geometry().bottom());
    EXPECT_GT(f.StringGrid->height(), 300);
}

} // namespace
