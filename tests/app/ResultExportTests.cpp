#include "app/MainWindowFixture.h"
#include "calc/CDisplayCalcResultList.h"
#include "calc/ResultRowTexts.h"
#include "platform/SaveFileDialog.h"
#include "ui/ConditionPanel.h"
#include "ui/ResultExport.h"

#include <QButtonGroup>
#include <QClipboard>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QMenu>
#include <QProcess>

using namespace velmora::test;
using velmora::platform::MessageAnswer;
using velmora::platform::MessageIcon;
using velmora::platform::SaveFileRequest;
using velmora::ui::ResultExport;

namespace {

const QString kUnpricedSite = QStringLiteral("青嵐エコマテリアル(株)霞事業所");
const QString kEditedSite = QStringLiteral("紫苑環境整備(株)大矢知工場");

// Answers the save dialog with a file in a folder of its own and keeps
// what was asked.
class SaveAnswer
{
public:
    SaveAnswer()
    {
        m_previous = velmora::platform::SetSaveFileHook([this](const SaveFileRequest& r) {
            requests.push_back(r);
            return answer;
        });
    }
    ~SaveAnswer() { velmora::platform::SetSaveFileHook(std::move(m_previous)); }
    SaveAnswer(const SaveAnswer&) = delete;
    SaveAnswer& operator=(const SaveAnswer&) = delete;

    QString answer;
    std::vector<SaveFileRequest> requests;

private:
    velmora::platform::SaveFileHook m_previous;
};

class ResultExportTest : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        ASSERT_TRUE(folder.isValid());
        unpriceSite(kUnpricedSite);
        startShown();
    }

    ResultExport& exporter() const { return *form->resultExport; }

    // The registered fees of one site become 0: the calculation gives it no
    // total and no rank, as for a site whose price is still unknown.
    void unpriceSite(const QString& site) { editSites({{site, 10, QStringLiteral("0")}}); }

    struct SiteEdit
    {
        QString site;
        int field;
        QString value;
    };
    // The sample register with fields of the named sites' lines replaced.
    void editSites(const QList<SiteEdit>& edits)
    {
        QFile source(QStringLiteral(VELMORA_SOURCE_DIR "/deploy/data/dat/ET19.txt"));
        ASSERT_TRUE(source.open(QIODevice::ReadOnly));
        QStringList lines;
        for (QString line : QString::fromUtf8(source.readAll()).split(u'\n')) {
            if (line.startsWith(u'#') || line.isEmpty())
                continue;
            for (const SiteEdit& edit : edits) {
                if (line.contains(edit.site)) {
                    QStringList fields = line.split(u',');
                    fields[edit.field] = edit.value;
                    line = fields.join(u',');
                }
            }
            lines.append(line);
        }
        deployment.writeScrambled(QStringLiteral("ET19.dat"), lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    }

    // velmora-calc's CSV for the window's starting conditions at the Tsu job site.
    QByteArray calculatorCsv(const QStringList& extra = {})
    {
        QProcess calc;
        calc.start(QStringLiteral(VELMORA_BIN_DIR "/velmora-calc"),
                   QStringList{QStringLiteral("--deploy"), deployment.exeDir(), QStringLiteral("--x"), tsuX(),
                               QStringLiteral("--y"), tsuY(), QStringLiteral("--format"), QStringLiteral("csv")}
                       + extra);
        EXPECT_TRUE(calc.waitForFinished(60000));
        EXPECT_EQ(calc.exitCode(), 0) << calc.readAllStandardError().toStdString();
        return calc.readAllStandardOutput();
    }

    void calculate() { calculateAt(tsuX(), tsuY()); }

    int rowOf(const QString& site) const
    {
        for (int r = 1; r < form->StringGrid->RowCount(); ++r)
            if (form->StringGrid->Cell(1, r) == site)
                return r;
        return -1;
    }

    // The estimator types into a cell of the site's row and presses Enter.
    void commit(const QString& site, int col, const QString& text)
    {
        const int row = rowOf(site);
        ASSERT_GT(row, 0) << site.toStdString();
        velmora::ui::ResultGrid* grid = form->StringGrid;
        grid->SetCurrentCell(col, row);
        grid->SetCell(col, row, text);
        QChar enter(u'\r');
        grid->StringGridKeyPress(enter);
    }

    // What the grid shows, as a spreadsheet would receive it.
    QList<QStringList> gridRows() const
    {
        QList<QStringList> rows;
        const velmora::ui::ResultGrid* grid = form->StringGrid;
        for (int r = 1; r < grid->RowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < velmora::ui::ResultGrid::ColumnCount; ++c)
                cells.append(grid->Cell(c, r));
            if (!cells.at(1).isEmpty())
                rows.append(cells);
        }
        return rows;
    }

    // The grid's rows with where each transport distance came from, as the
    // table files carry them.
    QList<QStringList> tableRows() const
    {
        QList<QStringList> rows = gridRows();
        for (QStringList& cells : rows)
            cells.append(velmora::calc::DistanceSourceText(form->resultList->FindByName(cells.at(1))->GetDistanceSource()));
        return rows;
    }

    static QStringList headerLine()
    {
        return {QStringLiteral("No."), QStringLiteral("名称"), QStringLiteral("直接参考距離"), QStringLiteral("運搬距離"),
                QStringLiteral("確定距離"), QStringLiteral("方向"), QStringLiteral("処分費"), QStringLiteral("単位"),
                QStringLiteral("出典"), QStringLiteral("処分費手入力"), QStringLiteral("確定処分費"), QStringLiteral("運搬費"),
                QStringLiteral("合計"), QStringLiteral("順位"), QStringLiteral("運搬費が変更となる距離"),
                QStringLiteral("運搬距離の出所")};
    }

    static QString readText(const QString& path, QByteArray* raw = nullptr)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return QString();
        const QByteArray bytes = f.readAll();
        if (raw)
            *raw = bytes;
        return QString::fromUtf8(bytes);
    }

    QTemporaryDir folder;
};

} // namespace

TEST_F(ResultExportTest, CopyAndCsvCarryTheGridCellsAfterTypedValues)
{
    calculate();
    commit(kEditedSite, 3, QStringLiteral("12.3"));
    commit(kEditedSite, 9, QStringLiteral("2900"));
    ASSERT_TRUE(boxes.records.empty()) << boxes.captions().join(u',').toStdString();

    const QList<QStringList> shown = gridRows();
    ASSERT_GT(shown.size(), 5);
    const QStringList edited = shown.at(rowOf(kEditedSite) - 1);
    EXPECT_EQ(edited.at(3), QStringLiteral("12.3"));
    EXPECT_EQ(edited.at(4), QStringLiteral("12.3"));
    EXPECT_EQ(edited.at(9), QStringLiteral("2900"));
    EXPECT_EQ(edited.at(10), QStringLiteral("2900"));
    const QStringList unpriced = shown.at(rowOf(kUnpricedSite) - 1);
    EXPECT_TRUE(unpriced.at(12).isEmpty());
    EXPECT_TRUE(unpriced.at(13).isEmpty());

    // The clipboard: one line per row, one tab between cells, empty cells kept.
    const QList<QStringList> table = tableRows();
    EXPECT_EQ(table.at(rowOf(kEditedSite) - 1).last(), QStringLiteral("手入力"));
    EXPECT_EQ(table.at(rowOf(kUnpricedSite) - 1).last(), QString());
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    ASSERT_TRUE(exporter().CopyTable());
    QString expected = headerLine().join(u'\t') + u'\n';
    for (const QStringList& row : table)
        expected += row.join(u'\t') + u'\n';
    EXPECT_EQ(QGuiApplication::clipboard()->text(), expected);

    // The CSV file: the same cells, UTF-8 with a mark, CR LF.
    SaveAnswer save;
    save.answer = folder.filePath(QStringLiteral("結果.csv"));
    ASSERT_TRUE(exporter().SaveCsv());
    ASSERT_EQ(save.requests.size(), 1u);
    EXPECT_EQ(save.requests.front().suffix, QStringLiteral("csv"));
    EXPECT_TRUE(save.requests.front().proposedPath.endsWith(QStringLiteral(".csv")));
    QByteArray raw;
    readText(save.answer, &raw);
    ASSERT_TRUE(raw.startsWith("\xEF\xBB\xBF"));
    QStringList lines = QString::fromUtf8(raw.mid(3)).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.takeLast(), QString());
    ASSERT_EQ(lines.size(), shown.size() + 1);
    EXPECT_EQ(lines.at(0), headerLine().join(u','));
    for (int i = 0; i < table.size(); ++i)
        EXPECT_EQ(lines.at(i + 1), table.at(i).join(u',')) << i;
    EXPECT_TRUE(boxes.records.empty());
}

TEST_F(ResultExportTest, SheetMarksTheTypedRowAndKeepsTheCalculatedConditions)
{
    calculate();
    const QString district = form->ComboBoxArea->currentText();
    commit(kEditedSite, 3, QStringLiteral("12.3"));
    commit(kEditedSite, 9, QStringLiteral("2900"));

    // The estimator changes the panel but does not calculate again.
    form->EditX->setText(QStringLiteral("-120000"));
    form->ComboBoxArea->setCurrentIndex(form->ComboBoxArea->currentIndex() == 0 ? 1 : 0);
    velmora::ui::EvidenceSheetData data = exporter().SheetData();
    EXPECT_EQ(data.conditions.xText, tsuX());
    EXPECT_EQ(data.conditions.yText, tsuY());
    EXPECT_EQ(data.conditions.district, district);
    EXPECT_NEAR(data.conditions.latitude, 35.01, 0.05);
    EXPECT_NEAR(data.conditions.longitude, 136.63, 0.05);
    EXPECT_EQ(data.conditions.method, QStringLiteral("施工パッケージ方式"));
    EXPECT_EQ(data.conditions.costItem, form->ComboBoxSyobunHimoku->currentText());
    EXPECT_EQ(data.conditions.edition, form->LabelVerJa->text());
    // The transport type of the first kind asks for the work and the loading method.
    ASSERT_EQ(data.conditions.transportDetails.size(), 2);
    EXPECT_EQ(data.conditions.transportDetails.at(0).second, form->ComboBoxGaraHassei->currentText());

    const QList<QStringList> shown = gridRows();
    ASSERT_EQ(data.rows.size(), shown.size());
    for (int i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(data.rows.at(i).cells, shown.at(i));
        const bool edited = shown.at(i).at(1) == kEditedSite;
        EXPECT_EQ(data.rows.at(i).roadDistance, edited);
        EXPECT_EQ(data.rows.at(i).typedFee, edited);
    }

    // Re-sorting is a matter of display: the sheet follows the grid's order.
    form->sortModeButtons->button(1)->click();
    data = exporter().SheetData();
    EXPECT_EQ(data.sortMode, 1);
    EXPECT_EQ(data.rows.at(0).cells, gridRows().at(0));

    // A new calculation brings the panel's conditions with it, once the
    // estimator agrees to lose the values of the old job site.
    boxes.answers.push_back(MessageAnswer::Yes);
    calculateAt(QStringLiteral("-120000"), tsuY());
    EXPECT_EQ(boxes.captions(), QStringList{QStringLiteral("計算実行")});
    boxes.records.clear();
    EXPECT_EQ(exporter().SheetData().conditions.xText, QStringLiteral("-120000"));

    SaveAnswer save;
    save.answer = folder.filePath(QStringLiteral("根拠資料.pdf"));
    ASSERT_TRUE(exporter().SavePdf());
    QByteArray pdf;
    readText(save.answer, &pdf);
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_TRUE(boxes.records.empty()) << boxes.captions().join(u',').toStdString();
}

TEST_F(ResultExportTest, NothingIsWrittenWithoutAResultOrAFile)
{
    SaveAnswer save;
    save.answer = folder.filePath(QStringLiteral("x.csv"));
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    EXPECT_FALSE(exporter().CopyTable());
    EXPECT_FALSE(exporter().SaveCsv());
    EXPECT_FALSE(exporter().SavePdf());
    EXPECT_TRUE(save.requests.empty());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    ASSERT_EQ(boxes.records.size(), 3u);
    EXPECT_EQ(boxes.captions(), (QStringList{ResultExport::CopyCaption(), ResultExport::CsvCaption(), ResultExport::SheetCaption()}));
    for (const auto& box : boxes.records)
        EXPECT_EQ(box.icon, MessageIcon::Information);
    EXPECT_FALSE(QFile::exists(save.answer));

    // Cancelled dialog: no file and no box.
    calculate();
    boxes.records.clear();
    save.answer.clear();
    EXPECT_FALSE(exporter().SaveCsv());
    EXPECT_FALSE(exporter().SavePdf());
    EXPECT_TRUE(boxes.records.empty());

    // A folder that does not exist: the estimator is told, in the exporter's caption.
    save.answer = folder.filePath(QStringLiteral("無い/結果.csv"));
    EXPECT_FALSE(exporter().SaveCsv());
    save.answer = folder.filePath(QStringLiteral("無い/根拠資料.pdf"));
    EXPECT_FALSE(exporter().SavePdf());
    ASSERT_EQ(boxes.records.size(), 2u);
    EXPECT_EQ(boxes.records.at(0).caption, ResultExport::CsvCaption());
    EXPECT_EQ(boxes.records.at(0).icon, MessageIcon::Exclamation);
    EXPECT_TRUE(boxes.records.at(0).text.contains(QStringLiteral("結果.csv")));
    EXPECT_EQ(boxes.records.at(1).caption, ResultExport::SheetCaption());
    EXPECT_FALSE(QFile::exists(save.answer));
}

TEST_F(ResultExportTest, ButtonsSitBesideTheResultPageControlsAndAct)
{
    calculate();
    ASSERT_EQ(form->ActivePage(), TMainForm::PageCalcResult);
    QWidget* panel = form->PanelCalcResult;
    const QList<QPushButton*> added = {form->ButtonCopyTable, form->ButtonSaveCsv, form->ButtonEvidenceSheet};
    for (QPushButton* button : added) {
        ASSERT_EQ(button->parentWidget(), panel);
        EXPECT_TRUE(panel->rect().contains(button->geometry())) << button->objectName().toStdString();
        EXPECT_LE(button->geometry().right(), TMainForm::ClientWidth);
        for (QWidget* other : panel->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (other != button && other->isVisible()) {
                EXPECT_FALSE(button->geometry().intersects(other->geometry()))
                    << button->objectName().toStdString() << " covers " << other->objectName().toStdString();
            }
        }
    }
    // The existing controls stay where the page has always had them.
    EXPECT_EQ(form->ButtonSendLaLo->geometry(), QRect(146, 6, 300, 30));
    EXPECT_EQ(form->RadioGroupSortMode->geometry(), QRect(760, 4, 170, 66));

    QGuiApplication::clipboard()->clear();
    QTest::mouseClick(form->ButtonCopyTable, Qt::LeftButton);
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("No.\t名称\t")));

    SaveAnswer save;
    save.answer = folder.filePath(QStringLiteral("a.csv"));
    QTest::mouseClick(form->ButtonSaveCsv, Qt::LeftButton);
    EXPECT_TRUE(QFileInfo::exists(save.answer));

    // The sheet button offers the file and the printer.
    QMenu* menu = form->ButtonEvidenceSheet->menu();
    ASSERT_NE(menu, nullptr);
    QAction* pdf = menu->findChild<QAction*>(QStringLiteral("ActionSheetPdf"));
    ASSERT_NE(pdf, nullptr);
    EXPECT_NE(menu->findChild<QAction*>(QStringLiteral("ActionSheetPrint")), nullptr);
    save.answer = folder.filePath(QStringLiteral("a.pdf"));
    pdf->trigger();
    EXPECT_TRUE(QFileInfo::exists(save.answer));
    EXPECT_EQ(save.requests.size(), 2u);
    EXPECT_TRUE(boxes.records.empty()) << boxes.captions().join(u',').toStdString();
}

TEST_F(ResultExportTest, CsvIsTheCalculatorsFileForTheSameConditions)
{
    calculate();
    commit(kEditedSite, 3, QStringLiteral("12.3"));
    SaveAnswer save;
    save.answer = folder.filePath(QStringLiteral("window.csv"));
    ASSERT_TRUE(exporter().SaveCsv());
    QByteArray window;
    readText(save.answer, &window);

    // The window starts on the first item of every list, without DID, in
    // the saved (or default) district: the calculator's defaults.
    EXPECT_EQ(window, calculatorCsv({QStringLiteral("--distance"), kEditedSite + QStringLiteral("=12.3")}));
}

TEST_F(ResultExportTest, AFeeNotPerCubicMetreIsMarkedInTheGridTheCsvAndTheSheet)
{
    editSites({{kUnpricedSite, 10, QStringLiteral("0")}, {kEditedSite, 11, QStringLiteral("t")}});
    startShown();
    calculate();
    ASSERT_TRUE(boxes.records.empty()) << boxes.captions().join(u',').toStdString();
    velmora::ui::ResultGrid* grid = form->StringGrid;
    const int row = rowOf(kEditedSite);
    ASSERT_GT(row, 0);
    EXPECT_EQ(grid->Cell(7, row), QStringLiteral("t 単位注意"));
    EXPECT_EQ(grid->model()->index(row - 1, 7).data(Qt::ToolTipRole).toString(), velmora::ui::ResultGrid::UnitCautionHint());
    EXPECT_GE(grid->ColWidth(7), grid->fontMetrics().horizontalAdvance(QStringLiteral("t 単位注意")));
    const int other = row == 1 ? 2 : 1;
    EXPECT_EQ(grid->Cell(7, other), QStringLiteral("m3"));
    EXPECT_TRUE(grid->model()->index(other - 1, 7).data(Qt::ToolTipRole).isNull());

    SaveAnswer save;
    save.answer = folder.filePath(QStringLiteral("window.csv"));
    ASSERT_TRUE(exporter().SaveCsv());
    QByteArray window;
    EXPECT_TRUE(readText(save.answer).contains(QStringLiteral(",t 単位注意,")));
    readText(save.answer, &window);
    EXPECT_EQ(window, calculatorCsv());

    const velmora::ui::EvidenceSheetData data = exporter().SheetData();
    for (const velmora::ui::EvidenceRow& r : data.rows)
        EXPECT_EQ(r.unitCaution, r.cells.at(1) == kEditedSite) << r.cells.at(1).toStdString();
}
