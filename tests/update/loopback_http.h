// A tiny HTTP server on 127.0.0.1 for tests: fixed answers per path, answers that are held back
// until the test releases them, and a record of every request head received.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <algorithm>
#include <functional>

namespace pelorin::test {

struct HttpAnswer {
    int status = 200;
    QByteArray body;
    bool hold = false; // keep the connection open without answering until release()
};

class LoopbackHttp : public QObject {
public:
    LoopbackHttp()
    {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                QObject::connect(s, &QTcpSocket::readyRead, this, [this, s] { onRead(s); });
                QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }

    QHash<QString, HttpAnswer> answers; // path -> answer; other paths get 404
    QList<QByteArray> requests;         // request heads, in order of arrival

    QString url(const QString& path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
    }
    int heldCount() const
    {
        int n = 0;
        for (const auto& h : held_)
            n += h.socket ? 1 : 0;
        return n;
    }
    // Answers every held request for path with body.
    void release(const QString& path, const QByteArray& body)
    {
        for (auto& h : held_)
            if (h.path == path && h.socket) send(h.socket, 200, body);
        held_.erase(std::remove_if(held_.begin(), held_.end(), [&](const Held& h) { return h.path == path; }),
                    held_.end());
    }

private:
    struct Held {
        QString path;
        QPointer<QTcpSocket> socket;
    };

    void onRead(QTcpSocket* s)
    {
        QByteArray& buffer = buffers_[s];
        buffer += s->readAll();
        const int end = buffer.indexOf("\r\n\r\n");
        if (end < 0) return;
        const QByteArray head = buffer.left(end);
        buffers_.remove(s);
        requests << head;
        const QList<QByteArray> first = head.left(head.indexOf("\r\n")).split(' ');
        const QString path = first.size() > 1 ? QString::fromLatin1(first[1]) : QString();
        if (!answers.contains(path)) return send(s, 404, "not here");
        const HttpAnswer a = answers.value(path);
        if (a.hold) return held_.push_back({path, s});
        send(s, a.status, a.body);
    }

    static void send(QTcpSocket* s, int status, const QByteArray& body)
    {
        const QByteArray reason = status == 200 ? "OK" : status == 404 ? "Not Found" : "Status";
        s->write("HTTP/1.1 " + QByteArray::number(status) + ' ' + reason +
                 "\r\nContent-Type: text/plain\r\n" + "Content-Length: " + QByteArray::number(body.size()) +
                 "\r\nConnection: close\r\n\r\n" + body);
        s->disconnectFromHost();
    }

    QTcpServer server_;
    QHash<QTcpSocket*, QByteArray> buffers_;
    QList<Held> held_;
};

// Runs the event loop until done() or the time is up; true when done() became true.
inline bool WaitFor(const std::function<bool()>& done, int milliseconds = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > milliseconds) return false;
        QTest::qWait(5);
    }
    return true;
}

// A port on which nothing listens.
inline quint16 ClosedPort()
{
    QTcpServer s;
    s.listen(QHostAddress::LocalHost);
    const quint16 port = s.serverPort();
    s.close();
    return port;
}

} // namespace pelorin::test
