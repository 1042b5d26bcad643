#include "RoadDistanceMatrix.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace velmora::web {
namespace {

QJsonObject Point(const LatLon& p)
{
    return QJsonObject{{QStringLiteral("lat"), p.latitude}, {QStringLiteral("lng"), p.longitude}};
}

MatrixAnswer Failed(const QString& why, RouteFailureKind kind = RouteFailureKind::Unknown)
{
    MatrixAnswer answer;
    answer.error = why;
    answer.kind = kind;
    return answer;
}

} // namespace

RouteFailureKind RouteFailureKindOf(const QString& text)
{
    static const QList<std::pair<QString, RouteFailureKind>> names = {
        {QStringLiteral("key"), RouteFailureKind::Key},
        {QStringLiteral("billing"), RouteFailureKind::Billing},
        {QStringLiteral("quota"), RouteFailureKind::Quota},
        {QStringLiteral("network"), RouteFailureKind::Network},
        {QStringLiteral("server"), RouteFailureKind::Server},
        {QStringLiteral("noRoute"), RouteFailureKind::NoRoute},
        {QStringLiteral("load"), RouteFailureKind::Load},
        {QStringLiteral("request"), RouteFailureKind::Request},
    };
    const QString name = text.trimmed();
    if (name.isEmpty())
        return RouteFailureKind::None;
    for (const auto& [known, kind] : names)
        if (name == known)
            return kind;
    return RouteFailureKind::Unknown;
}

bool IsPassing(RouteFailureKind kind)
{
    return kind == RouteFailureKind::Quota || kind == RouteFailureKind::Network || kind == RouteFailureKind::Server;
}

QString MatrixRequestText(const LatLon& origin, const QList<LatLon>& destinations)
{
    QJsonArray list;
    for (const LatLon& d : destinations)
        list.append(Point(d));
    const QJsonObject request{{QStringLiteral("origin"), Point(origin)}, {QStringLiteral("destinations"), list}};
    return QString::fromUtf8(QJsonDocument(request).toJson(QJsonDocument::Compact));
}

MatrixAnswer ParseMatrixAnswer(const QString& text, int destinations)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &parseError);
    if (!document.isObject())
        return Failed(QStringLiteral("ページの答えを読めません（%1）").arg(parseError.errorString()));
    const QJsonObject object = document.object();
    if (!object.value(QStringLiteral("ok")).toBool()) {
        const QString why = object.value(QStringLiteral("error")).toString();
        MatrixAnswer failed = Failed(why.isEmpty() ? QStringLiteral("理由の示されない失敗") : why,
                                     RouteFailureKindOf(object.value(QStringLiteral("kind")).toString()));
        if (failed.kind == RouteFailureKind::None)
            failed.kind = RouteFailureKind::Unknown;
        failed.code = object.value(QStringLiteral("code")).toString();
        return failed;
    }
    const QJsonArray results = object.value(QStringLiteral("results")).toArray();
    if (results.size() != destinations)
        return Failed(QStringLiteral("依頼 %1 件に対し答えが %2 件です").arg(destinations).arg(results.size()));

    MatrixAnswer answer;
    answer.ok = true;
    for (const QJsonValue& value : results) {
        const QJsonObject item = value.toObject();
        const QJsonValue km = item.value(QStringLiteral("km"));
        if (km.isDouble()) {
            const double d = km.toDouble();
            if (!(d >= 0) || !std::isfinite(d))
                return Failed(QStringLiteral("道のり距離ではない答え（%1）").arg(d));
            answer.km.append(d);
            answer.siteErrors.append(QString());
            answer.siteKinds.append(RouteFailureKind::None);
            answer.siteReasons.append(QString());
        } else {
            const QString why = item.value(QStringLiteral("error")).toString();
            // An answer without a kind comes from a page that knows only
            // "no road" or a code.
            RouteFailureKind kind = RouteFailureKindOf(item.value(QStringLiteral("kind")).toString());
            if (kind == RouteFailureKind::None)
                kind = why.isEmpty() || why == QStringLiteral("ROUTE_NOT_FOUND") ? RouteFailureKind::NoRoute
                                                                                 : RouteFailureKind::Unknown;
            const QString reason = item.value(QStringLiteral("reason")).toString();
            answer.km.append(std::nullopt);
            answer.siteErrors.append(why.isEmpty() ? QStringLiteral("ROUTE_NOT_FOUND") : why);
            answer.siteKinds.append(kind);
            answer.siteReasons.append(reason.isEmpty() ? answer.siteErrors.constLast() : reason);
        }
    }
    return answer;
}

QString SiteFailureLines(const QStringList& siteNames, const MatrixAnswer& answer)
{
    QString lines;
    if (!answer.ok)
        return lines;
    for (qsizetype i = 0; i < answer.km.size() && i < siteNames.size(); ++i)
        if (!answer.km.at(i))
            lines += QStringLiteral("・%1：%2\r\n").arg(siteNames.at(i), answer.siteReasons.value(i));
    return lines;
}

} // namespace velmora::web
