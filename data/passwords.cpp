#include "passwords.h"
#include "dberror.h"

#include <sodium.h>

#include <QByteArray>
#include <QRegularExpression>
#include <mutex>

namespace Passwords {

namespace {

Cost g_cost = Cost::Interactive;

void initialise()
{
    static std::once_flag once;
    std::call_once(once, [] {
        if (sodium_init() < 0) throw DbError(QStringLiteral("无法初始化密码库（libsodium）。"));
    });
}

// Whether the cost a stored hash names is one this program could have made
// (up to libsodium's "moderate" cost, room for a later rise). Books come from
// backups and other seats: a hash naming gigabytes or hours would stall the
// login, so it matches nothing.
bool costWithinBounds(const QString &stored)
{
    static const QRegularExpression params(QStringLiteral("^\\$argon2id\\$v=19\\$m=(\\d{1,10}),t=(\\d{1,10}),p=1\\$"));
    const QRegularExpressionMatch m = params.match(stored);
    if (!m.hasMatch()) return false;
    const qulonglong memKiB = m.captured(1).toULongLong();
    const qulonglong passes = m.captured(2).toULongLong();
    return memKiB <= crypto_pwhash_MEMLIMIT_MODERATE / 1024 && passes <= crypto_pwhash_OPSLIMIT_MODERATE;
}

// A stored hash's kind, cost and salt, and its hash: the form libsodium writes,
// salt and hash in unpadded standard Base64.
const QRegularExpression &storedForm()
{
    static const QRegularExpression form(QStringLiteral(
        "^(\\$argon2id\\$v=19\\$m=(\\d{1,10}),t=(\\d{1,10}),p=1\\$([A-Za-z0-9+/]{11,88})\\$)([A-Za-z0-9+/]{22,88})?$"));
    return form;
}

} // namespace

QString hash(const QString &password)
{
    initialise();
    const QByteArray utf8 = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    // The interactive cost: quick for a login, slow for anyone trying
    // passwords by the million.
    const bool low = g_cost == Cost::Lowest;
    if (crypto_pwhash_str_alg(out, utf8.constData(), static_cast<unsigned long long>(utf8.size()),
                              low ? crypto_pwhash_OPSLIMIT_MIN : crypto_pwhash_OPSLIMIT_INTERACTIVE,
                              low ? crypto_pwhash_MEMLIMIT_MIN : crypto_pwhash_MEMLIMIT_INTERACTIVE,
                              crypto_pwhash_ALG_ARGON2ID13)
        != 0)
        throw DbError(QStringLiteral("无法生成密码摘要：内存不足。"));
    return QString::fromLatin1(out);
}

bool verify(const QString &password, const QString &stored)
{
    if (!isHash(stored) || !costWithinBounds(stored)) return false;
    initialise();
    const QByteArray s = stored.toLatin1();
    if (s.size() >= crypto_pwhash_STRBYTES) return false;
    const QByteArray utf8 = password.toUtf8();
    return crypto_pwhash_str_verify(s.constData(), utf8.constData(), static_cast<unsigned long long>(utf8.size())) == 0;
}

void setCost(Cost cost) { g_cost = cost; }

QString saltOf(const QString &stored)
{
    const QRegularExpressionMatch m = storedForm().match(stored);
    if (!m.hasMatch() || m.captured(5).isEmpty() || !costWithinBounds(stored)) return QString();
    return m.captured(1);
}

QString hashWithSalt(const QString &password, const QString &salt)
{
    const QRegularExpressionMatch m = storedForm().match(salt);
    if (!m.hasMatch() || !m.captured(5).isEmpty() || !costWithinBounds(salt)) return QString();
    initialise();
    const QByteArray salt64 = m.captured(4).toLatin1();
    unsigned char saltBytes[crypto_pwhash_SALTBYTES];
    size_t saltLength = 0;
    if (sodium_base642bin(saltBytes, sizeof saltBytes, salt64.constData(), size_t(salt64.size()), nullptr, &saltLength,
                          nullptr, sodium_base64_VARIANT_ORIGINAL_NO_PADDING)
            != 0
        || saltLength != crypto_pwhash_SALTBYTES)
        return QString();
    const qulonglong memKiB = m.captured(2).toULongLong();
    const qulonglong passes = m.captured(3).toULongLong();
    if (passes < crypto_pwhash_OPSLIMIT_MIN || memKiB * 1024 < crypto_pwhash_MEMLIMIT_MIN) return QString();
    // libsodium's stored form holds a hash of 32 bytes.
    unsigned char out[32];
    const QByteArray utf8 = password.toUtf8();
    if (crypto_pwhash(out, sizeof out, utf8.constData(), static_cast<unsigned long long>(utf8.size()), saltBytes, passes,
                      size_t(memKiB) * 1024, crypto_pwhash_ALG_ARGON2ID13)
        != 0)
        throw DbError(QStringLiteral("无法生成密码摘要：内存不足。"));
    char encoded[sodium_base64_ENCODED_LEN(sizeof out, sodium_base64_VARIANT_ORIGINAL_NO_PADDING)];
    sodium_bin2base64(encoded, sizeof encoded, out, sizeof out, sodium_base64_VARIANT_ORIGINAL_NO_PADDING);
    return m.captured(1) + QString::fromLatin1(encoded);
}

bool isHash(const QString &stored)
{
    return stored.startsWith(QLatin1String(crypto_pwhash_argon2id_STRPREFIX));
}

} // namespace Passwords
