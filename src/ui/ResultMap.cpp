#include "ResultMap.h"

#include "ResultGrid.h"
#include "web/CWebDataDef.h"
#include "web/WebDataDefNames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace velmora::ui {

namespace {

// What a click on a marker writes to the page's console.
const QString kSelectMessage = QStringLiteral("velmora-map:select:");

QJsonObject SiteJson(const velmora::calc::PlacedSite& site)
{
    return {
        {QStringLiteral("key"), site.name + u'@' + QString::number(site.x, 'g', 17) + u',' + QString::number(site.y, 'g', 17)},
        {QStringLiteral("position"), site.position},
        {QStringLiteral("rank"), site.rank},
        {QStringLiteral("colour"), ResultMap::MarkerColour(site.rank).name()},
        {QStringLiteral("lat"), site.latitude},
        {QStringLiteral("lon"), site.longitude},
        {QStringLiteral("tip"), velmora::calc::PlaceTipText(site)},
    };
}

} // namespace

// The map's own page: it stays on the local file it was given, and passes
// marker clicks on to the widget.
class ResultMapPage : public QWebEnginePage
{
public:
    ResultMapPage(ResultMap* map)
        : QWebEnginePage(map)
        , m_map(map)
    {
    }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override
    {
        // A link in the map (none is meant to be there) must not take the
        // page away; only the map file itself loads.
        return !isMainFrame || url.isLocalFile();
    }

    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int, const QString&) override
    {
        if (message.startsWith(kSelectMessage))
            m_map->Report(message);
    }

private:
    ResultMap* m_map;
};

ResultMap::ResultMap(MainWindowState& state, PlacesSource places, QWidget* parent)
    : QWidget(parent)
    , m_state(state)
    , m_places(std::move(places))
    , m_pageFile(DefaultPageFile())
{
    setObjectName(QStringLiteral("ResultMap"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
}

ResultMap::~ResultMap() = default;

QString ResultMap::DefaultPageFile()
{
    // The program's own folder, not the per-user copy of the deployment: the
    // page is read, never written.
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("map/resultmap.html"));
}

ResultMap::Tiles ResultMap::TilesOfDefinitions()
{
    namespace names = velmora::web::names;
    const auto definitions = GetSharedWebDataDef();
    if (!definitions)
        return {};
    return {definitions->ReadValue(names::section::map_tiles, names::key::tiles),
            definitions->ReadValue(names::section::map_tiles, names::key::attribution)};
}

QColor ResultMap::MarkerColour(int rank)
{
    // The grid's colours of the first three ranks; grey for the rest.
    const QColor colour = ResultGrid::RankColour(rank);
    return colour.isValid() ? colour : QColor(180, 180, 180);
}

void ResultMap::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_view && !m_problem)
        Load();
}

void ResultMap::Load()
{
    if (!QFileInfo::exists(m_pageFile)) {
        m_problem = new QLabel(QStringLiteral("地図のページが見つかりません。プログラムを入れ直してください。\n%1")
                                   .arg(QDir::toNativeSeparators(m_pageFile)),
                               this);
        m_problem->setObjectName(QStringLiteral("LabelResultMapProblem"));
        m_problem->setAlignment(Qt::AlignCenter);
        layout()->addWidget(m_problem);
        return;
    }
    m_view = new QWebEngineView(this);
    m_view->setObjectName(QStringLiteral("BrowserResultMap"));
    auto* page = new ResultMapPage(this);
    // The page is a local file; its tiles come from the tile server.
    page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    m_view->setPage(page);
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    layout()->addWidget(m_view);
    connect(page, &QWebEnginePage::loadFinished, this, &ResultMap::Loaded);
    page->load(QUrl::fromLocalFile(m_pageFile));
}

void ResultMap::Loaded(bool ok)
{
    if (!ok || m_ready)
        return;
    const Tiles tiles = TilesOfDefinitions();
    const QJsonObject settings = {{QStringLiteral("tiles"), tiles.address}, {QStringLiteral("attribution"), tiles.attribution}};
    m_view->page()->runJavaScript(
        QStringLiteral("velmoraMap.init(%1)").arg(QString::fromUtf8(QJsonDocument(settings).toJson(QJsonDocument::Compact))),
        QWebEngineScript::MainWorld);
    m_ready = true;
    Push();
    Q_EMIT ready();
}

void ResultMap::ResultChanged()
{
    // A recalculation rewrites every cell of the grid; one update is enough.
    if (m_pushPending || !m_ready)
        return;
    m_pushPending = true;
    QTimer::singleShot(0, this, [this] {
        m_pushPending = false;
        Push();
    });
}

void ResultMap::SelectionChanged()
{
    ResultChanged();
}

QString ResultMap::StateJson() const
{
    QJsonObject state{{QStringLiteral("radiusMetres"), RadiusMetres}, {QStringLiteral("selected"), m_state.selectedRow}};
    const std::optional<velmora::calc::ResultPlaces> places = m_places ? m_places() : std::nullopt;
    if (!places) {
        state.insert(QStringLiteral("job"), QJsonValue::Null);
        state.insert(QStringLiteral("sites"), QJsonArray());
        return QString::fromUtf8(QJsonDocument(state).toJson(QJsonDocument::Compact));
    }
    state.insert(QStringLiteral("job"),
                 QJsonObject{{QStringLiteral("lat"), places->jobLatitude},
                             {QStringLiteral("lon"), places->jobLongitude},
                             {QStringLiteral("tip"), QStringLiteral("工事現場\nX %1　Y %2")
                                                         .arg(QString::number(places->jobX, 'g', 15),
                                                              QString::number(places->jobY, 'g', 15))}});
    QJsonArray sites;
    for (const velmora::calc::PlacedSite& site : places->sites)
        sites.append(SiteJson(site));
    state.insert(QStringLiteral("sites"), sites);
    return QString::fromUtf8(QJsonDocument(state).toJson(QJsonDocument::Compact));
}

void ResultMap::Push()
{
    if (!m_ready)
        return;
    m_view->page()->runJavaScript(QStringLiteral("velmoraMap.show(%1)").arg(StateJson()), QWebEngineScript::MainWorld);
}

void ResultMap::Report(const QString& message)
{
    bool ok = false;
    const int position = message.mid(kSelectMessage.size()).toInt(&ok);
    if (ok && position > 0)
        Q_EMIT siteClicked(position);
}

} // namespace velmora::ui
