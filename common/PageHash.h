#pragma once
// The hash of a page file's bytes, taken as the page is read or saved: the site scan
// records it for every page, and a recovery copy records it to tell later whether the page
// file was changed since the copy was taken.

#include <QByteArray>
#include <QByteArrayView>

// XXH64 (seed 0) as 16 hexadecimal digits, at memory speed. Enough to tell whether a file
// was changed; no defence against someone forging a file on purpose. Copies outlive the
// program, so the value must never change between versions.
QByteArray pageFileHash(QByteArrayView bytes);
