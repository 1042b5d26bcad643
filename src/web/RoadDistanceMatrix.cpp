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

MatrixAnswer Failed(const QString& why)
{
    MatrixAnswer answer;
    answer.error = why;
    return answer;
}

} // namespace

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
        return Failed(why.isEmpty() ? QStringLiteral("理由の示されない失敗") : why);
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
        } else {
            const QString why = item.value(QStringLiteral("error")).toString();
            answer.km.append(std::nullopt);
            answer.siteErrors.append(why.isEmpty() ? QStringLiteral("ROUTE_NOT_FOUND") : why);
        }
    }
    return answer;
}

} // namespace velmora::web
