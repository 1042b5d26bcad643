#include "ResultExport.h"

#include "ConditionPanel.h"
#include "DropDownComboBox.h"
#include "calc/CDisplayCalcResultList.h"
#include "calc/ResultGeoJson.h"
#include "calc/ResultPlaces.h"
#include "calc/ResultTable.h"
#include "data/Error.h"
#include "data/SafeFile.h"
#include "data/NumberText.h"
#include "geo/CCoordinatesConvert.h"
#include "platform/MessageBox.h"
#include "platform/SaveFileDialog.h"

#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>

using velmora::platform::MessageButtons;
using velmora::platform::MessageIcon;
using velmora::platform::ShowMessage;

namespace velmora::ui {
namespace {

QString ChoiceOf(const QComboBox* combo)
{
    return combo->currentText();
}

} // namespace

EvidenceConditions ReadEvidenceConditions(const ConditionPanel& panel, int calcMode, const QDateTime& when)
{
    EvidenceConditions c;
    c.calculatedAt = when;
    c.xText = panel.EditX->text();
    c.yText = panel.EditY->text();
    CCoordinatesConvert().PlaneToLatLon(StrToFloatDefault(c.xText, 0), StrToFloatDefault(c.yText, 0), c.latitude,
                                        c.longitude);
    c.district = ChoiceOf(panel.ComboBoxArea);
    c.method = calcMode == 1 ? panel.RadioButtonSP->text() : panel.RadioButtonBugakari->text();
    c.costItem = ChoiceOf(panel.ComboBoxSyobunHimoku);
    c.transportType = ChoiceOf(panel.ComboBoxUnpanSyubetsu);
    // The details the construction-package method reads for each transport
    // type; the labour-rate method reads none.
    if (calcMode == 1) {
        switch (panel.ComboBoxUnpanSyubetsu->currentIndex()) {
        case 0:
            c.transportDetails = {{panel.LabelGaraHassei->text(), ChoiceOf(panel.ComboBoxGaraHassei)},
                                  {panel.LabelTsumikomi->text(), ChoiceOf(panel.ComboBoxTsumikomi)}};
            break;
        case 1:
            c.transportDetails = {{panel.LabelJinkai->text(), ChoiceOf(panel.ComboBoxJinkai)},
                                  {QStringLiteral("ダンプトラック"), panel.RadioButtonDTCarry->isChecked()
                                                                        ? panel.RadioButtonDTCarry->text()
                                                                        : panel.RadioButtonDTLend->text()}};
            break;
        case 3:
            c.transportDetails = {{panel.LabelSekisai->text(), ChoiceOf(panel.ComboBoxSekisai)}};
            break;
        default:
            break;
        }
    }
    c.did = panel.RadioButtonDIDTrue->isChecked();
    c.edition = panel.LabelVerJa->text();
    c.version = panel.LabelVerEn->text();
    return c;
}

ResultExport::ResultExport(MainWindowState& state, const ConditionPanel& panel, QWidget* window)
    : m_state(state)
    , m_panel(panel)
    , m_window(window)
{
}

void ResultExport::RememberConditions()
{
    m_conditions = ReadEvidenceConditions(m_panel, m_state.calcMode, QDateTime::currentDateTime());
}

void ResultExport::RememberCaseChanges(const QStringList& changes)
{
    m_conditions.caseChanges = changes;
}

void ResultExport::RememberBidCase(const QString& number, const QString& name)
{
    m_conditions.bidCaseNumber = number;
    m_conditions.bidCaseName = name;
}

QString ResultExport::TableTsv()
{
    if (!m_state.resultList)
        return QString();
    return velmora::calc::TableText(velmora::calc::ResultTableHeader(), velmora::calc::ResultTableRows(*m_state.resultList),
                                    velmora::calc::TableFormat::Tsv,
                                    velmora::calc::ResultTableNotes(*m_state.resultList, QDate::currentDate().year()));
}

QByteArray ResultExport::TableCsv()
{
    if (!m_state.resultList)
        return QByteArray();
    return velmora::calc::WriteTable(velmora::calc::ResultTableHeader(), velmora::calc::ResultTableRows(*m_state.resultList),
                                     velmora::calc::TableFormat::Csv,
                                     velmora::calc::ResultTableNotes(*m_state.resultList, QDate::currentDate().year()));
}

EvidenceSheetData ResultExport::SheetData()
{
    EvidenceSheetData data;
    data.conditions = m_conditions;
    data.sortMode = m_state.sortMode;
    if (m_state.resultList) {
        data.rows = EvidenceRows(*m_state.resultList);
        data.places = Places();
    }
    data.madeOn = QDate::currentDate();
    return data;
}

bool ResultExport::HasResult(const QString& caption) const
{
    if (m_state.resultList && m_state.resultList->Count() > 0)
        return true;
    ShowMessage(QStringLiteral("出力する計算結果がありません。\r\n先に計算を実行してください。"), caption, MessageButtons::Ok,
                MessageIcon::Information);
    return false;
}

QString ResultExport::ProposedPath(const QString& stem, const QString& suffix) const
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmm"));
    return QDir(velmora::platform::LastSaveFolder()).filePath(stem + u'_' + stamp + u'.' + suffix);
}

bool ResultExport::CopyTable()
{
    if (!HasResult(CopyCaption()))
        return false;
    QGuiApplication::clipboard()->setText(TableTsv());
    return true;
}

bool ResultExport::SaveFile(const QString& caption, const QString& stem, const QString& suffix, const QString& filter,
                            const std::function<void(const QString&)>& write)
{
    if (!HasResult(caption))
        return false;
    const QString path = velmora::platform::AskSaveFileName(m_window, {caption, ProposedPath(stem, suffix), filter, suffix});
    if (path.isEmpty())
        return false;
    try {
        write(path);
    } catch (const velmora::Error& e) {
        ShowMessage(e.message(), caption, MessageButtons::Ok, MessageIcon::Exclamation);
        return false;
    }
    velmora::platform::RememberSaveFolder(path);
    return true;
}

bool ResultExport::SaveCsv()
{
    return SaveFile(CsvCaption(), QStringLiteral("処分場計算結果"), QStringLiteral("csv"), QStringLiteral("CSVファイル (*.csv)"),
                    [this](const QString& path) {
                        // Written aside and renamed: a failed save leaves an earlier file whole.
                        QString reason;
                        if (!velmora::data::ReplaceFileContents(path, TableCsv(), &reason))
                            throw velmora::Error(QStringLiteral("CSVファイルを保存できません。\r\n%1\r\n%2")
                                                     .arg(QDir::toNativeSeparators(path), reason));
                    });
}

QByteArray ResultExport::GeoJson()
{
    if (!m_state.resultList)
        return QByteArray();
    return velmora::calc::ResultGeoJson(Places());
}

velmora::calc::ResultPlaces ResultExport::Places()
{
    // Measured from the job site of the calculation the list came from.
    return velmora::calc::PlaceResults(*m_state.resultList, StrToFloatDefault(m_conditions.xText, 0),
                                       StrToFloatDefault(m_conditions.yText, 0));
}

bool ResultExport::SaveGeoJson()
{
    return SaveFile(GeoJsonCaption(), QStringLiteral("処分場計算結果"), QStringLiteral("geojson"),
                    QStringLiteral("GeoJSONファイル (*.geojson)"), [this](const QString& path) {
                        QString reason;
                        if (!velmora::data::ReplaceFileContents(path, GeoJson(), &reason))
                            throw velmora::Error(QStringLiteral("GeoJSONファイルを保存できません。\r\n%1\r\n%2")
                                                     .arg(QDir::toNativeSeparators(path), reason));
                    });
}

bool ResultExport::SavePdf()
{
    return SaveFile(SheetCaption(), QStringLiteral("根拠資料"), QStringLiteral("pdf"), QStringLiteral("PDFファイル (*.pdf)"),
                    [this](const QString& path) { EvidenceSheet(SheetData()).WritePdf(path); });
}

bool ResultExport::PrintSheet()
{
    if (!HasResult(SheetCaption()))
        return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(QStringLiteral("根拠資料"));
    QPrintDialog dialog(&printer, m_window);
    dialog.setWindowTitle(SheetCaption());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    try {
        EvidenceSheet(SheetData()).Print(printer);
    } catch (const velmora::Error& e) {
        ShowMessage(e.message(), SheetCaption(), MessageButtons::Ok, MessageIcon::Exclamation);
        return false;
    }
    return true;
}

void ResultExport::Connect(QPushButton* copy, QPushButton* csv, QPushButton* sheet)
{
    QObject::connect(copy, &QPushButton::clicked, copy, [this] { CopyTable(); });
    QObject::connect(csv, &QPushButton::clicked, csv, [this] { SaveCsv(); });
    auto* menu = new QMenu(sheet);
    menu->setObjectName(QStringLiteral("MenuEvidenceSheet"));
    QAction* pdf = menu->addAction(QStringLiteral("PDFファイルに保存..."));
    pdf->setObjectName(QStringLiteral("ActionSheetPdf"));
    QAction* print = menu->addAction(QStringLiteral("印刷..."));
    print->setObjectName(QStringLiteral("ActionSheetPrint"));
    QObject::connect(pdf, &QAction::triggered, sheet, [this] { SavePdf(); });
    QObject::connect(print, &QAction::triggered, sheet, [this] { PrintSheet(); });
    sheet->setMenu(menu);
}

} // namespace velmora::ui
