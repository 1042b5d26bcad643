// The window started on deployments as they turn up on estimators' machines:
// half-copied, edited by hand, saved in the wrong encoding. Whatever file is
// damaged, start-up must end with the window or with a message, never with a
// crash or a hang, leave no working file in dat/ and change nothing in the
// deployment; where it went on, the window must still calculate or say why not.

#include "app/GuiTestSupport.h"
#include "app/TMainForm.h"
#include "app/TWaitStartForm.h"
#include "platform/MessageBox.h"
#include "support/DamagedFiles.h"
#include "support/FolderSnapshot.h"
#include "support/TempDeployment.h"
#include "ui/DropDownComboBox.h"
#include "ui/ResultGrid.h"
#include "web/CWebDataDef.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

using namespace velmora::test;
using velmora::platform::MessageIcon;
using velmora::platform::MessageRecord;

namespace {

// A cell that hangs would otherwise only show as the suite's time-out; this
// names the cell and ends the process.
class Watchdog
{
public:
    explicit Watchdog(std::chrono::seconds limit)
        : m_limit(limit)
        , m_thread([this] { watch(); })
    {
    }
    ~Watchdog()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }
    void arm(const std::string& cell)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_cell = cell;
        m_deadline = std::chrono::steady_clock::now() + m_limit;
        m_wake.notify_all();
    }

private:
    void watch()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_stop) {
            if (m_cell.empty()) {
                m_wake.wait(lock);
                continue;
            }
            if (m_wake.wait_until(lock, m_deadline) == std::cv_status::timeout
                && std::chrono::steady_clock::now() >= m_deadline && !m_stop) {
                std::cerr << "HANG: no end within " << m_limit.count() << " s in " << m_cell << std::endl;
                std::_Exit(3);
            }
        }
    }

    std::chrono::seconds m_limit;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::string m_cell;
    std::chrono::steady_clock::time_point m_deadline;
    std::thread m_thread;
};

int CountSplashes()
{
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        n += qobject_cast<TWaitStartForm*>(w) != nullptr;
    return n;
}

QChar IconMark(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Error:
        return u'x';
    case MessageIcon::Exclamation:
        return u'!';
    case MessageIcon::Information:
        return u'i';
    default:
        return u'?';
    }
}

QString BoxMarks(const std::vector<MessageRecord>& records, std::size_t from)
{
    QString marks;
    for (std::size_t i = from; i < records.size(); ++i)
        marks += IconMark(records[i].icon);
    return marks.isEmpty() ? QStringLiteral("-") : marks;
}

struct Cell
{
    QString text;
    QStringList notes; // the boxes shown, for the list under the matrix
};

// One calculation at a job site in Tsu with the given method: "ok" when the
// result page shows rows, "x" when an error box explains why not.
QString Calculate(TMainForm& f, BoxRecorder& boxes, QRadioButton* method, const QString& where)
{
    f.SetActivePage(TMainForm::PageMain);
    QTest::mouseClick(method, Qt::LeftButton);
    f.EditX->setText(QStringLiteral("-110000"));
    f.EditY->setText(QStringLiteral("57000"));
    if (!f.ButtonCalc->isEnabled())
        return QStringLiteral("off");
    const std::size_t before = boxes.records.size();
    QTest::mouseClick(f.ButtonCalc, Qt::LeftButton);
    const bool shown = f.ActivePage() == TMainForm::PageCalcResult && f.StringGrid->RowCount() > 2;
    const bool told = boxes.records.size() > before;
    // Figures or a message, never silence: a press that does nothing leaves
    // the estimator guessing.
    EXPECT_TRUE(shown || told) << where.toStdString() << ": neither results nor a message";
    for (std::size_t i = before; i < boxes.records.size(); ++i)
        EXPECT_FALSE(boxes.records[i].text.trimmed().isEmpty()) << where.toStdString() << ": empty box";
    if (told)
        return QString(IconMark(boxes.records.back().icon));
    return shown ? QStringLiteral("ok") : QStringLiteral("?");
}

// Starts the window on a fresh copy of the sample deployment with one file
// damaged, then calculates with both methods if start-up went on.
Cell RunCell(Watchdog& watchdog, const QString& relative, const Damage& damage)
{
    const QString where = relative + u' ' + QString::fromLatin1(damage.name);
    watchdog.arm(where.toStdString());
    Cell cell;
    TempDeployment deployment;
    EXPECT_TRUE(deployment.isValid());
    deployment.copySampleDeployment();
    const bool present = ApplyDamage(deployment, relative, damage);
    const QStringList shipped = deployment.dataFiles();
    const auto before = FolderSnapshot(deployment.exeDir());
    const bool webDefinitions = relative.startsWith(QStringLiteral("status/"));

    BoxRecorder boxes;
    ResetSharedWebDataDefForTesting();
    auto form = std::make_unique<TMainForm>();
    TMainForm& f = *form;
    const std::size_t atStart = boxes.records.size();
    cell.text = BoxMarks(boxes.records, 0);
    for (const MessageRecord& r : boxes.records) {
        EXPECT_FALSE(r.text.trimmed().isEmpty()) << where.toStdString() << ": empty box";
        EXPECT_FALSE(r.caption.isEmpty()) << where.toStdString() << ": box without a caption";
    }

    EXPECT_EQ(CountSplashes(), 0) << where.toStdString() << ": splash left up";
    EXPECT_EQ(deployment.dataFiles(), shipped) << where.toStdString() << ": working files left";
    EXPECT_EQ(FolderSnapshot(deployment.exeDir()), before) << where.toStdString() << ": deployment changed";

    if (webDefinitions && !present) {
        // The one file without which the program does not start at all.
        EXPECT_EQ(f.startupExitCode(), 1) << where.toStdString();
        EXPECT_EQ(boxes.captions(), QStringList({QStringLiteral("起動エラー")})) << where.toStdString();
        EXPECT_EQ(f.driver, nullptr);
        cell.text += QStringLiteral(" exit1");
    } else {
        EXPECT_EQ(f.startupExitCode(), 0) << where.toStdString();
        EXPECT_FALSE(boxes.captions().contains(QStringLiteral("起動エラー"))) << where.toStdString();
        // A start-up without a word must have loaded the master data.
        if (atStart == 0) {
            EXPECT_NE(f.driver, nullptr) << where.toStdString();
        }
        if (relative != QStringLiteral("dat/EA01.dat") && f.driver) {
            EXPECT_GT(f.ComboBoxArea->count(), 0) << where.toStdString() << ": district list empty";
        }

        f.show();
        QCoreApplication::processEvents();
        cell.text += u' ' + Calculate(f, boxes, f.RadioButtonSP, where + QStringLiteral(" package"));
        cell.text += u'/' + Calculate(f, boxes, f.RadioButtonBugakari, where + QStringLiteral(" labour"));
        // A price or quantity file, however damaged, costs the rows their
        // transport cost, not the calculation; the package table never stops
        // the method that does not read it.
        const QString file = relative.section(u'/', -1);
        static const QStringList priceFiles = {QStringLiteral("ER01.dat"), QStringLiteral("ET02.dat"), QStringLiteral("ES24.dat"),
                                               QStringLiteral("ES22.dat"), QStringLiteral("DTTankaSuryo.ini")};
        if (priceFiles.contains(file)) {
            EXPECT_TRUE(cell.text.endsWith(QStringLiteral(" ok/ok"))) << where.toStdString() << ": " << cell.text.toStdString();
        }
        if (file == QStringLiteral("ESP2.dat")) {
            EXPECT_TRUE(cell.text.endsWith(QStringLiteral("/ok"))) << where.toStdString() << ": " << cell.text.toStdString();
        }
        // A register that cannot be read is not a question of the coordinates.
        static const QStringList siteFiles = {QStringLiteral("ET19.dat"), QStringLiteral("EC01.dat"),
                                              QStringLiteral("SyobunjoKikakuSource.ini")};
        if (siteFiles.contains(file) && (!present || qstrcmp(damage.name, "empty") == 0)) {
            const QString last = boxes.records.empty() ? QString() : boxes.records.back().text;
            EXPECT_TRUE(last.contains(file)) << where.toStdString() << ": " << last.toStdString();
        }
        // Without the file, the rows of the method that needs it say which.
        if (!present && priceFiles.contains(file) && f.StringGrid->RowCount() > 2) {
            EXPECT_TRUE(f.StringGrid->Cell(velmora::ui::ResultGrid::BandColumn, 1).contains(file))
                << where.toStdString() << ": " << f.StringGrid->Cell(velmora::ui::ResultGrid::BandColumn, 1).toStdString();
        }
        // Nothing to price with: 計算実行 stays off and says why, and the
        // box names the files instead of asking for a restart that cannot help.
        if (!f.driver) {
            EXPECT_TRUE(cell.text.endsWith(QStringLiteral(" off/off"))) << where.toStdString();
            EXPECT_FALSE(f.ButtonCalc->toolTip().isEmpty()) << where.toStdString();
            if (!relative.endsWith(QStringLiteral(".ini"), Qt::CaseInsensitive)) {
                EXPECT_GT(f.ComboBoxSyobunHimoku->count(), 0) << where.toStdString() << ": cost items empty";
            }
        }
        for (const MessageRecord& r : boxes.records)
            EXPECT_FALSE(r.text.contains(QStringLiteral("再起動"))) << where.toStdString();
        // A missing shipped file is named: its reader would take it for an
        // empty one and the figures would quietly lack it.
        if (!present && relative.startsWith(QStringLiteral("dat/"))) {
            const QString name = relative.section(u'/', -1);
            const QString key = name.endsWith(QStringLiteral(".dat")) ? name.left(4) : name;
            bool named = false;
            for (std::size_t i = 0; i < atStart; ++i)
                named |= boxes.records[i].text.contains(QStringLiteral("データファイル %1 がありません。").arg(key));
            EXPECT_TRUE(named) << where.toStdString() << ": " << boxes.captions().join(u',').toStdString();
        }
        // Every damage done to a table, and an emptied list or quantity file,
        // is named before anything is calculated, not found out later as "no
        // site within 60 km" or a missing condition.
        const bool emptied = present && qstrcmp(damage.name, "empty") == 0 && relative.startsWith(QStringLiteral("dat/"));
        const bool recoded = qstrcmp(damage.name, "encoding") == 0 && relative.startsWith(QStringLiteral("dat/"));
        if (relative.endsWith(QStringLiteral(".dat")) || emptied || recoded) {
            EXPECT_GT(atStart, 0u) << where.toStdString() << ": nothing said at start-up";
        }
        // A list saved as UTF-8 is read as what it says: both methods price.
        if (recoded && !relative.endsWith(QStringLiteral(".dat"))) {
            EXPECT_TRUE(cell.text.endsWith(QStringLiteral(" ok/ok"))) << where.toStdString() << ": " << cell.text.toStdString();
        }
        EXPECT_EQ(deployment.dataFiles(), shipped) << where.toStdString() << ": working files after calculating";
        EXPECT_EQ(FolderSnapshot(deployment.exeDir()), before) << where.toStdString() << ": changed by calculating";
    }
    for (std::size_t i = 0; i < boxes.records.size(); ++i) {
        cell.notes.append(QStringLiteral("%1 %2 [%3] %4")
                              .arg(where, i < atStart ? QStringLiteral("start") : QStringLiteral("calc"),
                                   boxes.records[i].caption,
                                   boxes.records[i].text.section(u'\n', 0, 0).trimmed().left(60)));
    }
    form.reset();
    ResetSharedWebDataDefForTesting();
    QCoreApplication::processEvents();
    return cell;
}

void RunMatrix(const QString& title, const QStringList& files)
{
    Watchdog watchdog(std::chrono::seconds(90));
    QList<MatrixRow> rows;
    QStringList notes;
    for (const QString& relative : files) {
        MatrixRow row;
        row.file = relative;
        for (const Damage& damage : Damages()) {
            const Cell cell = RunCell(watchdog, relative, damage);
            row.cells.append(cell.text);
            notes += cell.notes;
        }
        rows.append(row);
    }
    std::cout << FormatMatrix(title
                                  + QStringLiteral("\n(boxes at start-up: - none, ! warning, x error; then the package/"
                                                   "labour calculation: ok results, x/!/i box, off button disabled)"),
                              rows, 14)
                     .toStdString();
    std::cout << "boxes:\n";
    for (const QString& note : notes)
        std::cout << "  " << note.toStdString() << '\n';
    std::cout << std::flush;
}

TEST(StartupBadDeployment, TablesDamagedEndInTheWindowOrAMessage)
{
    RunMatrix(QStringLiteral("program start-up with a damaged table"), DeploymentTables());
}

TEST(StartupBadDeployment, IniFilesDamagedEndInTheWindowOrAMessage)
{
    RunMatrix(QStringLiteral("program start-up with a damaged INI file"),
              DeploymentIniFiles() + QStringList{QStringLiteral("status/WebDataDef.ini")});
}

} // namespace
