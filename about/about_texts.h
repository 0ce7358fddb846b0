// The fixed texts of the about window.
#pragma once

#include <QString>
#include <QStringList>

namespace pelorin::about::texts {

inline const QString kTitle = QStringLiteral("حول البرنامج");
inline const QString kVersion = QStringLiteral("الإصدار : 1.01");
inline const QString kCreditPrefix = QStringLiteral("برمجة وتصميم : ");

// Names of our own: the program is credited to its team, and the friend is a placeholder name.
inline const QString kAuthor = QStringLiteral("فريق بيلورين");
inline const QString kFriendLine = QStringLiteral("والأخ العزيز والصديق الوفي : فلان الفلاني");
inline const QString kSignaturePrefix = QStringLiteral("مع تحيات : ");

// The scrolling text, line by line; the web address goes between the invitation and the stars.
inline QStringList AboutLines(const QString& webAddress)
{
    return {QStringLiteral("بسم الله الرحمن الرحيم"),
            QStringLiteral("السلام عليكم ورحمة الله وبركاته"),
            QStringLiteral("{ن وَالْقَلَمِ وَمَا يَسْطُرُونَ} [القلم : 1]"),
            QStringLiteral("أغلب طلبة العلم يقومون بإعارة كتبهم لتعم الفائدة"),
            QStringLiteral("ومع مرور الوقت قد ينسى صاحب الكتاب لمن أعاره ومتى ؟"),
            QStringLiteral("ومن هنا انطلقت فكرة هذا البرنامج المتواضع"),
            QStringLiteral(":: إهداء وشكر وعرفان ::"),
            QStringLiteral("لا يشكر الله من لا يشكر الناس"),
            QStringLiteral("أهدي هذا البرنامج لكل من استفدت منه من قريبٍ أو بعيدٍ وأخص :"),
            QStringLiteral("الشخصيات الكريمة الفاضلة :"),
            QStringLiteral("والدي الحبيب شافاه الله وعافاه"),
            QStringLiteral("زوجتي الحبيبة الغالية"),
            kFriendLine,
            QStringLiteral("~ ~ ~"),
            QStringLiteral("أشكركم جميعاً أيها الأحباب"),
            QStringLiteral("وأسأل الله تعالى أن يجعل ذلك في موازينكم"),
            QStringLiteral("::::::"),
            QStringLiteral("أرحب بأي ملاحظةٍ حول البرنامج"),
            webAddress,
            QStringLiteral("* * *"),
            QStringLiteral("أسأل الله أن يكون هذا العمل خالصاً لوجهه الكريم"),
            QStringLiteral("اللهم اجعلنا من أمة اقرأ التي تُفيد وتستفيد"),
            kSignaturePrefix + kAuthor,
            QStringLiteral(":: لا تنسونا من دعاءكم ::")};
}

} // namespace pelorin::about::texts
