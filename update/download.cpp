#include "download.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <limits>

namespace pelorin::update {

namespace {
qint32 clampCount(qint64 n)
{
    if (n < 0) return 0; // unknown total
    return n > std::numeric_limits<qint32>::max() ? std::numeric_limits<qint32>::max() : qint32(n);
}
} // namespace

Download::Download(QObject* parent) : QObject(parent), manager_(new QNetworkAccessManager(this))
{
    manager_->setCache(nullptr);
}

Download::~Download()
{
    // Destroying the owner ends its reads quietly: no event may reach a half-destroyed owner.
    const auto keys = reads_.keys();
    for (const QString& key : keys)
        dropRead(key);
}

QString Download::GetStatusCode(qint32 code)
{
    switch (code) {
    case 0:
        return QStringLiteral("An Error Has Occurred.");
    case 1:
        return QStringLiteral("Finding Resource.");
    case 2:
        return QStringLiteral("Connecting To Resource.");
    case 3:
        return QStringLiteral("Redirecting.");
    case 4:
        return QStringLiteral("Download Initialized.");
    case 5:
        return QStringLiteral("Download In Progress.");
    case 6:
        return QStringLiteral("Download Complete.");
    case 10:
        return QStringLiteral("Using Cached Copy.");
    case 11:
        return QStringLiteral("Sending Request.");
    case 13:
        return QStringLiteral("MIME Type Is Available.");
    case 14:
        return QStringLiteral("Local Cache File Is Available.");
    case 15:
        return QStringLiteral("Synchronous Download Has Started.");
    case 16:
        return QStringLiteral("Synchronous Download Complete.");
    default:
        return QStringLiteral("Unknown.");
    }
}

void Download::BeginDownload(const QString& url, const QString& key, const qint32& readType,
                             const qint32& readOptions)
{
    const QUrl target(url, QUrl::StrictMode);
    if (!target.isValid() || target.scheme().isEmpty() || target.isRelative()) {
        emit DownloadError(key, QNetworkReply::ProtocolUnknownError,
                           QStringLiteral("Invalid address: ") + url);
        return;
    }
    if (reads_.contains(key)) {
        // Two reads under one key could not be told apart in the events.
        emit DownloadError(key, QNetworkReply::ProtocolInvalidOperationError,
                           QStringLiteral("A read with the key \"%1\" is already running.").arg(key));
        return;
    }

    QNetworkRequest request(target);
    request.setTransferTimeout(transferTimeout_);
    if (readOptions & kReadOptionNewestVersion) {
        // Neither we nor a proxy on the way may answer from a stored copy.
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
        request.setRawHeader("Cache-Control", "no-cache");
        request.setRawHeader("Pragma", "no-cache");
    }

    QNetworkReply* reply = manager_->get(request);
    reads_.insert(key, Read{reply, readType, false});
    progress(key, 0, 0, BindStatus::FindingResource, target.host());

    connect(reply, &QNetworkReply::socketStartedConnecting, this, [this, reply] {
        if (const auto k = keyOf(reply)) progress(*k, 0, 0, BindStatus::Connecting, reply->url().host());
    });
    connect(reply, &QNetworkReply::requestSent, this, [this, reply] {
        if (const auto k = keyOf(reply)) progress(*k, 0, 0, BindStatus::SendingRequest);
    });
    connect(reply, &QNetworkReply::redirected, this, [this, reply](const QUrl& to) {
        if (const auto k = keyOf(reply)) progress(*k, 0, 0, BindStatus::Redirecting, to.toString());
    });
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] {
        const QString mime = reply->header(QNetworkRequest::ContentTypeHeader).toString();
        if (const auto k = keyOf(reply); k && !mime.isEmpty())
            progress(*k, 0, 0, BindStatus::MimeTypeAvailable, mime);
    });
    connect(reply, &QNetworkReply::downloadProgress, this, [this, reply](qint64 received, qint64 total) {
        const auto k = keyOf(reply);
        if (!k || received <= 0 || reply->error() != QNetworkReply::NoError) return;
        Read& r = reads_[*k];
        const qint32 code = r.dataStarted ? BindStatus::DownloadingData : BindStatus::BeginDownloadData;
        r.dataStarted = true;
        progress(*k, received, total, code);
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { finished(reply); });
}

void Download::Cancel(const QString& key)
{
    dropRead(key);
}

void Download::progress(const QString& key, qint64 bytesRead, qint64 bytesMax, qint32 code,
                        const QString& status)
{
    const QString text = status.isEmpty() ? GetStatusCode(code) : status;
    if (code != BindStatus::Error)
        emit DownloadProgress(key, clampCount(bytesRead), clampCount(bytesMax), code, text);
    else
        emit DownloadError(key, BindStatus::Error, text);
}

void Download::finished(QNetworkReply* reply)
{
    const auto found = keyOf(reply);
    if (!found) return; // cancelled meanwhile
    const QString key = *found;
    const qint32 readType = reads_.value(key).readType;
    // Forget the read before raising anything, so that a handler may Cancel or start the key anew.
    reads_.remove(key);
    reply->deleteLater();

    const QVariant httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    QString failure;
    if (reply->error() != QNetworkReply::NoError) {
        failure = reply->errorString();
    } else if (httpStatus.isValid() && (httpStatus.toInt() < 200 || httpStatus.toInt() > 299)) {
        // Only a successful answer carries the resource; a stray redirect or 1xx is no data.
        failure = QStringLiteral("HTTP %1 %2")
                      .arg(httpStatus.toInt())
                      .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
    }
    if (!failure.isEmpty()) {
        emit DownloadError(key, BindStatus::Error, failure.trimmed().isEmpty() ? GetStatusCode(0) : failure);
        return;
    }

    const QByteArray data = reply->readAll();
    progress(key, data.size(), data.size(), BindStatus::EndDownloadData);
    emit DownloadComplete(key, data, readType);
}

std::optional<QString> Download::keyOf(QNetworkReply* reply) const
{
    for (auto it = reads_.cbegin(); it != reads_.cend(); ++it)
        if (it->reply == reply) return it.key();
    return std::nullopt;
}

void Download::dropRead(const QString& key)
{
    const auto it = reads_.find(key);
    if (it == reads_.end()) return;
    QNetworkReply* reply = it->reply;
    reads_.erase(it);
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

} // namespace pelorin::update
