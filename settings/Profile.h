#pragma once
// Profile (INI) files as the Windows profile functions read and write them: section and
// key names match regardless of letter case, blanks around names and values are ignored,
// a value in a matching pair of double or single quotes loses them, ";" starts a comment
// line, a line without "=" is no key, the first of duplicate sections or keys wins, and
// lines before the first section are never read. Writing replaces a key's line in place,
// adds a new key after the last key of its section and a new section at the end, and
// keeps every other line byte for byte. A value that reading would change (blanks at an
// end, a pair of quotes around it) is written inside double quotes, so it reads back whole.

#include "common/TextCodec.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class ProfileFile
{
public:
    // Reads `path`; a missing file reads as empty (and is created by commit()). False
    // when the file exists but cannot be read, or is larger than `sizeLimit` bytes (when
    // given; judged from its size, before reading); `error` then says why.
    bool load(const QString &path, QString *error = nullptr, qint64 sizeLimit = -1);
    // Takes the file's bytes as they would be read from `path`.
    void loadFromBytes(const QByteArray &bytes, const QString &path = QString());
    const QString &path() const { return mPath; }
    bool fileExisted() const { return mExisted; }

    std::optional<QString> value(const QString &section, const QString &key) const;
    void setValue(const QString &section, const QString &key, const QString &value);
    // The names of the keys a section holds (blanks around them removed, upper case),
    // each once, in file order; empty when there is no such section.
    QStringList keys(const QString &section) const;

    // The whole file as it would be written now.
    QByteArray serialize() const;
    // Writes the file in one atomic step, in its own code page (UTF-8 with a byte-order
    // mark when that code page cannot hold a value); on failure the old file stays.
    bool commit(QString *error = nullptr) const;

private:
    struct Line {
        QString text;
        QString eol;
    };
    struct Section {
        Line header;
        QList<Line> body;
        QHash<QString, qsizetype> keys;   // upper-case name -> first body line
        qsizetype lastKeyLine = -1;
    };

    void parse(const QString &text);
    Section *findSection(const QString &name);
    const Section *findSection(const QString &name) const;

    QString mPath;
    bool mExisted = false;
    TextEncoding mEncoding = TextEncoding::Cp932;
    QList<Line> mPreamble;
    QList<Section> mSections;
    QHash<QString, qsizetype> mSectionIndex;   // upper-case name -> first section
};

namespace basSystem {

// One value of a profile file; a missing file, section or key reads as an empty text.
// False when the file cannot be read; the Long form also when the value is no number.
bool ReadProfileValue(const QString &fileName, const QString &section, const QString &key, QString &result);
bool ReadProfileValue(const QString &fileName, const QString &section, const QString &key, qint32 &result);
// Writes one value; false when the file could not be written (it is then unchanged).
bool WriteProfileValue(const QString &fileName, const QString &section, const QString &key, const QString &value);
bool WriteProfileValue(const QString &fileName, const QString &section, const QString &key, qint32 value);

// A profile text as a Long: a decimal number with optional sign, fraction and exponent,
// blanks around it ignored, a fraction rounded half to even; nothing for any other text
// or a number outside the Long range.
std::optional<qint32> profileLong(const QString &text);

}   // namespace basSystem
