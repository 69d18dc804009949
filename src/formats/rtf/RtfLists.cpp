#include "formats/rtf/RtfLists.h"

namespace {
// Bounds that keep hostile tables small.
constexpr size_t MaxLists = 1024;
constexpr qsizetype MaxOverrides = 4096;
constexpr size_t MaxOldLists = 4096;
constexpr size_t MaxGroups = 256;
constexpr qsizetype MaxLevelText = 64;

bool is(const RtfToken& token, const char* name) {
    return token.data == QByteArrayView(name);
}
} // namespace

void RtfLists::begin(QByteArrayView word) {
    groups_.assign(1, word.toByteArray());
    if (word == "pn") {
        pn_ = Level();
        pnAfter_.clear();
        pnLevel_ = 0;
        pnRead_ = true;
    }
}

void RtfLists::groupStart() {
    if (groups_.size() < MaxGroups) groups_.emplace_back();
}

bool RtfLists::inside(QByteArrayView name) const {
    for (const QByteArray& group : groups_)
        if (group == name) return true;
    return false;
}

RtfLists::Level* RtfLists::level() {
    if (inside("lfolevel") || lists_.empty() || lists_.back().levels.empty()) return nullptr;
    return &lists_.back().levels.back();
}

void RtfLists::groupEnd() {
    if (groups_.empty()) return;
    const QByteArray closed = groups_.back();
    groups_.pop_back();
    if (closed == "leveltext") endLevelText();
    if (closed == "listoverride" && overrideLs_ > 0 &&
        (overrides_.contains(overrideLs_) || overrides_.size() < MaxOverrides))
        overrides_.insert(overrideLs_, override_);
}

void RtfLists::endLevelText() {
    // The first character counts those that follow; a ";" ends the text.
    Level* l = level();
    if (!l || levelText_.isEmpty()) return;
    const qsizetype length = qMin<qsizetype>(levelText_[0].unicode(), levelText_.size() - 1);
    l->text = levelText_.sliced(1, length);
    levelText_.clear();
}

void RtfLists::word(const RtfToken& token) {
    if (!groups_.empty() && current().isEmpty()) current() = token.data.toByteArray();
    const int param = token.param;
    if (is(token, "list") && current() == "list" && lists_.size() < MaxLists) {
        lists_.emplace_back();
    } else if (is(token, "listid")) {
        if (inside("listoverride"))
            override_.list = param;
        else if (!lists_.empty() && !listIndex_.contains(param))
            listIndex_.insert(lists_.back().id = param, lists_.size() - 1);
    } else if (is(token, "listlevel") && !inside("lfolevel") && !lists_.empty()) {
        if (lists_.back().levels.size() < size_t(Levels)) lists_.back().levels.emplace_back();
    } else if (is(token, "levelnfc") || is(token, "levelnfcn")) {
        if (Level* l = level()) l->format = param;
    } else if (is(token, "levelstartat")) {
        if (inside("lfolevel") && override_.lfoLevels > 0) {
            const int at = qMin(override_.lfoLevels, Levels) - 1;
            override_.startAt[size_t(at)] = param;
            override_.hasStart[size_t(at)] = true;
        } else if (Level* l = level()) {
            l->start = param;
        }
    } else if (is(token, "levelfollow")) {
        if (Level* l = level()) l->follow = param;
    } else if (is(token, "leveltext")) {
        levelText_.clear();
    } else if (is(token, "listoverride") && current() == "listoverride") {
        override_ = Override();
        overrideLs_ = 0;
    } else if (is(token, "ls") && inside("listoverride")) {
        overrideLs_ = param;
    } else if (is(token, "listoverridestartat")) {
        override_.restart = true;
    } else if (is(token, "lfolevel")) {
        ++override_.lfoLevels;
    } else if (is(token, "pnlvlbody")) {
        pnLevel_ = 0;
    } else if (is(token, "pnlvlblt")) {
        pnLevel_ = 0;
        pn_.format = BulletFormat;
    } else if (is(token, "pnlvl")) {
        pnLevel_ = qBound(0, param - 1, Levels - 1);
    } else if (is(token, "pnstart")) {
        pn_.start = param;
    } else if (pn_.format != BulletFormat) {
        static const std::pair<const char*, int> Formats[] = {
            {"pndec", DecimalNumbers}, {"pnucrm", UpperRoman},   {"pnlcrm", LowerRoman},
            {"pnucltr", UpperLetter},  {"pnlcltr", LowerLetter}, {"pnord", Ordinal}};
        for (const auto& [name, format] : Formats)
            if (is(token, name)) pn_.format = format;
    }
}

void RtfLists::text(const QString& text) {
    if (groups_.empty()) return;
    if (inside("leveltext")) {
        if (levelText_.size() < MaxLevelText) levelText_ += text;
    } else if (inside("pntxtb")) {
        if (pn_.text.size() < MaxLevelText) pn_.text += text;
    } else if (inside("pntxta")) {
        if (pnAfter_.size() < MaxLevelText) pnAfter_ += text;
    }
}

int RtfLists::takeOldList() {
    if (!std::exchange(pnRead_, false)) return -1;
    // Before the number, the number of this level, after it; a bullet has its text only.
    if (pn_.format != BulletFormat) pn_.text += QChar(pnLevel_) + std::exchange(pnAfter_, {});
    for (size_t i = old_.size(); i-- > 0 && i + 8 >= old_.size();) {
        const Level& seen = old_[i];
        if (oldLevels_[i] == pnLevel_ && seen.format == pn_.format && seen.start == pn_.start &&
            seen.text == pn_.text)
            return int(i);
    }
    if (old_.size() >= MaxOldLists) return -1;
    old_.push_back(pn_);
    oldLevels_.push_back(pnLevel_);
    return int(old_.size() - 1);
}

QString RtfLists::next(int ls, int at) {
    const auto o = overrides_.find(ls);
    if (o == overrides_.end() || at < 0 || at >= Levels) return {};
    const auto index = listIndex_.constFind(o->list);
    if (index == listIndex_.cend() || size_t(at) >= lists_[*index].levels.size()) return {};
    Counters& counters = counters_[o->list];
    if (o->restart && !std::exchange(o->used, true)) counters = Counters();
    const int* start = o->hasStart[size_t(at)] ? &o->startAt[size_t(at)] : nullptr;
    if (start && counters.started[size_t(at)]) start = nullptr;
    return nextListNumber(lists_[*index].levels, at, counters, start);
}

QString RtfLists::nextOld(int oldList) {
    if (oldList < 0 || size_t(oldList) >= old_.size()) return {};
    const int at = oldLevels_[size_t(oldList)];
    if (!std::exchange(oldRun_, true)) oldCounters_ = Counters();
    // Each level of an old-style list has the one format its group gives.
    std::vector<Level> levels(size_t(at) + 1, old_[size_t(oldList)]);
    return nextListNumber(levels, at, oldCounters_, nullptr);
}
