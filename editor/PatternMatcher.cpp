#include "editor/PatternMatcher.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

namespace {
constexpr uint32_t matchLimit = 10'000'000;
constexpr size_t jitStackStart = size_t(32) << 10;
constexpr size_t jitStackMax = size_t(64) << 20;
constexpr uint32_t heapLimitKiB = 256 * 1024;

PCRE2_SPTR unitsOf(QStringView s)
{
    static const char16_t empty[1] = {0};
    return reinterpret_cast<PCRE2_SPTR>(s.isNull() ? empty : s.utf16());
}
}   // namespace

struct PatternMatcher::Compiled {
    pcre2_code *code = nullptr;
    QString error;
    Compiled() = default;
    Compiled(const Compiled &) = delete;
    Compiled &operator=(const Compiled &) = delete;
    ~Compiled() { pcre2_code_free(code); }
};

struct PatternMatcher::Scratch {
    pcre2_match_data *data = nullptr;
    pcre2_match_context *context = nullptr;
    pcre2_jit_stack *stack = nullptr;   // reserved at its largest, the pages taken as used
    int lastResult = 0;
    Scratch() = default;
    Scratch(const Scratch &) = delete;
    Scratch &operator=(const Scratch &) = delete;
    ~Scratch()
    {
        pcre2_match_data_free(data);
        pcre2_match_context_free(context);
        pcre2_jit_stack_free(stack);
    }
};

PatternMatcher::PatternMatcher() = default;

PatternMatcher::PatternMatcher(const QString &pattern, bool caseInsensitive)
{
    auto compiled = std::make_shared<Compiled>();
    pcre2_compile_context *context = pcre2_compile_context_create(nullptr);
    pcre2_set_newline(context, PCRE2_NEWLINE_LF);
    uint32_t options = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_UCP | PCRE2_MULTILINE | PCRE2_USE_OFFSET_LIMIT;
    if (caseInsensitive)
        options |= PCRE2_CASELESS;
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    compiled->code
        = pcre2_compile(unitsOf(pattern), PCRE2_SIZE(pattern.size()), options, &error, &errorOffset, context);
    pcre2_compile_context_free(context);
    if (compiled->code) {
        // Without the compiled matcher (a system that forbids it) the interpreter runs.
        pcre2_jit_compile(compiled->code, PCRE2_JIT_COMPLETE);
    } else {
        PCRE2_UCHAR message[256];
        const int length = pcre2_get_error_message(error, message, std::size(message));
        compiled->error = QString(reinterpret_cast<const QChar *>(message), std::max(length, 0));
    }
    mCompiled = std::move(compiled);
}

PatternMatcher::PatternMatcher(const PatternMatcher &other) : mCompiled(other.mCompiled) { }

PatternMatcher &PatternMatcher::operator=(const PatternMatcher &other)
{
    if (this != &other) {
        mCompiled = other.mCompiled;
        mScratch.reset();
    }
    return *this;
}

PatternMatcher::~PatternMatcher() = default;

bool PatternMatcher::isValid() const
{
    return mCompiled && mCompiled->code;
}

QString PatternMatcher::errorString() const
{
    return mCompiled ? mCompiled->error : QString();
}

PatternMatcher::Scratch &PatternMatcher::scratch() const
{
    if (!mScratch) {
        auto s = std::make_unique<Scratch>();
        s->data = pcre2_match_data_create_from_pattern(mCompiled->code, nullptr);
        s->context = pcre2_match_context_create(nullptr);
        pcre2_set_match_limit(s->context, matchLimit);
        pcre2_set_heap_limit(s->context, heapLimitKiB);
        s->stack = pcre2_jit_stack_create(jitStackStart, jitStackMax, nullptr);
        pcre2_jit_stack_assign(s->context, nullptr, s->stack);
        mScratch = std::move(s);
    }
    return *mScratch;
}

// One call of the matcher; with `lastStart` >= 0 a match must start no later than there.
int PatternMatcher::matchOnce(QStringView text, qsizetype from, int flags, qsizetype lastStart) const
{
    Scratch &s = scratch();
    pcre2_set_offset_limit(s.context, lastStart < 0 ? PCRE2_UNSET : PCRE2_SIZE(lastStart));
    uint32_t options = 0;
    if (flags & Anchored)
        options |= PCRE2_ANCHORED;
    if (flags & NotEmptyAtStart)
        options |= PCRE2_NOTEMPTY_ATSTART;
    s.lastResult = pcre2_match(mCompiled->code, unitsOf(text), PCRE2_SIZE(text.size()), PCRE2_SIZE(from), options,
                               s.data, s.context);
    return s.lastResult;
}

PatternMatcher::Outcome PatternMatcher::match(QStringView text, qsizetype from, int flags) const
{
    mFailureCode = 0;
    mFailedAt = -1;
    if (!isValid() || from < 0 || from > text.size())
        return Outcome::NoMatch;
    const int result = matchOnce(text, from, flags, -1);
    if (result >= 0)
        return Outcome::Match;
    if (result == PCRE2_ERROR_NOMATCH)
        return Outcome::NoMatch;
    if (flags & Anchored) {
        mFailureCode = result;
        mFailedAt = from;
        return Outcome::Failed;
    }
    return matchLineByLine(text, from, flags);
}

// The attempts of one call share one budget of steps; each line gets its own here.
PatternMatcher::Outcome PatternMatcher::matchLineByLine(QStringView text, qsizetype from, int flags) const
{
    for (qsizetype start = from; start <= text.size(); flags &= ~NotEmptyAtStart) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        const int result = matchOnce(text, start, flags, end);
        if (result >= 0)
            return Outcome::Match;
        if (result != PCRE2_ERROR_NOMATCH) {
            mFailureCode = result;
            mFailedAt = start;
            return Outcome::Failed;
        }
        start = end + 1;
    }
    return Outcome::NoMatch;
}

qsizetype PatternMatcher::capturedStart(int group) const
{
    if (!mScratch || group < 0 || group >= mScratch->lastResult)
        return -1;
    const PCRE2_SIZE start = pcre2_get_ovector_pointer(mScratch->data)[2 * group];
    return start == PCRE2_UNSET ? -1 : qsizetype(start);
}

qsizetype PatternMatcher::capturedEnd(int group) const
{
    if (capturedStart(group) < 0)
        return -1;
    return qsizetype(pcre2_get_ovector_pointer(mScratch->data)[2 * group + 1]);
}

QStringView PatternMatcher::captured(QStringView text, int group) const
{
    const qsizetype start = capturedStart(group);
    if (start < 0)
        return QStringView();
    // \K in a look-ahead can end a match before its start.
    return text.sliced(start, std::max(capturedEnd(group) - start, qsizetype(0)));
}

int PatternMatcher::groupCount() const
{
    uint32_t count = 0;
    if (isValid())
        pcre2_pattern_info(mCompiled->code, PCRE2_INFO_CAPTURECOUNT, &count);
    return int(count);
}

PatternMatcher::Limit PatternMatcher::limitOf(int failureCode)
{
    switch (failureCode) {
    case PCRE2_ERROR_MATCHLIMIT: return Limit::Steps;
    case PCRE2_ERROR_JIT_STACKLIMIT: return Limit::Stack;
    case PCRE2_ERROR_HEAPLIMIT:
    case PCRE2_ERROR_DEPTHLIMIT:
    case PCRE2_ERROR_NOMEMORY: return Limit::Memory;
    default: return Limit::Other;
    }
}
