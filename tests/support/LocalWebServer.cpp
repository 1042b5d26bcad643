#include "support/LocalWebServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QMutexLocker>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

namespace velmora::test {

class LocalWebServerWorker : public QObject
{
public:
    LocalWebServerWorker(LocalWebServer* owner, const QString& root)
        : m_owner(owner)
        , m_root(QDir(root).canonicalPath())
    {
    }

    quint16 listen(quint16 port)
    {
        m_server = new QTcpServer(this);
        QObject::connect(m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server->nextPendingConnection())
                accept(socket);
        });
        if (!m_server->listen(QHostAddress::LocalHost, port))
            return 0;
        return m_server->serverPort();
    }

    void stop()
    {
        if (m_server)
            m_server->close();
    }

private:
    void accept(QTcpSocket* socket)
    {
        socket->setParent(this);
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            QByteArray& pending = m_pending[socket];
            pending += socket->readAll();
            if (pending.size() > 65536) {
                m_pending.remove(socket);
                socket->abort();
                return;
            }
            const qsizetype end = pending.indexOf("\r\n\r\n");
            if (end < 0)
                return;
            const QByteArray head = pending.left(end);
            m_pending.remove(socket);
            respond(socket, head);
        });
        QObject::connect(socket, &QObject::destroyed, this, [this, socket] { m_pending.remove(socket); });
    }

    void respond(QTcpSocket* socket, const QByteArray& head)
    {
        const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
        if (requestLine.size() < 3) {
            send(socket, 400, "Bad Request", "text/plain", "bad request", false);
            return;
        }
        const QByteArray method = requestLine.at(0);
        const QByteArray target = requestLine.at(1);
        m_owner->record(QString::fromUtf8(target));
        if (method != "GET" && method != "HEAD") {
            send(socket, 405, "Method Not Allowed", "text/plain", "method not allowed", false);
            return;
        }
        const bool headOnly = method == "HEAD";
        // A server that has stopped answering: the connection stays open.
        if (target.startsWith("/stall/"))
            return;
        QByteArray rawPath = target;
        for (char stop : {'?', '#'}) {
            const qsizetype at = rawPath.indexOf(stop);
            if (at >= 0)
                rawPath.truncate(at);
        }
        const QString path = QString::fromUtf8(QByteArray::fromPercentEncoding(rawPath));
        if (!path.startsWith(QLatin1Char('/')) || path.split(QLatin1Char('/')).contains(QStringLiteral(".."))) {
            send(socket, 404, "Not Found", "text/html; charset=utf-8", notFound(), headOnly);
            return;
        }
        QString file = m_root + path;
        // The shipped Google route page with its loader pointed at the
        // stand-in of the API: the page itself has no way to load another.
        const bool standInGoogle = path == QStringLiteral("/test/route-google.html");
        if (standInGoogle)
            file = m_root + QStringLiteral("/maps/route-google.html");
        if (QFileInfo(file).isDir())
            file = QDir(file).filePath(QStringLiteral("index.html"));
        const QString canonical = QFileInfo(file).canonicalFilePath();
        QFile content(canonical);
        if (canonical.isEmpty() || !canonical.startsWith(m_root + QLatin1Char('/')) || !content.open(QIODevice::ReadOnly)) {
            send(socket, 404, "Not Found", "text/html; charset=utf-8", notFound(), headOnly);
            return;
        }
        QByteArray body = content.readAll();
        if (standInGoogle) {
            const QByteArray loader = "'https://maps.googleapis.com/maps/api/js'";
            if (!body.contains(loader)) {
                send(socket, 500, "Internal Server Error", "text/plain", "the page names no Google loader", headOnly);
                return;
            }
            body.replace(loader, "'/test/google-maps-stub.js'");
        }
        const QString suffix = QFileInfo(canonical).suffix().toLower();
        QByteArray type = "text/html; charset=utf-8";
        QByteArray extra;
        if (suffix == QStringLiteral("css"))
            type = "text/css; charset=utf-8";
        else if (suffix == QStringLiteral("js"))
            type = "application/javascript; charset=utf-8";
        else if (suffix == QStringLiteral("json"))
            type = "application/json";
        else if (suffix == QStringLiteral("png"))
            type = "image/png";
        else if (suffix == QStringLiteral("pdf")) {
            type = "application/pdf";
            extra = "Content-Disposition: attachment\r\n";
        }
        send(socket, 200, "OK", type, body, headOnly, extra);
    }

    static QByteArray notFound()
    {
        return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>404</title></head>"
               "<body><h1>404 Not Found</h1></body></html>";
    }

    static void send(QTcpSocket* socket, int status, const QByteArray& reason, const QByteArray& type,
                     const QByteArray& body, bool headOnly, const QByteArray& extra = QByteArray())
    {
        QByteArray response = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n";
        response += "Content-Type: " + type + "\r\n";
        response += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
        response += "Cache-Control: no-store\r\n";
        response += extra;
        response += "Connection: close\r\n\r\n";
        if (!headOnly)
            response += body;
        socket->write(response);
        socket->disconnectFromHost();
    }

    LocalWebServer* m_owner;
    QString m_root;
    QTcpServer* m_server = nullptr;
    QHash<QTcpSocket*, QByteArray> m_pending;
};

LocalWebServer::LocalWebServer(const QString& root, quint16 port)
{
    auto* worker = new LocalWebServerWorker(this, root);
    m_worker = worker;
    worker->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, worker, &QObject::deleteLater);
    m_thread.setObjectName(QStringLiteral("LocalWebServer"));
    m_thread.start();
    quint16 listening = 0;
    QMetaObject::invokeMethod(
        worker, [worker, port, &listening] { listening = worker->listen(port); }, Qt::BlockingQueuedConnection);
    m_port = listening;
}

LocalWebServer::~LocalWebServer()
{
    auto* worker = static_cast<LocalWebServerWorker*>(m_worker);
    QMetaObject::invokeMethod(worker, [worker] { worker->stop(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

QString LocalWebServer::url(const QString& path) const
{
    QString p = path;
    if (p.startsWith(QLatin1Char('/')))
        p.remove(0, 1);
    return QStringLiteral("http://") + host() + QLatin1Char('/') + p;
}

QString LocalWebServer::host() const
{
    return QStringLiteral("127.0.0.1:%1").arg(m_port);
}

QStringList LocalWebServer::requests() const
{
    QMutexLocker lock(&m_mutex);
    return m_requests;
}

void LocalWebServer::clearRequests()
{
    QMutexLocker lock(&m_mutex);
    m_requests.clear();
}

void LocalWebServer::record(const QString& target)
{
    QMutexLocker lock(&m_mutex);
    m_requests.append(target);
}

QString LocalWebServer::StandInPagesDir()
{
    return QStringLiteral(VELMORA_SOURCE_DIR "/deploy/web");
}

} // namespace velmora::test
