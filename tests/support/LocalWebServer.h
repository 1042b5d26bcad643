#pragma once

#include <QMutex>
#include <QString>
#include <QStringList>
#include <QThread>

namespace velmora::test {

// A small HTTP server on 127.0.0.1 that serves a folder (the stand-in pages
// under deploy/web unless told otherwise) for the browser tests. It runs on a
// thread of its own, so pages keep loading while the test's thread sits in a
// handler's wait or a script call. GET and HEAD only; one request per
// connection; nothing is cached by the browser. Requests under "/stall/" are
// never answered, like a server that hangs. "/test/route-google.html" is the
// deployment's Google route page loading the stand-in of the API
// (test/google-maps-stub.js), whose options go in the page's query.
class LocalWebServer
{
public:
    // Port 0 takes a free port.
    explicit LocalWebServer(const QString& root = StandInPagesDir(), quint16 port = 0);
    ~LocalWebServer();
    LocalWebServer(const LocalWebServer&) = delete;
    LocalWebServer& operator=(const LocalWebServer&) = delete;

    bool isListening() const { return m_port != 0; }
    quint16 port() const { return m_port; }
    // "http://127.0.0.1:<port>/" followed by `path` (a leading "/" is optional).
    QString url(const QString& path) const;
    // "127.0.0.1:<port>", the part of every address that names this server.
    QString host() const;

    // The request targets (path and query) in the order they arrived.
    QStringList requests() const;
    void clearRequests();

    // deploy/web in the source tree.
    static QString StandInPagesDir();

private:
    friend class LocalWebServerWorker;
    void record(const QString& target);

    QThread m_thread;
    QObject* m_worker = nullptr;
    quint16 m_port = 0;
    mutable QMutex m_mutex;
    QStringList m_requests;
};

} // namespace velmora::test
