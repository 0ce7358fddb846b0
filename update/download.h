// A small asynchronous URL reader. Each read is named by a key that comes back with every
// event, so one control can run several reads at once. Status codes follow the URL-binding
// numbering (0 means failure); GetStatusCode turns them into English texts.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

namespace pelorin::update {

namespace BindStatus {
constexpr qint32 Error = 0;
constexpr qint32 FindingResource = 1;
constexpr qint32 Connecting = 2;
constexpr qint32 Redirecting = 3;
constexpr qint32 BeginDownloadData = 4;
constexpr qint32 DownloadingData = 5;
constexpr qint32 EndDownloadData = 6;
constexpr qint32 SendingRequest = 11;
constexpr qint32 MimeTypeAvailable = 13;
} // namespace BindStatus

// Read types and options understood by BeginDownload.
constexpr qint32 kReadTypeByteArray = 2;
constexpr qint32 kReadOptionNewestVersion = 16;

class Download : public QObject {
    Q_OBJECT
public:
    explicit Download(QObject* parent = nullptr);
    ~Download() override;

    // Starts reading url under key and returns at once. A read that cannot even be started
    // (bad address, key already in use) is reported through DownloadError before returning.
    void BeginDownload(const QString& url, const QString& key, const qint32& readType = kReadTypeByteArray,
                       const qint32& readOptions = kReadOptionNewestVersion);
    // Stops the read with that key; it raises no further events. Unknown keys are ignored.
    void Cancel(const QString& key);
    static QString GetStatusCode(qint32 code);

    bool isRunning(const QString& key) const { return reads_.contains(key); }
    // A read that receives nothing for this long fails with DownloadError (0 = never).
    void setTransferTimeout(int milliseconds) { transferTimeout_ = milliseconds; }
    int transferTimeout() const { return transferTimeout_; }

signals:
    void DownloadProgress(const QString& key, qint32 bytesRead, qint32 bytesMax, qint32 statusCode,
                          const QString& status);
    void DownloadError(const QString& key, qint32 code, const QString& description);
    void DownloadComplete(const QString& key, const QByteArray& data, qint32 readType);

private:
    struct Read {
        QNetworkReply* reply = nullptr;
        qint32 readType = kReadTypeByteArray;
        bool dataStarted = false;
    };

    void progress(const QString& key, qint64 bytesRead, qint64 bytesMax, qint32 code,
                  const QString& status = QString());
    void finished(QNetworkReply* reply);
    std::optional<QString> keyOf(QNetworkReply* reply) const;
    void dropRead(const QString& key);

    QNetworkAccessManager* manager_ = nullptr;
    QHash<QString, Read> reads_;
    int transferTimeout_ = 30000;
};

} // namespace pelorin::update
