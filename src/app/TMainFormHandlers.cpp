// The main window's handlers under the names the estimators' manual uses,
// each handed over to the feature that owns the work.
#include "TMainForm.h"

#include "BidInfoBrowser.h"
#include "CaseFiles.h"
#include "CheapestSiteSearch.h"
#include "JobSiteCapture.h"
#include "RoadDistanceExchange.h"
#include "ui/ResultGrid.h"

bool TMainForm::ButtonSaveCaseClick()
{
    return m_caseFiles->AskAndSave();
}

bool TMainForm::ButtonOpenCaseClick()
{
    return m_caseFiles->AskAndOpen();
}

bool TMainForm::SaveCaseTo(const QString& path)
{
    return m_caseFiles->SaveTo(path);
}

bool TMainForm::OpenCaseFrom(const QString& path)
{
    return m_caseFiles->OpenFrom(path);
}

velmora::calc::CaseData TMainForm::CurrentCase()
{
    return m_caseFiles->CurrentCase();
}

bool TMainForm::HasUnsavedWork()
{
    return m_caseFiles->HasUnsavedWork();
}

bool TMainForm::ConfirmLosingUnsavedWork(const QString& caption, const QString& question)
{
    return m_caseFiles->ConfirmLosingUnsavedWork(caption, question);
}

void TMainForm::ButtonNyusatsuInfoClick()
{
    m_bidInfo->ShowHome();
}

void TMainForm::ButtonPrevClick()
{
    m_bidInfo->GoBack();
}

void TMainForm::ButtonNextClick()
{
    m_bidInfo->GoForward();
}

void TMainForm::BrowserNyusatsuInfoBeforeNavigate2(const QString& address, bool* cancel)
{
    m_bidInfo->BeforeNavigate(address, cancel);
}

void TMainForm::BrowserNyusatsuInfoNavigateComplete2(const QString& address)
{
    m_bidInfo->NavigateComplete(address);
}

void TMainForm::BrowserNyusatsuInfoNewWindow2(QWebEnginePage** newWindow, bool* cancel)
{
    m_bidInfo->NewWindow(newWindow, cancel);
}

void TMainForm::BrowserNyusatsuInfoWindowClosing(bool, bool* cancel)
{
    m_bidInfo->WindowClosing(cancel);
}

void TMainForm::PageControlChanging(bool& allowChange)
{
    m_bidInfo->DestroyPopup();
    allowChange = true;
}

void TMainForm::ButtonGetCoordClick()
{
    m_jobSite->Capture();
}

void TMainForm::FormActivate()
{
    if (!BrowserNyusatsuInfo) {
        m_activationPending = true;
        return;
    }
    SetActivePage(PageGoogleMap);
    m_roadDistances->LoadRoutePage();
    SetActivePage(PageMain);
}

bool TMainForm::ButtonSendLaLoClick(QObject*)
{
    return m_roadDistances->Send();
}

bool TMainForm::ButtonGetDistanceClick(QObject* sender)
{
    // The cheapest-site search fetches quietly.
    const bool stored = m_roadDistances->Fetch(sender && sender->objectName() == QStringLiteral("BitBtnGetLowest"));
    CloseIfConfirmed();
    return stored;
}

void TMainForm::StringGridDblClick()
{
    const int col = StringGrid->Col();
    if (StringGrid->Row() != 0 && col != velmora::ui::ResultGrid::DistanceColumn
        && col != velmora::ui::ResultGrid::ManualFeeColumn)
        ButtonSendLaLoClick(StringGrid);
}

void TMainForm::EditGetLowestKeyPress(QChar& key)
{
    m_cheapestSearch->FilterCountKey(key);
}

void TMainForm::BitBtnGetLowestClick()
{
    m_cheapestSearch->Run();
    CloseIfConfirmed();
}
