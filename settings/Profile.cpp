#include "settings/Profile.h"
#include "common/TextFile.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <limits>

namespace {
const QString crlf = QStringLiteral("\r\n");

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QStringView trimBlanks(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && isBlank(s.at(b)))
        ++b;
    while (e > b && isBlank(s.at(e - 1)))
        --e;
    return s.sliced(b, e - b);
}

QString foldName(QStringView name)
{
    return trimBlanks(name).toString().toUpper();
}

// The section name of a header line ("[name]"), or nothing when the line is no header.
std::optional<QStringView> sectionName(QStringView line)
{
    const QStringView t = trimBlanks(line);
    if (!t.startsWith(QLatin1Char('[')))
        return std::nullopt;
    QStringView inner = t.sliced(1);
    const qsizetype close = inner.indexOf(QLatin1Char(']'));
    if (close >= 0)
        inner = inner.first(close);
    return trimBlanks(inner);
}

// The key name of a key line, or nothing for comments and lines without "=".
std::optional<QStringView> keyName(QStringView line)
{
    const QStringView t = trimBlanks(line);
    if (t.isEmpty() || t.at(0) == QLatin1Char(';'))
        return std::nullopt;
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return std::nullopt;
    const QStringView name = trimBlanks(t.first(eq));
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

QString keyValue(QStringView line)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    QStringView v = trimBlanks(line.sliced(eq + 1));
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) && v.back() == v.front())
        v = v.sliced(1, v.size() - 2);
    return v.toString();
}
// A value as it is written: as given, unless reading would change it (blanks at either
// end, or a matching pair of quotes around it); such a value is put in double quotes,
// which reading removes again, so that every value reads back exactly as written.
QString storedValue(const QString &value)
{
    if (value.isEmpty())
        return value;
    const bool blankEnds = isBlank(value.front()) || isBlank(value.back());
    const bool quoted = value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\''))
        && value.back() == value.front();
    if (!blankEnds && !quoted)
        return value;
    return QLatin1Char('"') + value + QLatin1Char('"');
}
}   // namespace

bool ProfileFile::load(const QString &path, QString *error, qint64 sizeLimit)
{
    loadFromBytes(QByteArray(), path);
    mExisted = QFileInfo::exists(path);
    if (!mExisted)
        return true;
    const TextFileContent content = readTextFile(path, DetectMode::Plain, nullptr, sizeLimit);
    if (!content.ok) {
        if (error)
            *error = content.error;
        return false;
    }
    mEncoding = content.encoding;
    parse(content.text);
    return true;
}

void ProfileFile::loadFromBytes(const QByteArray &bytes, const QString &path)
{
    mPath = path;
    mPreamble.clear();
    mSections.clear();
    mSectionIndex.clear();
    mExisted = true;
    mEncoding = detectEncoding(bytes);
    parse(decodeText(bytes, mEncoding));
}

void ProfileFile::parse(const QString &text)
{
    const qsizetype n = text.size();
    qsizetype start = 0;
    while (start < n) {
        qsizetype end = start;
        while (end < n && text.at(end) != QLatin1Char('\r') && text.at(end) != QLatin1Char('\n'))
            ++end;
        qsizetype next = end;
        if (next < n)
            next += (text.at(next) == QLatin1Char('\r') && next + 1 < n && text.at(next + 1) == QLatin1Char('\n')) ? 2
                                                                                                                   : 1;
        Line line{text.sliced(start, end - start), text.sliced(end, next - end)};
        start = next;

        // The first of duplicate sections wins, and so does the first of duplicate keys.
        if (const auto name = sectionName(line.text)) {
            const QString folded = name->toString().toUpper();
            if (!mSectionIndex.contains(folded))
                mSectionIndex.insert(folded, mSections.size());
            mSections.append(Section{line, {}, {}, -1});
            continue;
        }
        if (mSections.isEmpty()) {
            mPreamble.append(line);
            continue;
        }
        Section &current = mSections.last();
        if (const auto key = keyName(line.text)) {
            const QString folded = key->toString().toUpper();
            if (!current.keys.contains(folded))
                current.keys.insert(folded, current.body.size());
            current.lastKeyLine = current.body.size();
        }
        current.body.append(line);
    }
}

const ProfileFile::Section *ProfileFile::findSection(const QString &name) const
{
    const auto it = mSectionIndex.constFind(foldName(name));
    return it == mSectionIndex.cend() ? nullptr : &mSections.at(*it);
}

ProfileFile::Section *ProfileFile::findSection(const QString &name)
{
    const auto it = mSectionIndex.constFind(foldName(name));
    return it == mSectionIndex.cend() ? nullptr : &mSections[*it];
}

std::optional<QString> ProfileFile::value(const QString &section, const QString &key) const
{
    const Section *s = findSection(section);
    if (!s)
        return std::nullopt;
    const auto it = s->keys.constFind(foldName(key));
    if (it == s->keys.cend())
        return std::nullopt;
    return keyValue(s->body.at(*it).text);
}

QStringList ProfileFile::keys(const QString &section) const
{
    QStringList names;
    const Section *s = findSection(section);
    if (!s)
        return names;
    for (qsizetype i = 0; i < s->body.size(); ++i) {
        const auto name = keyName(s->body.at(i).text);
        if (name && s->keys.value(name->toString().toUpper(), -1) == i)
            names << name->toString().toUpper();
    }
    return names;
}

void ProfileFile::setValue(const QString &section, const QString &key, const QString &value)
{
    Section *s = findSection(section);
    if (!s) {
        // A new section goes at the end of the file, without a blank line before it.
        QList<Line> &tail = mSections.isEmpty() ? mPreamble : mSections.last().body;
        Line *last = !tail.isEmpty() ? &tail.last() : (mSections.isEmpty() ? nullptr : &mSections.last().header);
        if (last && last->eol.isEmpty())
            last->eol = crlf;
        mSections.append(Section{Line{QLatin1Char('[') + section + QLatin1Char(']'), crlf}, {}, {}, -1});
        mSectionIndex.insert(foldName(section), mSections.size() - 1);
        s = &mSections.last();
    }
    const QString folded = foldName(key);
    const auto it = s->keys.constFind(folded);
    if (it != s->keys.cend()) {
        Line &line = s->body[*it];
        line.text = keyName(line.text)->toString() + QLatin1Char('=') + storedValue(value);   // the file's spelling
        return;
    }
    // A new key goes right after the last key line of its section.
    const qsizetype at = s->lastKeyLine + 1;
    Line *before = at > 0 ? &s->body[at - 1] : &s->header;
    if (before->eol.isEmpty())
        before->eol = crlf;
    s->body.insert(at, Line{key + QLatin1Char('=') + storedValue(value), crlf});
    s->keys.insert(folded, at);
    s->lastKeyLine = at;
}

QByteArray ProfileFile::serialize() const
{
    QString text;
    auto add = [&text](const Line &l) {
        text += l.text;
        text += l.eol;
    };
    for (const Line &l : mPreamble)
        add(l);
    for (const Section &s : mSections) {
        add(s.header);
        for (const Line &l : s.body)
            add(l);
    }
    if (std::optional<QByteArray> bytes = encodeStrict(text, mEncoding))
        return *bytes;
    return *encodeStrict(text, TextEncoding::Utf8Bom);
}

bool ProfileFile::commit(QString *error) const
{
    return writeFileAtomic(mPath, serialize(), error);
}

namespace basSystem {

std::optional<qint32> profileLong(const QString &text)
{
    const QString t = trimBlanks(text).toString();
    if (t.isEmpty())
        return std::nullopt;
    for (QChar c : t)
        if (!(c.isDigit() || c == QLatin1Char('+') || c == QLatin1Char('-') || c == QLatin1Char('.')
              || c == QLatin1Char('e') || c == QLatin1Char('E'))
            || c.unicode() > 127)
            return std::nullopt;
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return std::nullopt;
#ifdef PAGEKILN_MUTANT_LONG_ROUNDING   // a planted fault for the fuzz oracles: halves away from zero
    const double r = std::round(d);
#else
    const double r = std::nearbyint(d);
#endif
    if (r < std::numeric_limits<qint32>::min() || r > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(r);
}

bool ReadProfileValue(const QString &fileName, const QString &section, const QString &key, QString &result)
{
    ProfileFile file;
    if (!file.load(fileName)) {
        result.clear();
        return false;
    }
    result = file.value(section, key).value_or(QString());
    return true;
}

bool ReadProfileValue(const QString &fileName, const QString &section, const QString &key, qint32 &result)
{
    QString text;
    if (!ReadProfileValue(fileName, section, key, text))
        return false;
    const std::optional<qint32> number = profileLong(text);
    if (!number)
        return false;
    result = *number;
    return true;
}

bool WriteProfileValue(const QString &fileName, const QString &section, const QString &key, const QString &value)
{
    ProfileFile file;
    if (!file.load(fileName))
        return false;
    file.setValue(section, key, value);
    return file.commit();
}

bool WriteProfileValue(const QString &fileName, const QString &section, const QString &key, qint32 value)
{
    return WriteProfileValue(fileName, section, key, QString::number(value));
}

}   // namespace basSystem
