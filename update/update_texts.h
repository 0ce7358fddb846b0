// The fixed texts of the update check window.
#pragma once

#include <QString>

namespace pelorin::update::texts {

inline const QString kFrameCaption = QStringLiteral(" تحديث البرنامج من الإنترنت : ");
inline const QString kTitle = QStringLiteral("البحث عن تحديث للبرنامج");
inline const QString kStartCaption = QStringLiteral("انقر هنا للبحث عن تحديث جديد للبرنامج");
inline const QString kStartToolTip =
    QStringLiteral("يجب أن تكون متصلاً بالإنترنت عند التأكد من وجود تحديثٍ جديد");
inline const QString kOfflineCaption = QStringLiteral("للأسف أنت غير متصل بالإنترنت !!");
inline const QString kNeedOnlineToolTip = QStringLiteral("يجب أن تكون متصلاً بالإنترنت عند تحديث البرنامج");
inline const QString kServerProblemCaption = QStringLiteral("يوجد مشكلة بالمخدم عاود التحديث لاحقاً !!");
inline const QString kLaterToolTip = QStringLiteral("تستطيع البحث عن تحديثٍ جديدٍ في وقتٍ لاحقٍ");
inline const QString kLostCaption = QStringLiteral("للأسف تم فصل الإنترنت !!");
inline const QString kNewVersionBefore = QStringLiteral("يتوفر الإصدار رقم ");
inline const QString kNewVersionAfter = QStringLiteral(" اضغط هنا لتحميله");
inline const QString kNewVersionToolTip =
    QStringLiteral("انقر هنا للانتقال إلى صفحة تحميل التحديث الجديد من الإنترنت");
inline const QString kUpToDateCaption = QStringLiteral("أنت تمتلك أحدث إصدار من البرنامج");
inline const QString kUpToDateToolTip = QStringLiteral("لا يتوفر أي تحديث جديد في هذا الوقت");

} // namespace pelorin::update::texts
