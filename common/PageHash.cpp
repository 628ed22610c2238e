#include "common/PageHash.h"

#include <QtEndian>

#include <bit>

namespace {
constexpr quint64 prime1 = 0x9E3779B185EBCA87ULL, prime2 = 0xC2B2AE3D27D4EB4FULL, prime3 = 0x165667B19E3779F9ULL,
                  prime4 = 0x85EBCA77C2B2AE63ULL, prime5 = 0x27D4EB2F165667C5ULL;

quint64 read64(const uchar *p)
{
    return qFromLittleEndian<quint64>(p);
}

quint64 xxRound(quint64 acc, quint64 input)
{
    return std::rotl(acc + input * prime2, 31) * prime1;
}

quint64 xxMerge(quint64 hash, quint64 lane)
{
    return (hash ^ xxRound(0, lane)) * prime1 + prime4;
}

// The 32-byte stripes, four lanes each fed every fourth eight bytes.
quint64 xxStripes(const uchar *&p, const uchar *end)
{
    quint64 lanes[4] = {prime1 + prime2, prime2, 0, 0 - prime1};
    for (; end - p >= 32; p += 32)
        for (int k = 0; k < 4; ++k)
            lanes[k] = xxRound(lanes[k], read64(p + 8 * k));
    quint64 hash = std::rotl(lanes[0], 1) + std::rotl(lanes[1], 7) + std::rotl(lanes[2], 12) + std::rotl(lanes[3], 18);
    for (quint64 lane : lanes)
        hash = xxMerge(hash, lane);
    return hash;
}

quint64 xxh64(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    const uchar *end = p + bytes.size();
    quint64 hash = bytes.size() >= 32 ? xxStripes(p, end) : prime5;
    hash += quint64(bytes.size());
    for (; end - p >= 8; p += 8)
        hash = std::rotl(hash ^ xxRound(0, read64(p)), 27) * prime1 + prime4;
    if (end - p >= 4) {
        hash = std::rotl(hash ^ (quint64(qFromLittleEndian<quint32>(p)) * prime1), 23) * prime2 + prime3;
        p += 4;
    }
    for (; p < end; ++p)
        hash = std::rotl(hash ^ (*p * prime5), 11) * prime1;
    hash ^= hash >> 33;
    hash *= prime2;
    hash ^= hash >> 29;
    hash *= prime3;
    return hash ^ (hash >> 32);
}
}   // namespace

QByteArray pageFileHash(QByteArrayView bytes)
{
    return QByteArray::number(quint64(xxh64(bytes)), 16).rightJustified(16, '0');
}
